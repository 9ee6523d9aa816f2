// Where the exclusion window opens and how wide its two columns are, at the DPI of its
// monitor. Plain arithmetic for exclusion_window.cpp.
#pragma once

#include "core/geometry.h"

// The window: a third of the work area each way, grown to `minimum` (the size its status
// hint needs), never larger than the work area, centred on it.
Rect exclusionWindowPlacement(const Rect& workArea, Size minimum);

// Each column's width: 200 pixels at 96 DPI, or half the list's usable width when that is
// less, so that an empty list needs no horizontal scroll bar.
int exclusionColumnWidth(int listWidth, int dpi);
