// Scaling to a DPI and keeping windows reachable.
#include "core/dpi_scale.h"

int scaleForDpi(int value, int dpi) {
    if (dpi <= 0)
        dpi = kBaseDpi;
    const long long scaled = static_cast<long long>(value) * dpi;
    const long long half = kBaseDpi / 2;
    return saturateInt(scaled >= 0 ? (scaled + half) / kBaseDpi : (scaled - half) / kBaseDpi);
}

Size scaleForDpi(Size size, int dpi) {
    return {scaleForDpi(size.w, dpi), scaleForDpi(size.h, dpi)};
}

Point keepInside(Point at, Size size, const Rect& area, int margin) {
    Point p = at;
    // The far edges first: when the window does not fit, the near edges win.
    if (p.x + size.w > area.right - margin)
        p.x = area.right - margin - size.w;
    if (p.y + size.h > area.bottom - margin)
        p.y = area.bottom - margin - size.h;
    if (p.x < area.left + margin)
        p.x = area.left + margin;
    if (p.y < area.top + margin)
        p.y = area.top + margin;
    return p;
}
