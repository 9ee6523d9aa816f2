// The hidden main window: target of every command, tray notification, hook notification
// and timer 519. Its procedure only routes; the behaviour lives with each subsystem.
#pragma once

#include <windows.h>

// Asks the length of one of the per-window lists (wParam: 0 the known windows, 1 the
// minimized positions, 2 the saved normal rectangles, 3 the collector's memory). The
// answer holds the entries in its low word and those naming a gone window in its high
// word, each at most 0xFFFF. Read-only, so any program may ask.
constexpr UINT WM_LIST_SIZE = 0x80D0;

LRESULT CALLBACK mainWindowProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam);

extern int iconsSaved; // the desktop icon positions were saved in this run

// The movement and tracking flags held while Windows asks whether it may end.
struct EndSessionPair {
    int scrollEnabled = 0;
    int trackWhenOff = 0;
};
extern EndSessionPair endSessionPair;

// Refreshes ActiveDesktopWindow; with SPI_SETWORKAREA also re-reads WorkArea.
void refreshDesktopValues(WPARAM what);

void resetMainWindowState();
