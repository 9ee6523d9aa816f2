// The overview's pictures. A full rebuild captures each window once per opening and per
// resize; every later paint copies the cached, already scaled bitmaps into an off-screen
// bitmap of the paint rectangle, so nothing flickers and no program is asked to repaint.
#include "overview/overview_paint.h"

#include "core/app.h"
#include "core/dpi.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overview/icon_tiles.h"
#include "overview/overview_state.h"
#include "overview/overview_window.h"
#include "overview/plate_facts.h"

#include <algorithm>
#include <new>
#include <vector>

HBITMAP pictureBitmap(HDC dc, Size size) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size.w, -size.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

namespace {

RECT toRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

Size sizeOf(const RECT& r) {
    return {r.right - r.left, r.bottom - r.top};
}

void drawGrid(HDC dc, Size picture) {
    const AreaShape area = currentArea();
    HPEN pen = CreatePen(PS_DASH, 1, gridPenColor(GetSysColor(COLOR_BACKGROUND)));
    if (!pen)
        return;
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    for (int x : gridLines(picture.w, area.columns)) {
        MoveToEx(dc, x, 0, nullptr);
        LineTo(dc, x, picture.h);
    }
    for (int y : gridLines(picture.h, area.rows)) {
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, picture.w, y);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void fillDesktop(HDC dc, const RECT& r) {
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1)));
}

// The window's rectangle and its picture at the overview's scale; false when it is gone
// (its rectangle cannot be read then).
bool scaledWindow(HWND window, Size picture, RECT& r, Size& thumb) {
    if (!GetWindowRect(window, &r))
        return false;
    thumb = thumbnailSize(sizeOf(r), picture, currentArea());
    return thumb.w > 0 && thumb.h > 0;
}

// The full-size captures of one rebuild share the bitmap in the capture context, grown to
// the largest window so far: a bitmap of each window's size, made and freed per window,
// would cost more than most captures. False when no room can be had.
bool captureRoom(HDC dc, HDC capture, Size full) {
    BITMAP now{};
    const HGDIOBJ held = GetCurrentObject(capture, OBJ_BITMAP);
    if (held && GetObjectW(held, sizeof(now), &now) && now.bmWidth >= full.w &&
        now.bmHeight >= full.h)
        return true;
    HBITMAP larger = pictureBitmap(
        dc, {std::max<int>(full.w, now.bmWidth), std::max<int>(full.h, now.bmHeight)});
    if (!larger)
        return false;
    DeleteObject(SelectObject(capture, larger)); // the context's own first bitmap stays
    return true;
}

// Frees the capture context and the bitmap it holds.
void deleteCapture(HDC capture) {
    const HGDIOBJ held = GetCurrentObject(capture, OBJ_BITMAP);
    DeleteDC(capture);
    DeleteObject(held);
}

Point placeOf(const RECT& r, Size picture) {
    return pictureOf(Point{r.left, r.top}, ViewOrigin, picture, currentArea());
}

// The application icon stands for a window that has none: shared, so it lives as long as
// the program, and loaded once, as loading it costs as much as the rest of a plate.
HICON applicationIcon(Size icon) {
    static HICON application = nullptr;
    if (!application)
        application = static_cast<HICON>(
            LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, icon.w, icon.h, LR_SHARED));
    return application;
}

IconTiles* rebuildTiles = nullptr; // while a coarse rebuild draws its plates

void drawPlateIcon(HDC memory, HICON shown, Point at, Size icon, Size plate) {
    if (!rebuildTiles || !rebuildTiles->copy(memory, shown, at, icon, plate))
        DrawIconEx(memory, at.x, at.y, shown, icon.w, icon.h, 0, nullptr, DI_NORMAL);
}

// The plates' font at the overview's DPI: made once per DPI, kept until the program ends.
struct PlateFont {
    HFONT font = nullptr;
    int dpi = 0;
    ~PlateFont() {
        if (font)
            DeleteObject(font);
    }
} plateFont;

