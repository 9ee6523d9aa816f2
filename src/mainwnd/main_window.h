// The hidden main window: target of every command, tray notification, hook notification
// and timer 519. Its procedure only routes; the behaviour lives with each subsystem.
#pragma once

#include <windows.h>

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
