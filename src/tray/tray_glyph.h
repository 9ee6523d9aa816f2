// The tray icon's picture as arithmetic: where the virtual area and the current real
// screen lie inside the small icon, the change test that spares redrawing, and the
// figures the Win32 drawing code paints. Portable; tray_icon.cpp draws from these.
#pragma once

#include "core/geometry.h"

#include <array>

// The last layout of the picture. Right and bottom of the grid are inclusive.
struct GlyphLayout {
    int state = 0; // scrollEnabled at this layout
    int iconWidth = 0;
    int iconHeight = 0;
    int viewLeft = 0;
    int viewTop = 0;
    int viewWidth = 0;
    int viewHeight = 0;
    int gridLeft = 0;
    int gridTop = 0;
    int gridRight = 0;
    int gridBottom = 0;
    int gridWidth = 0;
    int gridHeight = 0;

    // Equal layouts draw the same picture: the icon is neither redrawn nor sent again.
    friend bool operator==(const GlyphLayout&, const GlyphLayout&) = default;
};

// The picture of a `columns` x `rows` area of `screen`-sized real screens in an icon of
// `icon` pixels, with the view at `origin`. A degenerate size gives an empty grid.
GlyphLayout layoutGlyph(Size icon, Size screen, int columns, int rows, Point origin,
                        int scrollEnabled);

// A pen stroke: move to points[0], then line to each next point (ends exclusive).
struct GlyphStroke {
    int count = 0;
    std::array<Point, 3> points{};
    friend bool operator==(const GlyphStroke&, const GlyphStroke&) = default;
};

// The "off" mark over the grid: four corner brackets covering a third of each side,
// then the two diagonals.
std::array<GlyphStroke, 6> offMarkLines(const GlyphLayout& g);

// Everything the drawing paints, in its order. Rectangles are left, top, right, bottom
// with right and bottom exclusive, except where noted.
struct GlyphFigures {
    bool movementOn = false;
    Rect maskOpaque;                // filled black in the mask
    std::array<Point, 2> maskHoles; // set white again: the shape's top-right, bottom-left
    Rect gridBox;                   // movement on: Rectangle with the grey pen, white inside
    Rect gridFrame;                 // movement on: FrameRect in white
    GlyphStroke greyEdge;           // the view's left and top, outside it
    GlyphStroke blackEdge;          // the view's right and bottom, outside it
    Rect picture;                   // where the desktop picture is stretched
};
GlyphFigures glyphFigures(const GlyphLayout& g);