HGDIOBJ plateFontFor(int dpi) {
    if (!plateFont.font || plateFont.dpi != dpi) {
        HFONT made = guiFontForDpi(dpi);
        if (!made)
            return GetStockObject(DEFAULT_GUI_FONT);
        if (plateFont.font)
            DeleteObject(plateFont.font);
        plateFont = {made, dpi};
    }
    return plateFont.font;
}

void drawPlateTitle(HDC memory, const PlateFacts& facts, Size thumb) {
    const wchar_t* title = facts.title.c_str();
    const int dpi = windowDpi(OverviewWindow);
    RECT measure = toRECT(plateMeasureBox(thumb, dpi));
    const int ht =
        DrawTextW(memory, title, -1, &measure, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    const Size icon{metricForDpi(SM_CXSMICON, dpi), metricForDpi(SM_CYSMICON, dpi)};
    const PlateLayout l = plateLayout(thumb, {measure.right - measure.left, ht}, icon, dpi);
    drawPlateIcon(memory, facts.icon ? facts.icon : applicationIcon(icon), l.icon, icon, thumb);
    RECT text = toRECT(l.text);
    DrawTextW(memory, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
}

HBITMAP drawPlate(HDC dc, HDC memory, const PlateFacts& facts, Size picture) {
    const Size thumb = thumbnailSize(sizeOf(facts.rect), picture, currentArea());
    if (thumb.w <= 0 || thumb.h <= 0)
        return nullptr;
    HBITMAP plate = pictureBitmap(dc, thumb);
    if (!plate)
        return nullptr;
    HGDIOBJ oldBitmap = SelectObject(memory, plate);
    // A rebuild selects the font once for all its plates: each selection costs as much
    // as drawing the plate's edge.
    const HGDIOBJ font = plateFontFor(windowDpi(OverviewWindow));
    const HGDIOBJ oldFont =
        GetCurrentObject(memory, OBJ_FONT) == font ? nullptr : SelectObject(memory, font);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, GetSysColor(COLOR_BTNTEXT));
    RECT face{0, 0, thumb.w, thumb.h};
    DrawEdge(memory, &face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    drawPlateTitle(memory, facts, thumb);
    if (oldFont)
        SelectObject(memory, oldFont);
    const Point at = placeOf(facts.rect, picture);
    BitBlt(dc, at.x, at.y, thumb.w, thumb.h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    return plate;
}

// The windows of the picture, bottom of the z-order first. The list is the shared one a
// shift refills: it is copied before anything is asked of other programs.
bool collectPictureWindows(bool fine, std::vector<HWND>& windows) {
    // Each window's rectangle, and a plate's title, is read as it is drawn; a window
    // without one is left out there.
    collectWindows(kCollectRectLater | (fine ? 0 : kCollectTitleLater));
    try {
        windows.assign(ManagedWindowList.windows,
                       ManagedWindowList.windows + ManagedWindowList.count);
    } catch (...) {
        return false;
    }
    std::reverse(windows.begin(), windows.end());
    return true;
}

void repaintFromCache(HDC dc, const RECT& paint, Size picture) {
    HDC memory = CreateCompatibleDC(dc);
    HDC source = CreateCompatibleDC(dc);
    HBITMAP canvas = pictureBitmap(dc, {paint.right, paint.bottom});
    if (memory && source && canvas) {
        HGDIOBJ oldCanvas = SelectObject(memory, canvas);
        fillDesktop(memory, paint);
        drawGrid(memory, picture);
        for (const auto& [window, bitmap] : OverviewState.thumbnails.entries) {
            Rect r;
            if (!carriedRect(window, r))
                continue;
            const RECT at = toRECT(pictureOf(r, ViewOrigin, picture, currentArea()));
            RECT part;
            if (!IntersectRect(&part, &at, &paint))
                continue;
            HGDIOBJ old = SelectObject(source, bitmap);
            BitBlt(memory, part.left, part.top, part.right - part.left, part.bottom - part.top,
                   source, part.left - at.left, part.top - at.top, SRCCOPY);
            SelectObject(source, old);
        }
        BitBlt(dc, paint.left, paint.top, paint.right - paint.left, paint.bottom - paint.top,
               memory, paint.left, paint.top, SRCCOPY);
        SelectObject(memory, oldCanvas);
    }
    if (canvas)
        DeleteObject(canvas);
    if (source)
        DeleteDC(source);
    if (memory)
        DeleteDC(memory);
}

void drawViewOutline(HDC dc, const RECT& paint, Size picture) {
    const RECT outline = toRECT(viewOutline(ViewOrigin, picture, currentArea()));
    RECT meet;
    if (!IntersectRect(&meet, &outline, &paint))
        return;
    const int oldRop = SetROP2(dc, R2_XORPEN);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, outline.left, outline.top, outline.right, outline.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SetROP2(dc, oldRop);
}

} // namespace

AreaShape currentArea() {
    return {Settings.columns, Settings.rows, RealScreenSize};
}

bool readPictureArea(HWND window, Size& picture) {
    RECT client;
    if (!GetClientRect(window, &client))
        return false;
    RECT bar;
    if (HWND status = GetDlgItem(window, kStatusBarId); status && GetWindowRect(status, &bar)) {
        POINT top{bar.left, bar.top};
        ScreenToClient(window, &top);
        client.bottom = top.y;
    }
    picture = {client.right, client.bottom};
    // An empty picture would divide by zero in every scale.
    return picture.w > 0 && picture.h > 0 && Settings.columns > 0 && Settings.rows > 0 &&
           RealScreenSize.w > 0 && RealScreenSize.h > 0;
}

HBITMAP drawCoarsePlate(HDC dc, HDC memory, HWND window, Size picture) {
    PlateFacts facts;
    facts.asleep = !programAnswers(window);
    return askPlateFacts(window, facts) ? drawPlate(dc, memory, facts, picture) : nullptr;
}

HBITMAP drawFineThumbnail(HDC dc, HDC capture, HDC scaling, HWND window, Size picture) {
    RECT r;
    Size thumb;
    if (!printWindowEntry || !scaledWindow(window, picture, r, thumb))
        return nullptr;
    const Size full = sizeOf(r);
    if (!captureRoom(dc, capture, full))
        return nullptr;
    HBITMAP small = pictureBitmap(dc, thumb);
    if (!small)
        return nullptr;
    // The shared capture still holds the window before: a part this one leaves unpainted
    // must not show it.
    PatBlt(capture, 0, 0, full.w, full.h, BLACKNESS);
    bool ok = printWindowEntry(window, capture, 0) != FALSE;
    if (ok) {
        HGDIOBJ oldSmall = SelectObject(scaling, small);
        if (GetStretchBltMode(scaling) != HALFTONE) {
            SetStretchBltMode(scaling, HALFTONE);
            SetBrushOrgEx(scaling, 0, 0, nullptr);
        }
        ok = StretchBlt(scaling, 0, 0, thumb.w, thumb.h, capture, 0, 0, full.w, full.h, SRCCOPY) !=
             FALSE;
        if (ok) {
            const Point at = placeOf(r, picture);
            BitBlt(dc, at.x, at.y, thumb.w, thumb.h, scaling, 0, 0, SRCCOPY);
        }
        SelectObject(scaling, oldSmall);
    }
    if (!ok) {
        DeleteObject(small);
        small = nullptr;
    }
    return small;
}

void prefetchPicture() {
    std::vector<HWND> windows;
    if (!Settings.coarseOverview || !collectPictureWindows(false, windows))
        return;
    std::vector<bool> asleep;
    try {
        for (HWND w : windows)
            asleep.push_back(!programAnswers(w));
    } catch (const std::bad_alloc&) {
        asleep.clear(); // every program is asked, each with its time-out
    }
    prefetchPlateFacts(windows, asleep);
}

void rebuildPicture(HDC dc, Size picture, HWND window) {
    // The rebuild asks other programs and meanwhile runs what they send to this thread:
    // the main window puts its handlers off until it is done, and a close of the overview
    // reached all the same ends the rebuild, leaving no pictures behind.
    const ProgramWait wait;
    auto closed = [window] { return window && !IsWindow(window); };
    const RECT all{0, 0, picture.w, picture.h};
    fillDesktop(dc, all);
    drawGrid(dc, picture);
    OverviewState.thumbnails.clear();
    const bool fine = Settings.coarseOverview == 0;
    std::vector<PlateFacts> asked;
    std::vector<HWND> windows;
    const bool prefetched = !fine && takePrefetchedPlateFacts(asked);
    if (!prefetched && !collectPictureWindows(fine, windows))
        return;
    // A capture is a message the program must answer: those that do not answer in a
    // moment show as their plates.
    if (fine)
        probePrograms(windows.data(), static_cast<int>(windows.size()));
    if (closed())
        return;
    HDC first = CreateCompatibleDC(dc);
    HDC second = fine ? CreateCompatibleDC(dc) : nullptr;
    if (first && (!fine || second)) {
        IconTiles tiles(fine ? nullptr : dc);
        rebuildTiles = fine ? nullptr : &tiles;
        const HGDIOBJ oldFont =
            fine ? nullptr : SelectObject(first, plateFontFor(windowDpi(OverviewWindow)));
        for (const PlateFacts& f : asked) {
            if (HBITMAP b = f.title.empty() ? nullptr : drawPlate(dc, first, f, picture))
                OverviewState.thumbnails.append(f.window, b);
        }
        bool stopped = false;
        for (HWND w : windows) {
            HBITMAP b = !fine               ? drawCoarsePlate(dc, first, w, picture)
                        : programAnswers(w) ? drawFineThumbnail(dc, first, second, w, picture)
                                            : drawCoarsePlate(dc, second, w, picture);
            if ((stopped = closed())) {
                if (b)
                    DeleteObject(b);
                break;
            }
            if (b)
                OverviewState.thumbnails.append(w, b);
        }
        rebuildTiles = nullptr;
        if (oldFont)
            SelectObject(first, oldFont);
        if (stopped)
            OverviewState.thumbnails.clear();
        else
            OverviewState.needsRebuild = 0;
    }
    if (second)
        DeleteDC(second);
    if (first && fine)
        deleteCapture(first);
    else if (first)
        DeleteDC(first);
}

void drawHoverHighlight(HWND window, HDC dc, bool erase, bool draw, bool fromMessage) {
    Size picture;
    if (!readPictureArea(window, picture))
        return;
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const int oldRop = SetROP2(dc, R2_XORPEN);
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ oldPen = pen ? SelectObject(dc, pen) : nullptr;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    // A mouse move draws where its message says; a paint (not a posted message) where
    // the pointer is now, or the frame would show where the pointer was before the warp.
    POINT p{};
    if (fromMessage) {
        const DWORD pos = GetMessagePos();
        p = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    } else {
        GetCursorPos(&p);
    }
    ScreenToClient(window, &p);
    if (erase) {
        const Rect& h = OverviewState.highlight;
        Rectangle(dc, h.left, h.top, h.right, h.bottom);
    }
    if (draw) {
        const Rect h = hoverHighlight({p.x, p.y}, picture, Settings.columns, Settings.rows,
                                      GetAsyncKeyState(VK_CONTROL) >= 0);
        if (Rectangle(dc, h.left, h.top, h.right, h.bottom))
            OverviewState.highlight = h;
    }
    SelectObject(dc, oldBrush);
    if (oldPen)
        SelectObject(dc, oldPen);
    if (pen)
        DeleteObject(pen);
    SetROP2(dc, oldRop);
    SetBkMode(dc, oldMode);
}

void paintOverview(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    Size picture;
    if (readPictureArea(window, picture)) {
        if (OverviewState.needsRebuild)
            rebuildPicture(dc, picture, window);
        else
            repaintFromCache(dc, ps.rcPaint, picture);
        drawViewOutline(dc, ps.rcPaint, picture);
        if (GetCapture() != window)
            drawHoverHighlight(window, dc, false, true, false);
    }
    EndPaint(window, &ps);
}
