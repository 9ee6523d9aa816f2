// The overview window of the whole virtual area ("OVLOutline"): opened by command 165,
// the tray's left click and the overview push mode; closed by its own clicks, its fades,
// the movement switch and a click outside it. Main thread only.
#pragma once

#include "overview/overview_state.h"

#include <windows.h>

extern HWND OverviewWindow; // null when closed

void openOverview(); // nothing happens when it is already open
// A button pressed outside the visible overview (that does not hold the capture) closes it.
void closeOverviewOnOutsideClick();

// Tests and exit: closes nothing, frees the cache and puts the record back as at start.
void resetOverviewState();
