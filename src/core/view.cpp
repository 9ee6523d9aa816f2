// Start-position arithmetic and the storage of the shared view values.
#include "core/view.h"

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
