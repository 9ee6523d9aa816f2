// The arithmetic of new-window placement: how much of a real screen's work area the
// other windows leave free, and which real screen the view moves to for a new window.
// Portable; tracking.cpp gathers the window rectangles and applies the step.
#pragma once

#include "core/geometry.h"

#include <span>
#include <vector>

// The view facts every tracking decision reads: the primary work area, the real-screen
// size, the view origin and the grid of real screens.
struct ViewFacts {
    Rect workArea;
    Size screen;
    Point viewOrigin;
    int columns = 1;
    int rows = 1;
};

// a × b / c rounded to the nearest integer, halves away from zero, as the system's
// MulDiv; -1 when c is 0 or the result does not fit in 32 bits.
int mulDivRounded(long long a, long long b, long long c);

// Pixels of `region` (right and bottom exclusive) that none of `windows` covers.
long long uncoveredArea(const Rect& region, std::span<const Rect> windows);

// The uncovered part of `region` in percent of the whole work area; 0 without a work area.
int freePercent(const Rect& region, std::span<const Rect> windows, Size workArea);

// The work area of real screen (col, row) in current screen coordinates, one pixel short
// at the right and bottom, as the free-area count measures it.
Rect cellFreeRegion(const ViewFacts& v, int col, int row);
// The same for the physical screen as it is now.
Rect currentFreeRegion(const ViewFacts& v);

// The order in which the real screens are searched for a new window; the first cell is
// the default target. `start` is the start position with 't' already replaced by the
// taskbar's side.
std::vector<Point> scanOrder(char16_t start, int columns, int rows);

// The target real screen given each cell's free percentage (index col + row × columns).
Point chooseTargetCell(char16_t start, int columns, int rows, std::span<const int> percent);

// newWindowToEmpty, flipped by Shift when shiftTogglesNewWindow is set.
bool actOnNewWindow(bool newWindowToEmpty, bool shiftTogglesNewWindow, bool shiftDown);

struct NewWindowStep {
    bool move = false; // false: the current screen has room enough, nothing happens
    Point step;        // view step to the target real screen, possibly (0, 0)
};

// Steps 3 to 8 of new-window placement over the rectangles of the other windows.
// `startPosition` is the setting itself; `taskbarSide` answers for 't' (0: no taskbar).
NewWindowStep placeNewWindow(const ViewFacts& v, char16_t startPosition, char taskbarSide,
                             std::span<const Rect> others);
