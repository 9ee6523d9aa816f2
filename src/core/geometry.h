// Plain geometry records of the portable core. The shell converts them to and from
// RECT and POINT at the Win32 boundary.
#pragma once

#include <climits>

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int w = 0;
    int h = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Geometry that other programs report (their WM_GETMINMAXINFO answers, their window
// rectangles) may be anything: it is added up in 64 bits and brought back into int range.
constexpr int saturateInt(long long v) {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// The rectangle at `position` of `size`, its right and bottom saturated.
constexpr Rect rectAt(Point position, Point size) {
    return {position.x, position.y, saturateInt(static_cast<long long>(position.x) + size.x),
            saturateInt(static_cast<long long>(position.y) + size.y)};
}
