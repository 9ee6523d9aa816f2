// Placement and band geometry of the delay indicator.
#include "overlay/indicator_layout.h"

#include "core/delay_gate_core.h"
#include "core/dpi_scale.h"

#include <algorithm>

namespace {

constexpr int kNearMargin = 50;
constexpr int kFarMargin = 59;

int placeOnAxis(int p, int screen, int dpi) {
    const int size = indicatorOuterSide(dpi);
    const int nearMargin = scaleForDpi(kNearMargin, dpi);
    const int farMargin = scaleForDpi(kFarMargin, dpi) + size;
    int v = p - size / 2;
    // A pointer pinned on the first or last pixel sits at the margin, not centred.
    if (p == 0)
        v = nearMargin;
    else if (p == screen - 1)
        v = screen - farMargin;
    if (v < nearMargin)
        v = nearMargin;
    if (v > screen - farMargin)
        v = screen - farMargin;
    return v;
}

// Beyond a full band every percentage draws the same (the band covers the client and its
// line falls outside), so the value is bounded to keep the rectangles in int range.
int boundedPercent(double sum, int threshold) {
    return static_cast<int>(std::clamp(pushPercent(sum, threshold), -200LL, 200LL));
}

} // namespace

int indicatorClientSide(int dpi) {
    return scaleForDpi(kIndicatorClient, dpi);
}

int indicatorOuterSide(int dpi) {
    return indicatorClientSide(dpi) + (kIndicatorSize - kIndicatorClient); // a 1-pixel border
}

Rect indicatorPlacement(Point pointer, Size screen, int dpi) {
    const int x = placeOnAxis(pointer.x, screen.w, dpi);
    const int y = placeOnAxis(pointer.y, screen.h, dpi);
    const int size = indicatorOuterSide(dpi);
    return {x, y, x + size, y + size};
}

IndicatorBands indicatorBands(double sumX, double sumY, int threshold) {
    IndicatorBands b;
    if (threshold <= 0)
        return b;
    b.draw = true;
    const int c = kIndicatorClient;
    const int p = boundedPercent(sumX, threshold);
    if (p < 0) {
        b.bandX = {0, 0, -p, c};
        b.edgeX = -p;
    } else {
        b.bandX = {c - p, 0, c, c};
        b.edgeX = c - p;
    }
    const int q = boundedPercent(sumY, threshold);
    if (q < 0) {
        b.bandY = {0, 0, c, -q};
        b.edgeY = -q;
    } else {
        b.bandY = {0, c - q, c, c};
        b.edgeY = c - q;
    }
    return b;
}
