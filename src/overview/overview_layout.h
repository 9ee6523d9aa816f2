// The overview's whole geometry as plain arithmetic: placement, the scale from virtual
// pixels to picture pixels, grid lines and pen, the view outline, the hover highlight,
// the jump origin, the drag distance and the fades. The overview window
// (overview_window.cpp, overview_paint.cpp) only applies what these return.
#pragma once

#include "core/geometry.h"

#include <vector>

constexpr int kOverviewMinWidth = 160; // at 96 DPI
constexpr int kOverviewMinHeight = 128;

// The virtual area: columns × rows real screens of `screen` pixels each.
struct AreaShape {
    int columns = 1;
    int rows = 1;
    Size screen;
};

// The overview's outer rectangle: the stored size, or half the screen on an axis whose
// stored size lies outside 160 × 128 at `dpi` … screen, grown to `minimum` (what its
// status text needs) as far as the screen allows, in proportion when it grows wider;
// centred on the pointer and kept on the screen.
Rect overviewPlacement(Point pointer, Size stored, Size screen, Size minimum, int dpi);
// The smallest size the user may drag the overview to: 160 × 128 at `dpi`, or what the
// status text needs, never more than the screen.
Size overviewMinimum(Size statusNeed, Size screen, int dpi);

// Screen position p (the view at `view`) in a picture of `picture` pixels: each
// coordinate trunc(factor × (p + view)) with separate factors per axis.
Point pictureOf(Point p, Point view, Size picture, const AreaShape& area);
Rect pictureOf(const Rect& r, Point view, Size picture, const AreaShape& area);
// A window of `size` pixels shrunk to the picture's scale.
Size thumbnailSize(Size size, Size picture, const AreaShape& area);

// The dashed grid's pen from the desktop colour (0x00BBGGRR): red and blue kept, green
// 0xFF on a dark-green desktop and 0xA0 on a light-green one, so the lines always show.
unsigned gridPenColor(unsigned desktop);
// Where the count − 1 inner boundaries of `count` cells fall across `extent` pixels.
std::vector<int> gridLines(int extent, int count);

// The outline of the part the view shows, in picture pixels.
Rect viewOutline(Point view, Size picture, const AreaShape& area);

// The one-screen frame under the client point p: centred on it, snapped to a cell whose
// boundary lies within a tenth of a cell (unless `snap` is false) and kept in the picture.
Rect hoverHighlight(Point p, Size picture, int columns, int rows, bool snap);

// The view origin a left click at client point p asks for: centred on the point, snapped
// to a real screen within a tenth of a screen (unless `snap` is false), kept in the area.
Point jumpOrigin(Point p, Size picture, const AreaShape& area, bool snap);

// The virtual point under client point p for picking a window: whole virtual pixels per
// picture pixel, as the pick-up has always measured them.
Point pickPoint(Point p, Size picture, const AreaShape& area);

// How far a dragged window at screen rectangle `window` moves when the pointer goes from
// `from` to `to` (client points): whole virtual pixels per picture pixel, stopped at the
// virtual area's edges.
Point dragDistance(Point from, Point to, const Rect& window, Point view, Size picture,
                   const AreaShape& area);
// The picture pixels a window at screen rectangle r covers, for repainting after a drag.
Rect dragDamage(const Rect& r, Point view, Size picture, const AreaShape& area);

// Client point that puts the pointer in the middle of the view outline when the overview
// shows.
Point warpPoint(Point view, Size picture, const AreaShape& area);
// Where the pointer goes back to on a right click: 5 pixels from the left and top edges
// at least, 6 from the right and bottom, so that putting it back never starts a scroll.
Point restoredCursor(Point saved, Size screen);

// A fade that lasts about `periodMs` in 33 ms steps: the opacity lost per step, at least 1.
unsigned fadeStep(unsigned periodMs);
struct FadeResult {
    int alpha = 255;
    bool finished = false; // the fade reached 0: close or jump
    friend bool operator==(const FadeResult&, const FadeResult&) = default;
};
FadeResult nextFade(int alpha, unsigned step);

// A coarse plate of `plate` pixels: the title box (measured text width and height) centred
// in it, the small icon just left of the box and centred on it vertically.
struct PlateLayout {
    Rect text;
    Point icon;
    friend bool operator==(const PlateLayout&, const PlateLayout&) = default;
};
// Sizes given at 96 DPI: the icon never starts left of the plate's raised edge, the title
// box giving way on its right instead.
PlateLayout plateLayout(Size plate, Size measuredText, Size icon, int dpi);
// The rectangle the title is measured in: 30 pixels (at 96 DPI) kept for the icon, 10 on
// the right.
Rect plateMeasureBox(Size plate, int dpi);

// An icon drawn on a plate changes each pixel by the pixel under it alone, so its copy on
// the plate can be put together from tiles of the icon drawn over one colour each. The
// runs of plate columns [from, to) the icon at `at` covers, each over the colour of plate
// column `under` (the raised edge's columns 0 and 1, then the face from column 2), left
// to right; none when the icon reaches the top, bottom or right edge, whose columns are
// not one colour, or lies off the plate.
struct IconRun {
    int from = 0;
    int to = 0;
    int under = 0;
    friend bool operator==(const IconRun&, const IconRun&) = default;
};
struct IconRuns {
    IconRun run[3];
    int count = 0;
};
IconRuns plateIconRuns(Point at, Size icon, Size plate);
