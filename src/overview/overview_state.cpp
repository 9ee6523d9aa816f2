// Storage of the overview's record and the cache's own clean-up.
#include "overview/overview_state.h"

OverviewStateRecord OverviewState;

void ThumbnailCache::append(HWND window, HBITMAP bitmap) {
    try {
        entries.emplace_back(window, bitmap);
    } catch (...) {
        DeleteObject(bitmap);
    }
}

void ThumbnailCache::clear() {
    for (const auto& e : entries)
        DeleteObject(e.second);
    entries.clear();
    entries.shrink_to_fit();
}

bool carriedRect(HWND window, Rect& r) {
    if (window == OverviewState.target && OverviewState.carriedAhead && IsWindow(window)) {
        r = OverviewState.carried;
        return true;
    }
    RECT w;
    if (!GetWindowRect(window, &w))
        return false;
    r = {w.left, w.top, w.right, w.bottom};
    return true;
}
