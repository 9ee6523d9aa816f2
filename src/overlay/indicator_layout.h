// Where the delay indicator sits and what its bands cover: plain arithmetic for the
// indicator window (delay_indicator.cpp), which only applies it.
#pragma once

#include "core/geometry.h"

constexpr int kIndicatorSize = 102;   // outer size at 96 DPI: a 100 × 100 client in a border
constexpr int kIndicatorClient = 100; // the bands' own scale, drawn stretched to the client

// The client's side at `dpi` (100 pixels at 96 DPI) and the outer side with the border.
int indicatorClientSide(int dpi);
int indicatorOuterSide(int dpi);

// The indicator's window rectangle for the pointer at `pointer` on a screen of `screen`:
// centred on the pointer, kept 50 pixels from the left and top and 59 from the right and
// bottom (at 96 DPI); on a screen too small for both, the right and bottom margins win.
Rect indicatorPlacement(Point pointer, Size screen, int dpi);

// The two white bands of the client area and their edge lines, in a client of 100 × 100. A band
// grows from the side being pushed; with no push on an axis it is empty and its line lies just
// outside.
struct IndicatorBands {
    bool draw = false; // false with no threshold: only the silver square shows
    Rect bandX;
    int edgeX = 0; // vertical line from (edgeX, 0) to (edgeX, 100)
    Rect bandY;
    int edgeY = 0; // horizontal line from (0, edgeY) to (100, edgeY)
    friend bool operator==(const IndicatorBands&, const IndicatorBands&) = default;
};
IndicatorBands indicatorBands(double sumX, double sumY, int threshold);
