// Lines, dash phase, thousands separators and label placement of the cross cursors.
#include "overlay/cursor_layout.h"

#include "core/dpi_scale.h"

namespace {

constexpr std::uint32_t kDashStepMs = 100;

// A label is its text plus one pixel of outline on every side.
Size labelSize(Size text) {
    return {text.w + 2, text.h + 2};
}

// A label never leaves the screen, even one too small for the rules above.
Rect onScreen(Point at, Size label, Size screen) {
    const Point p = keepInside(at, label, {0, 0, screen.w, screen.h}, 0);
    return {p.x, p.y, p.x + label.w, p.y + label.h};
}

} // namespace

Rect horizontalLine(Point pointer, Size screen) {
    return {0, pointer.y, screen.w - 1, pointer.y + 1};
}

Rect verticalLine(Point pointer, Size screen) {
    return {pointer.x, 0, pointer.x + 1, screen.h - 1};
}

int dashPhase(std::uint32_t tick) {
    return static_cast<int>(tick / kDashStepMs % kDashPhases);
}

std::wstring formatThousands(int n) {
    std::wstring out;
    if (n < 0)
        return out;
    const std::wstring digits = std::to_wstring(n);
    const size_t count = digits.size();
    out.reserve(count + (count - 1) / 3);
    for (size_t i = 0; i < count; ++i) {
        out += digits[i];
        const size_t after = count - 1 - i;
        if (after > 0 && after % 3 == 0)
            out += L',';
    }
    return out;
}

Rect xLabelPlacement(Point p, Size screen, Size text, Size cursor) {
    const Size s = labelSize(text);
    int x = p.x + 1;
    if (p.x + 1 + s.w > screen.w)
        x = p.x - s.w - 1;
    int y;
    if (p.y <= screen.h / 2) {
        y = 1;
        if (p.y < 2 * cursor.h)
            y = p.y + 2 * cursor.h + 1;
    } else {
        // One pixel above the bottom edge, as the top placement is one pixel below the top.
        y = screen.h - s.h - 1;
        if (screen.h - s.h - 1 < p.y + cursor.h)
            y = p.y - s.h - cursor.h - 1;
    }
    return onScreen({x, y}, s, screen);
}

Rect yLabelPlacement(Point p, Size screen, Size text, Size cursor) {
    const Size s = labelSize(text);
    int x;
    if (p.x <= screen.w / 2) {
        x = 1;
        if (p.x < s.w + cursor.w + 1)
            x = p.x + cursor.w + 1;
    } else {
        x = screen.w - s.w - 1;
        if (screen.w - s.w - 1 < p.x + cursor.w)
            x = p.x - s.w - cursor.w - 1;
    }
    int y = p.y + 1;
    if (p.y + 1 + s.h > screen.h)
        y = p.y + 1 - s.h;
    return onScreen({x, y}, s, screen);
}
