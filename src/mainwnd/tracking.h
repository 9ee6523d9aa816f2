// Focus tracking, new-window placement and the pseudo-maximize: the handlers of the hook
// library's notifications.
#pragma once

#include <windows.h>

void onHookActivate(HWND window);
void onHookDestroy(HWND window);
void onHookMinimize(HWND window, int left, int top);
void onHookMaximize(HWND window);
void freeSavedNormalRects(); // at shut-down
