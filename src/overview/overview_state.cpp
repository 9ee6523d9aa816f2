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
