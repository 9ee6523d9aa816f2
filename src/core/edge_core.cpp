// Edge movement arithmetic.
#include "core/edge_core.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

int saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

} // namespace

int edgeFlagsAt(Point p, Size screen) {
    int flags = 0;
    if (p.x == 0) flags |= EDGE_LEFT;
    if (p.x == screen.w - 1) flags |= EDGE_RIGHT;
    if (p.y == 0) flags |= EDGE_TOP;
    if (p.y == screen.h - 1) flags |= EDGE_BOTTOM;
    return flags;
}

int edgesWithoutMonitorBeyond(int flags, Point p, std::span<const Rect> monitors) {
    const auto covered = [&](long long x, long long y) {
        for (const Rect& m : monitors)
            if (x >= m.left && x < m.right && y >= m.top && y < m.bottom)
                return true;
        return false;
    };
    const struct {
        int flag;
        int dx, dy;
    } beyond[] = {{EDGE_LEFT, -1, 0}, {EDGE_RIGHT, 1, 0}, {EDGE_TOP, 0, -1}, {EDGE_BOTTOM, 0, 1}};
    for (const auto& b : beyond)
        if ((flags & b.flag) &&
            covered(static_cast<long long>(p.x) + b.dx, static_cast<long long>(p.y) + b.dy))
            flags &= ~b.flag;
    return flags;
}

int accelerate(int d, int acceleration) {
    if (d == 0) return 0;
    const double f = 1.0 + 0.1 * acceleration;
    const double magnitude = std::floor(std::pow(std::fabs(static_cast<double>(d)), f) + 0.5);
    // Beyond int the step could never be applied anyway: the clamp to the area follows.
    const double capped = std::min(magnitude, static_cast<double>(INT_MAX));
    const int step = static_cast<int>(capped);
    return d < 0 ? -step : step;
}

Point maxViewOrigin(int columns, int rows, Size screen) {
    return {saturate(static_cast<long long>(columns - 1) * screen.w),
            saturate(static_cast<long long>(rows - 1) * screen.h)};
}

Point borderBlock(Point d, Point v, Point m) {
    if ((v.x == 0 && d.x < 0) || (v.x == m.x && d.x > 0)) d.x = 0;
    if ((v.y == 0 && d.y < 0) || (v.y == m.y && d.y > 0)) d.y = 0;
    return d;
}

Point directionFilter(Point s, int flags, bool reverse) {
    const int negX = reverse ? EDGE_RIGHT : EDGE_LEFT;
    const int posX = reverse ? EDGE_LEFT : EDGE_RIGHT;
    const int negY = reverse ? EDGE_BOTTOM : EDGE_TOP;
    const int posY = reverse ? EDGE_TOP : EDGE_BOTTOM;
    if ((s.x < 0 && !(flags & negX)) || (s.x > 0 && !(flags & posX))) s.x = 0;
    if ((s.y < 0 && !(flags & negY)) || (s.y > 0 && !(flags & posY))) s.y = 0;
    return s;
}

EdgeShape chooseEdgeShape(int flags, bool scrollEnabled, bool reverse, Point v, Point m) {
    if (!scrollEnabled) return EdgeShape::Normal;
    if (!reverse) {
        if ((flags & EDGE_LEFT) && v.x > 0) return EdgeShape::Left;
        if ((flags & EDGE_RIGHT) && v.x < m.x) return EdgeShape::Right;
        if ((flags & EDGE_TOP) && v.y > 0) return EdgeShape::Up;
        if ((flags & EDGE_BOTTOM) && v.y < m.y) return EdgeShape::Down;
    } else {
        if ((flags & EDGE_LEFT) && v.x < m.x) return EdgeShape::Left;
        if ((flags & EDGE_RIGHT) && v.x > 0) return EdgeShape::Right;
        if ((flags & EDGE_TOP) && v.y < m.y) return EdgeShape::Up;
        if ((flags & EDGE_BOTTOM) && v.y > 0) return EdgeShape::Down;
    }
    return EdgeShape::Normal;
}

Point clampToArea(Point s, Point v, Point m) {
    auto axis = [](int step, int view, int max) {
        const long long target = static_cast<long long>(view) + step;
        if (target < 0) return saturate(-static_cast<long long>(view));
        if (target > max) return saturate(static_cast<long long>(max) - view);
        return step;
    };
    return {axis(s.x, v.x, m.x), axis(s.y, v.y, m.y)};
}

Point continuationFrom(int flags, Point step) {
    Point c;
    if (flags & (EDGE_LEFT | EDGE_RIGHT)) c.x = step.x;
    if (flags & (EDGE_TOP | EDGE_BOTTOM)) c.y = step.y;
    return c;
}

Point strengthenContinuation(Point c, Point s) {
    auto axis = [](int cont, int step) {
        if ((step < 0 && cont <= 0) || (step > 0 && cont >= 0))
            return saturate(static_cast<long long>(cont) + step / 2);
        return cont;
    };
    return {axis(c.x, s.x), axis(c.y, s.y)};
}

Point stepToNeighbourScreen(int flags, Point v, Size screen, int columns, int rows, bool reverse) {
    if (screen.w <= 0 || screen.h <= 0) return {};
    int col = v.x / screen.w;
    int row = v.y / screen.h;
    const int lastCol = columns - 1, lastRow = rows - 1;
    // Each edge is checked in turn, so a push into a corner moves on both axes.
    if (!reverse) {
        if ((flags & EDGE_LEFT) && col > 0) --col;
        if ((flags & EDGE_RIGHT) && col < lastCol) ++col;
        if ((flags & EDGE_TOP) && row > 0) --row;
        if ((flags & EDGE_BOTTOM) && row < lastRow) ++row;
    } else {
        if ((flags & EDGE_LEFT) && col < lastCol) ++col;
        if ((flags & EDGE_RIGHT) && col > 0) --col;
        if ((flags & EDGE_TOP) && row < lastRow) ++row;
        if ((flags & EDGE_BOTTOM) && row > 0) --row;
    }
    return {saturate(static_cast<long long>(col) * screen.w - v.x),
            saturate(static_cast<long long>(row) * screen.h - v.y)};
}

bool nearScreenEdge(Point p, Size screen) {
    return p.x <= 1 || p.x >= screen.w - 2 || p.y <= 1 || p.y >= screen.h - 2;
}
