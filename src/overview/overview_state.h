// The overview's record and its picture cache: written by the overview window, read by its
// painting. Main thread only.
#pragma once

#include "core/geometry.h"
#include "mainwnd/arrange.h"

#include <windows.h>

#include <utility>
#include <vector>

// The pictures of the windows already scaled to the overview, bottom of the z-order first.
// The cache owns the bitmaps.
struct ThumbnailCache {
    std::vector<std::pair<HWND, HBITMAP>> entries;
    void append(HWND window, HBITMAP bitmap); // a pair that cannot be stored is freed
    void clear();
};

// The overview's record. Its outer size lives in Settings.overviewWidth/overviewHeight,
// which the settings file stores.
struct OverviewStateRecord {
    int alpha = 255;       // opacity during a fade
    int needsRebuild = 1;  // the next paint captures the windows afresh
    Point dragStart;       // client point of the middle press that picked `target`
    HWND target = nullptr; // window carried by the middle button
    // The carried window's program stopped answering: it is moved asynchronously, and
    // until its program catches up it stands where the moves sent so far take it.
    bool carriedAhead = false;
    Rect carried;
    OwnedWindows carriedOwned; // the target's owned windows, where the carry put them
    Point savedCursor;         // pointer when the overview was shown
    HIMC savedIme = nullptr;
    Point dragLast; // client point of the latest drag step
    Rect highlight; // hover frame last drawn
    ThumbnailCache thumbnails;
};
extern OverviewStateRecord OverviewState;

// Where a window stands in the overview: its rectangle, except for the carried window
// while its moves are on their way, which stands where they take it. False when it is gone.
bool carriedRect(HWND window, Rect& r);
