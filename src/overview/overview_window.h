// The overview window of the whole virtual area.
#pragma once

#include <windows.h>

extern HWND OverviewWindow; // null when closed

void openOverview(); // nothing happens when it is already open
// A button pressed outside the visible overview (that does not hold the capture) closes it.
void closeOverviewOnOutsideClick();
