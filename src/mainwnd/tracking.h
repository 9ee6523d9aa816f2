// Focus tracking, new-window placement and the pseudo-maximize: the handlers of the hook
// library's notifications, called by the main window procedure. Main thread only.
#pragma once

#include <windows.h>

extern HWND lastActivated; // root of the last activation that passed the filters

void onHookActivate(HWND window);
void onHookDestroy(HWND window);
void onHookMinimize(HWND window, int left, int top);
void onHookMaximize(HWND window);
void freeSavedNormalRects(); // at shut-down

void resetTracking(); // tests: forgets lastActivated
