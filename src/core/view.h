// The shared view values of the core: the real-screen size, the work area and the view
// origin inside the virtual area, plus the start-position arithmetic. Main thread writes;
// the overlay thread only reads.
#pragma once

#include "core/geometry.h"

extern Size RealScreenSize; // one real screen = the primary screen
extern Rect WorkArea;       // primary work area; all zero when it cannot be read
extern Point ViewOrigin;    // where the physical screen lies in the virtual area

// The side of the screen the taskbar sits on, from its rectangle: 'l', 't', 'r' or 'b';
// 0 for an empty rectangle.
char taskbarSideFromRect(const Rect& r);

// The view origin a run starts at. `taskbarSide` is the answer of the taskbar query
// (0 when there is no taskbar) and is used only for start position 't'.
Point initialViewOrigin(char16_t startPosition, int columns, int rows, Size screen,
                        char taskbarSide);
