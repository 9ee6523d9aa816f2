// Tracking is not built yet: the notifications arrive here and change nothing.
#include "mainwnd/tracking.h"

void onHookActivate(HWND) {}
void onHookDestroy(HWND) {}
void onHookMinimize(HWND, int, int) {}
void onHookMaximize(HWND) {}
