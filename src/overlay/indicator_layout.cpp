// Placement and band geometry of the delay indicator.
#include "overlay/indicator_layout.h"

#include "core/delay_gate_core.h"

#include <algorithm>

namespace {

constexpr int kNearMargin = 50;
constexpr int kFarMargin = 161; // 59 pixels of margin plus the square's 102

int placeOnAxis(int p, int screen) {
    int v = p - kIndicatorSize / 2;
    // A pointer pinned on the first or last pixel sits at the margin, not centred.
    if (p == 0)
        v = kNearMargin;
    else if (p == screen - 1)
        v = screen - kFarMargin;
    if (v < kNearMargin)
        v = kNearMargin;
    if (v > screen - kFarMargin)
        v = screen - kFarMargin;
    return v;
}

// Beyond a full band every percentage draws the same (the band covers the client and its
// line falls outside), so the value is bounded to keep the rectangles in int range.
int boundedPercent(double sum, int threshold) {
    return static_cast<int>(std::clamp(pushPercent(sum, threshold), -200LL, 200LL));
}

} // namespace

Rect indicatorPlacement(Point pointer, Size screen) {
    const int x = placeOnAxis(pointer.x, screen.w);
    const int y = placeOnAxis(pointer.y, screen.h);
    return {x, y, x + kIndicatorSize, y + kIndicatorSize};
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
