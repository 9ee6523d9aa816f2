// Tiling layouts over the virtual area and the displacement of owned windows.
//
// Windows walk a grid of cells in scan order from the taskbar-side corner: columns first
// (mode 1) or rows first (mode 0), away from the taskbar's corner on both axes. With no
// more windows than real screens each window gets the work area of one real screen.
// Otherwise the grid is k × k cells spread over the work areas of all real screens
// (k = ⌊√n⌋), and the first `full` windows get a whole cell while the rest share halved
// cells two by two, the halves split along the walk and taken in its direction.
//
// full = 2k² − n on every area size, not only on 1 × 1: the whole cells and the pairs of
// half cells then fill the k × k grid exactly (k² cells). Only n = 3 has 2k² < n; it takes
// k = 2 and three whole cells of the 2 × 2 grid instead, as one cell cannot hold three.
// Cells are anchored at the start corner's side and end at the work area's far edge on
// the last real screen, so no window lies under a bottom or right taskbar or outside the
// virtual area.
#include "mainwnd/tiling.h"

#include <algorithm>

namespace {

int floorSqrt(int n) {
    int k = 0;
    while ((k + 1) * (k + 1) <= n)
        ++k;
    return k;
}

// One axis of the walk: `count` cells of `size` starting at `first`, or, walking
// backwards, ending at `end`, `pitch` apart.
struct Axis {
    int dir = 1;
    int count = 1;
    int first = 0; // left/top of the first cell when walking forwards
    int end = 0;   // right/bottom of the last cell when walking backwards
    int pitch = 0;
    int size = 0;

    // Near edge of the cell at walk index i (0 is the start corner's cell).
    int start(int i) const { return dir > 0 ? first + i * pitch : end - i * pitch - size; }
};

} // namespace

GridShare gridShare(int count) {
    int k = floorSqrt(count);
    if (2 * k * k < count)
        ++k;
    return {k, std::min(count, 2 * k * k - count)};
}

std::vector<Rect> tileLayout(int mode, char taskbarSide, int count, int columns, int rows,
                             Size screen, const Rect& workArea) {
    Axis x, y;
    switch (taskbarSide) {
    case 'b': x.dir = 1, y.dir = -1; break;
    case 'l':
    case 't': x.dir = 1, y.dir = 1; break;
    case 'r': x.dir = -1, y.dir = 1; break;
    default: return {};
    }
    if (count <= 0)
        return {};

    const int waW = workArea.right - workArea.left, waH = workArea.bottom - workArea.top;
    x.first = workArea.left;
    y.first = workArea.top;
    x.end = (columns - 1) * screen.w + workArea.right;
    y.end = (rows - 1) * screen.h + workArea.bottom;

    int full = count;
    if (count <= columns * rows) {
        x.count = columns, y.count = rows;
        x.pitch = screen.w, y.pitch = screen.h;
        x.size = waW, y.size = waH;
    } else {
        const GridShare share = gridShare(count);
        full = share.full;
        x.count = y.count = share.k;
        x.pitch = x.size = ((columns - 1) * screen.w + waW) / share.k;
        y.pitch = y.size = ((rows - 1) * screen.h + waH) / share.k;
    }

    const bool columnsFirst = mode == kTileColumnsFirst;
    std::vector<Rect> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int slot = i < full ? i : full + (i - full) / 2;
        const int along = columnsFirst ? slot % y.count : slot % x.count;
        const int across = columnsFirst ? slot / y.count : slot / x.count;
        const int ix = columnsFirst ? across : along;
        const int iy = columnsFirst ? along : across;
        Rect r{x.start(ix), y.start(iy), x.start(ix) + x.size, y.start(iy) + y.size};
        if (i >= full) {
            // A half cell: the cell split along the walk, halves taken in its direction.
            const int part = (i - full) % 2;
            const Axis& a = columnsFirst ? y : x;
            int& lo = columnsFirst ? r.top : r.left;
            int& hi = columnsFirst ? r.bottom : r.right;
            const int half = a.size / 2;
            if (a.dir > 0) {
                lo += part * half;
            } else {
                lo = hi - (part + 1) * half;
            }
            hi = lo + half;
        }
        out.push_back(r);
    }
    return out;
}

Point ownerDisplacement(const Rect& before, const Rect& after, Point requested) {
    if (after.left == before.left && after.top == before.top)
        return {requested.x - before.left, requested.y - before.top};
    return {after.left - before.left, after.top - before.top};
}
