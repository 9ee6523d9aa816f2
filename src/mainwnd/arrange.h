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
// the window moves; the overview's drag uses the same pair as the commands.
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
// After the owner moved by `shift`, each recorded window still at its recorded corner
// follows by the same distance (asynchronously).
void moveOwnedWindows(const OwnedWindows& owned, Point shift);
