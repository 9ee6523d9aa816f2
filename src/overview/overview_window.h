// The overview window of the whole virtual area ("OVLOutline"): opened by command 165,
// the tray's left click and the overview push mode; closed by its own clicks, its fades,
// the movement switch and a click outside it. Main thread only.
#pragma once

#include "core/geometry.h"

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
    Point savedCursor;     // pointer when the overview was shown
    HIMC savedIme = nullptr;
    Point dragLast; // client point of the latest drag step
    Rect highlight; // hover frame last drawn
    ThumbnailCache thumbnails;
};
extern OverviewStateRecord OverviewState;
extern HWND OverviewWindow; // null when closed

void openOverview(); // nothing happens when it is already open
// A button pressed outside the visible overview (that does not hold the capture) closes it.
void closeOverviewOnOutsideClick();

// Tests and exit: closes nothing, frees the cache and puts the record back as at start.
void resetOverviewState();
