// The arithmetic of the cross cursors: the two lines, the dash phase, the measuring
// labels' text and where those labels sit. Plain functions for cross_cursor.cpp and
// cursor_label.cpp, which only apply them.
#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <string>

constexpr int kDashPhases = 12;

// The lines through the pointer: across the screen and down it, each one pixel short of
// the right or bottom edge.
Rect horizontalLine(Point pointer, Size screen);
Rect verticalLine(Point pointer, Size screen);

// The dash bitmap to paint with at `tick` ms: one step of one pixel every 100 ms.
int dashPhase(std::uint32_t tick);

// n in decimal with "," between groups of three digits (1023 reads "1,023"); empty for
// a negative n, which no reading shows.
std::wstring formatThousands(int n);

// The window rectangle of the x label (beside the vertical line, at the top or bottom of
// the screen) and of the y label (beside the horizontal line, at the left or right), for
// a reading of `text` pixels and a pointer image of `cursor`. Each sits on the side away
// from the pointer's half of the screen and steps off the pointer's image; neither ever
// leaves the screen.
Rect xLabelPlacement(Point pointer, Size screen, Size text, Size cursor);
Rect yLabelPlacement(Point pointer, Size screen, Size text, Size cursor);
