// The shared view values of the core: the real-screen size, the work area and the view
// origin inside the virtual area, plus the start-position arithmetic. Main thread writes;
// the overlay thread only reads.
#pragma once

#include "core/geometry.h"

#include <optional>

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

// Where a window that lies wholly outside the virtual area goes: into the real screen of
// the area nearest to it, at the same place within a screen that it had (so a window left
// behind by a view origin lost by whole screens lands where it belongs), as far as its
// size allows. Nothing for a window that overlaps the area or has no area itself.
// Screen coordinates: the area starts at -origin.
std::optional<Point> strandedWindowPlace(const Rect& window, Point origin, int columns, int rows,
                                         Size screen);
