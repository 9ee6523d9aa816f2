// The arrangement commands of the tray menu: gather, cascade and tile the managed
// windows, each moved window taking its owned windows along. Called by the main window's
// command table; main thread only.
#pragma once

#include "core/geometry.h"

#include <windows.h>

#include <vector>

void tileWindows(int variant);    // 1: one above the other (163), 0: side by side (164)
void gatherWindows(bool cascade); // 32772 with the system cascade, 32773 without

// One window moved to (x, y), its visible owned windows following by the same distance.
void moveWindowKeepingSize(HWND window, int x, int y);
void moveAndSizeWindow(HWND window, int x, int y, int cx, int cy);

// The visible owned windows of one window with their top-left corners, recorded before
// the window moves; the commands and the overview's carry move them after it.
struct OwnedWindow {
    HWND window;
    LONG left;
    LONG top;
};
struct OwnedWindows {
    HWND owner = nullptr;
    std::vector<OwnedWindow> list;
};
OwnedWindows collectOwnedWindows(HWND owner);
// One step of a carry: each recorded window follows its owner by `shift` from where the
// carry last put it, not from where it stands now, so that moves still on their way are
// not lost. While the owner's program answers (`answering`) a window on the owner's thread
// moves at once, and one its program moved meanwhile keeps its place; otherwise it moves
// asynchronously. The records are advanced to the new places.
void carryOwnedWindows(OwnedWindows& owned, Point shift, bool answering);
