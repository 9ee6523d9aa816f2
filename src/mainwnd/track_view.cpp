// Activation filter, proportional and by-screen tracking steps, Shift centring and the
// pseudo-maximize rectangles.
#include "mainwnd/track_view.h"

#include <algorithm>

bool ignoredActivation(const ActivationFacts& f) {
    if (f.className == L"#32770") {
        if (f.titleLength == 3 && f.shortTitle == L"拡大鏡")
            return true;
        return f.sameThreadAsLast;
    }
    return f.className == L"IEFrame" && f.disabled && f.toolWindow;
}

namespace {

bool isEmpty(const Rect& r) {
    return r.bottom <= r.top || r.right <= r.left;
}

// Keeps the view origin plus the step inside the virtual area on one axis.
int clampStep(int step, int origin, int cells, int cellSize) {
    const int last = (cells - 1) * cellSize;
    if (origin + step < 0)
        step = -origin;
    if (origin + step > last)
        step = last - origin;
    return step;
}

} // namespace

Point minimizedPlace(Point corner, const ViewFacts& v) {
    const auto onAxis = [](int at, int origin, int cells, int cellSize) {
        const long long last = std::max(static_cast<long long>(cells) * cellSize - 1, 0LL);
        return static_cast<int>(std::clamp(static_cast<long long>(at) + origin, 0LL, last));
    };
    return {onAxis(corner.x, v.viewOrigin.x, v.columns, v.screen.w),
            onAxis(corner.y, v.viewOrigin.y, v.rows, v.screen.h)};
}

TrackStep proportionalStep(const Rect& r, const ViewFacts& v, int trackLevel) {
    if (isEmpty(r) || r == kMinimizedRect)
        return {};
    const Rect& wa = v.workArea;
    const int waW = wa.right - wa.left, waH = wa.bottom - wa.top;
    const int w = r.right - r.left, h = r.bottom - r.top;

    const long long visW = std::min(wa.right, r.right) - std::max(wa.left, r.left);
    const long long visH = std::min(wa.bottom, r.bottom) - std::max(wa.top, r.top);
    const long long area =
        std::min(static_cast<long long>(w) * h, static_cast<long long>(waW) * waH);
    // Both extents positive imply a non-empty work area, so area > 0 there.
    if (visW > 0 && visH > 0 && area > 0 && visW * visH * 9 / area > trackLevel)
        return {};

    const int dx = r.left - (waW - w) / 2 - wa.left;
    const int dy = r.top - (waH - h) / 2 - wa.top;
    return {true,
            {clampStep(dx, v.viewOrigin.x, v.columns, v.screen.w),
             clampStep(dy, v.viewOrigin.y, v.rows, v.screen.h)}};
}

TrackStep screenStep(const Rect& r, const ViewFacts& v) {
    if (isEmpty(r))
        return {};
    Point target{};
    long long best = 0;
    for (int row = 0; row < v.rows; ++row) {
        for (int col = 0; col < v.columns; ++col) {
            const int x = col * v.screen.w - v.viewOrigin.x;
            const int y = row * v.screen.h - v.viewOrigin.y;
            const Rect cell{x, y, x + v.screen.w - 1, y + v.screen.h - 1};
            const long long ow = std::min(cell.right, r.right) - std::max(cell.left, r.left);
            const long long oh = std::min(cell.bottom, r.bottom) - std::max(cell.top, r.top);
            const long long overlap = ow > 0 && oh > 0 ? ow * oh : 0;
            if (overlap > best) {
                best = overlap;
                target = {col, row};
            }
        }
    }
    return {true, {target.x * v.screen.w - v.viewOrigin.x, target.y * v.screen.h - v.viewOrigin.y}};
}

Point centredPosition(const Rect& r, const Rect& workArea) {
    const int waW = workArea.right - workArea.left, waH = workArea.bottom - workArea.top;
    int x = workArea.left + (waW - (r.right - r.left)) / 2;
    int y = workArea.top + (waH - (r.bottom - r.top)) / 2;
    return {std::max(x, workArea.left), std::max(y, workArea.top)};
}

Rect pushInsideWorkArea(const Rect& saved, Size workArea) {
    long long left = saved.left, top = saved.top, right = saved.right, bottom = saved.bottom;
    auto moveX = [&](long long dx) { left += dx, right += dx; };
    auto moveY = [&](long long dy) { top += dy, bottom += dy; };
    if (right > workArea.w)
        moveX(workArea.w - right);
    if (bottom > workArea.h)
        moveY(workArea.h - bottom);
    if (left < 0)
        moveX(-left);
    if (top < 0)
        moveY(-top);
    return {saturateInt(left), saturateInt(top), saturateInt(right), saturateInt(bottom)};
}

MaximizeAnswer pseudoMaximize(const Rect& normal, const Rect& saved, Point maxPosition,
                              Point maxSize, Point trackLimit, Size workArea) {
    // The system cuts a window down to its tracking limit when it is given a larger
    // size; compared with the uncut size, a pseudo-maximized window would then never be
    // recognised and every request would maximize it again.
    const Point reached{trackLimit.x > 0 ? std::min(maxSize.x, trackLimit.x) : maxSize.x,
                        trackLimit.y > 0 ? std::min(maxSize.y, trackLimit.y) : maxSize.y};
    auto hasMaxSize = [&](const Rect& r) {
        return static_cast<long long>(r.right) - r.left == reached.x &&
               static_cast<long long>(r.bottom) - r.top == reached.y;
    };
    if (hasMaxSize(normal)) {
        // Already pseudo-maximized. A record of the same size holds nothing better to go
        // back to than the whole work area.
        if (hasMaxSize(saved))
            return {{0, 0, workArea.w, workArea.h}, false};
        return {pushInsideWorkArea(saved, workArea), false};
    }
    return {rectAt(maxPosition, maxSize), true};
}
