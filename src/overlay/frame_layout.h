// Where the four strips of the relative-position frame lie: the whole screen stands for
// the whole virtual area, so the frame is the view's real screen scaled down by the grid.
// Plain arithmetic for the overlay thread (overlay_thread.cpp), which only applies it.
#pragma once

#include "core/geometry.h"

constexpr int kFrameThickness = 4; // at 96 DPI

struct FrameStrips {
    Rect left, top, right, bottom;
    friend bool operator==(const FrameStrips&, const FrameStrips&) = default;
};

// The strips for the view at `view` on a grid of `columns` × `rows` real screens of
// `screen`, the strips as thick as 4 pixels are at 96 DPI at `dpi`; divisions truncate
// toward zero. A grid count below 1 counts as 1.
FrameStrips frameStrips(Point view, Size screen, int columns, int rows, int dpi);
