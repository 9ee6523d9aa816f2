// Icon tiles for the coarse plates. Windows of one program mostly share an icon, and
// copying is far cheaper than drawing one (a memory context made and freed per drawing,
// and under Wine its bitmaps read back from the X server). An icon met for the first time
// is drawn directly, so a picture of different icons costs nothing more.
#include "overview/icon_tiles.h"

#include "overview/overview_layout.h"
#include "overview/overview_paint.h"

#include <algorithm>

IconTiles::IconTiles(HDC reference) : dc(reference ? CreateCompatibleDC(reference) : nullptr) {}

IconTiles::~IconTiles() {
    for (const Tile& t : tiles)
        DeleteObject(t.bitmap);
    if (dc)
        DeleteDC(dc);
}

// False the first time an icon is asked about (and when memory runs out).
bool IconTiles::metBefore(HICON shown) {
    if (std::find(met.begin(), met.end(), shown) != met.end())
        return true;
    try {
        met.push_back(shown);
    } catch (...) {
    }
    return false;
}

HBITMAP IconTiles::tileOf(HICON shown, COLORREF under, Size icon) {
    for (const Tile& t : tiles)
        if (t.icon == shown && t.under == under)
            return t.bitmap;
    HBITMAP tile = dc ? pictureBitmap(dc, icon) : nullptr;
    HBRUSH brush = tile ? CreateSolidBrush(under) : nullptr;
    if (!brush) {
        if (tile)
            DeleteObject(tile);
        return nullptr;
    }
    try {
        tiles.push_back({shown, under, tile});
    } catch (...) {
        DeleteObject(brush);
        DeleteObject(tile);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, tile);
    const RECT all{0, 0, icon.w, icon.h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, shown, icon.w, icon.h, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    return tile;
}

bool IconTiles::copy(HDC memory, HICON shown, Point at, Size icon, Size plate) {
    const IconRuns runs = plateIconRuns(at, icon, plate);
    if (runs.count == 0 || !metBefore(shown))
        return false;
    HBITMAP run[3] = {};
    for (int i = 0; i < runs.count; ++i) {
        const COLORREF under = GetPixel(memory, runs.run[i].under, at.y);
        if (under == CLR_INVALID || !(run[i] = tileOf(shown, under, icon)))
            return false;
    }
    const HGDIOBJ old = GetCurrentObject(dc, OBJ_BITMAP);
    for (int i = 0; i < runs.count; ++i) {
        const IconRun& r = runs.run[i];
        SelectObject(dc, run[i]);
        BitBlt(memory, r.from, at.y, r.to - r.from, icon.h, dc, r.from - at.x, 0, SRCCOPY);
    }
    SelectObject(dc, old);
    return true;
}
