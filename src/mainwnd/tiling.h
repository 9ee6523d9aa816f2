// The layouts of the arrangement commands: where each managed window goes when the
// windows are tiled over the whole virtual area, and how far a moved window's owned
// windows follow it. Portable; arrange.cpp moves the windows.
#pragma once

#include "core/geometry.h"

#include <vector>

// Tiling modes: 1 fills columns first (windows one above the other), 0 rows first.
constexpr int kTileColumnsFirst = 1;
constexpr int kTileRowsFirst = 0;

// The rectangles, in virtual coordinates and in list order, of `count` windows tiled with
// `mode` from the taskbar-side corner. Empty when there is no taskbar (side 0 or unknown)
// or no window.
std::vector<Rect> tileLayout(int mode, char taskbarSide, int count, int columns, int rows,
                             Size screen, const Rect& workArea);

// The k of the k × k grid and the number of windows that get a whole cell, for more
// windows than real screens.
struct GridShare {
    int k = 0;
    int full = 0;
};
GridShare gridShare(int count);

// How far a window's owned windows move: by what the window really moved, or, while its
// asynchronous move has not landed yet (its rectangle still reads `before`), by the move
// that was asked for.
Point ownerDisplacement(const Rect& before, const Rect& after, Point requested);
