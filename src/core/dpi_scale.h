// Sizes given at 96 DPI carried to the DPI of the monitor a window is on, and windows
// kept where their title bar can be reached. Plain arithmetic for every window of the
// program; the shell (core/dpi.*) reads the DPI.
#pragma once

#include "core/geometry.h"

constexpr int kBaseDpi = 96;

// `value` pixels at 96 DPI, at `dpi`: the nearest pixel, halves away from zero. A DPI
// that could not be read (0 or less) counts as 96.
int scaleForDpi(int value, int dpi);
Size scaleForDpi(Size size, int dpi);

// Top-left of a window of `size` that wants to be at `at`, kept `margin` pixels inside
// `area`. A window larger than the area is pinned to the area's top-left corner (plus the
// margin), so its title bar and close box stay on the screen.
Point keepInside(Point at, Size size, const Rect& area, int margin);
