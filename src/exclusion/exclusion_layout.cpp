// The exclusion window's placement and column widths.
#include "exclusion/exclusion_layout.h"

#include "core/dpi_scale.h"

#include <algorithm>

Rect exclusionWindowPlacement(const Rect& workArea, Size minimum) {
    const int w = workArea.right - workArea.left;
    const int h = workArea.bottom - workArea.top;
    const Size size{std::max(1, std::min(std::max(w / 3, minimum.w), w)),
                    std::max(1, std::min(std::max(h / 3, minimum.h), h))};
    const Point at = keepInside({workArea.left + (w - size.w) / 2, workArea.top + (h - size.h) / 2},
                                size, workArea, 0);
    return {at.x, at.y, at.x + size.w, at.y + size.h};
}

int exclusionColumnWidth(int listWidth, int dpi) {
    return std::max(1, std::min(scaleForDpi(200, dpi), listWidth / 2));
}
