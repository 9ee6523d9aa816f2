// The relative-position frame's strips from the view origin and the grid.
#include "overlay/frame_layout.h"

#include "core/dpi_scale.h"

FrameStrips frameStrips(Point view, Size screen, int columns, int rows, int dpi) {
    // The settings never hold a grid below 1 × 1, but a zero here would divide by zero
    // on the overlay thread, where nothing could report it.
    const int c = columns < 1 ? 1 : columns;
    const int r = rows < 1 ? 1 : rows;
    const int x0 = view.x / c;
    const int y0 = view.y / r;
    const int w = screen.w / c;
    const int h = screen.h / r;
    const int t = scaleForDpi(kFrameThickness, dpi);
    return {{x0, y0, x0 + t, y0 + h},
            {x0, y0, x0 + w, y0 + t},
            {x0 + w - t, y0, x0 + w, y0 + h},
            {x0, y0 + h - t, x0 + w, y0 + h}};
}
