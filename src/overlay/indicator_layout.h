// Where the delay indicator sits and what its bands cover: plain arithmetic for the
// indicator window (delay_indicator.cpp), which only applies it.
#pragma once

#include "core/geometry.h"

constexpr int kIndicatorSize = 102; // outer size: a 100 × 100 client inside a border
constexpr int kIndicatorClient = 100;

// The indicator's window rectangle for the pointer at `pointer` on a screen of `screen`:
// centred on the pointer, kept 50 pixels from the left and top and 59 from the right and
// bottom; on a screen too small for both, the right and bottom margins win.
Rect indicatorPlacement(Point pointer, Size screen);

// The two white bands of the client area and their edge lines. A band grows from the side
// being pushed; with no push on an axis it is empty and its line lies just outside.
struct IndicatorBands {
    bool draw = false; // false with no threshold: only the silver square shows
    Rect bandX;
    int edgeX = 0; // vertical line from (edgeX, 0) to (edgeX, 100)
    Rect bandY;
    int edgeY = 0; // horizontal line from (0, edgeY) to (100, edgeY)
    friend bool operator==(const IndicatorBands&, const IndicatorBands&) = default;
};
IndicatorBands indicatorBands(double sumX, double sumY, int threshold);
