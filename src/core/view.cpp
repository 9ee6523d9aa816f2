// Start-position arithmetic and the storage of the shared view values.
#include "core/view.h"

#include <algorithm>

Size RealScreenSize;
Rect WorkArea;
Point ViewOrigin;

char taskbarSideFromRect(const Rect& r) {
    // A bar that reports no area (hidden, or not placed yet) has no side.
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    // A rectangle starting at the top-left corner is either a left bar (taller than wide)
    // or a top bar; any other start means bottom (further down) or right.
    if (r.top == r.left) {
        if (r.bottom > r.right) return 'l';
        if (r.bottom < r.right) return 't';
    }
    return r.top > r.left ? 'b' : 'r';
}

Point initialViewOrigin(char16_t startPosition, int columns, int rows, Size screen,
                        char taskbarSide) {
    // In 64 bits so that no screen size can overflow the products.
    const long long m = static_cast<long long>(columns - 1) * screen.w;
    const long long n = static_cast<long long>(rows - 1) * screen.h;
    char16_t pos = startPosition == u't' ? static_cast<char16_t>(taskbarSide) : startPosition;
    long long x = m / 2, y = n / 2;
    switch (pos) {
    case u'1':
    case u'b': x = 0, y = n; break;
    case u'3': x = m, y = n; break;
    case u'7':
    case u'l':
    case u't': x = 0, y = 0; break;
    case u'9':
    case u'r': x = m, y = 0; break;
    default: break;
    }
    return {static_cast<int>(x), static_cast<int>(y)};
}

namespace {

long long floorMod(long long v, long long m) {
    const long long r = v % m;
    return r < 0 ? r + m : r;
}

long long floorDiv(long long v, long long m) {
    return (v - floorMod(v, m)) / m;
}

// One axis: the window spans [lo, hi), the area `cells` screens of `cell` pixels from
// areaLo. Its new start, inside the chosen screen as far as its length allows.
long long placeOnAxis(long long lo, long long hi, long long areaLo, int cells, int cell) {
    const long long length = hi - lo;
    const long long areaHi = areaLo + static_cast<long long>(cells) * cell;
    long long index, start;
    if (hi <= areaLo || lo >= areaHi) {
        index = hi <= areaLo ? 0 : cells - 1;
        start = areaLo + index * cell + floorMod(lo - areaLo, cell);
    } else {
        index = std::clamp<long long>(floorDiv(lo + length / 2 - areaLo, cell), 0, cells - 1);
        start = lo;
    }
    const long long cellLo = areaLo + index * cell;
    return std::max(std::min(start, cellLo + cell - length), cellLo);
}

} // namespace

std::optional<Point> strandedWindowPlace(const Rect& window, Point origin, int columns, int rows,
                                         Size screen) {
    if (window.right <= window.left || window.bottom <= window.top || columns < 1 || rows < 1 ||
        screen.w < 1 || screen.h < 1)
        return std::nullopt;
    const long long areaLeft = -static_cast<long long>(origin.x);
    const long long areaTop = -static_cast<long long>(origin.y);
    const long long areaRight = areaLeft + static_cast<long long>(columns) * screen.w;
    const long long areaBottom = areaTop + static_cast<long long>(rows) * screen.h;
    if (window.left < areaRight && window.right > areaLeft && window.top < areaBottom &&
        window.bottom > areaTop)
        return std::nullopt;
    return Point{saturateInt(placeOnAxis(window.left, window.right, areaLeft, columns, screen.w)),
                 saturateInt(placeOnAxis(window.top, window.bottom, areaTop, rows, screen.h))};
}
