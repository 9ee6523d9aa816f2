// Layout of the tray picture and the figures drawn from it.
#include "tray/tray_glyph.h"

namespace {

// The system's MulDiv: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0
// or the result does not fit.
int mulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    long long n = static_cast<long long>(a) * b;
    long long d = c;
    if (d < 0)
        n = -n, d = -d;
    const long long r = n >= 0 ? (n + d / 2) / d : (n - d / 2) / d;
    if (r > 2147483647LL || r < -2147483647LL)
        return -1;
    return static_cast<int>(r);
}

} // namespace

GlyphLayout layoutGlyph(Size icon, Size screen, int columns, int rows, Point origin,
                        int scrollEnabled) {
    GlyphLayout g;
    g.state = scrollEnabled;
    g.iconWidth = icon.w;
    g.iconHeight = icon.h;
    const long long areaWidth = static_cast<long long>(screen.w) * columns;
    const long long areaHeight = static_cast<long long>(screen.h) * rows;
    // Nothing sensible can be drawn of an empty area or into an empty icon, and the
    // quotients below would divide by zero.
    if (icon.w <= 0 || icon.h <= 0 || areaWidth <= 0 || areaHeight <= 0 ||
        areaWidth > 2147483647LL || areaHeight > 2147483647LL)
        return g;
    const int vw = static_cast<int>(areaWidth), vh = static_cast<int>(areaHeight);

    if (static_cast<double>(icon.w) / icon.h <= static_cast<double>(vw) / vh) {
        g.gridWidth = icon.w;
        g.gridHeight = mulDiv(vh, icon.w, vw);
    } else {
        g.gridWidth = mulDiv(vw, icon.h, vh);
        g.gridHeight = icon.h;
    }
    g.gridLeft = (icon.w - g.gridWidth) / 2;
    g.gridTop = (icon.h - g.gridHeight) / 2;
    g.gridRight = g.gridLeft + g.gridWidth - 1;
    g.gridBottom = g.gridTop + g.gridHeight - 1;

    g.viewLeft = g.gridLeft + mulDiv(origin.x, g.gridWidth, vw);
    g.viewTop = g.gridTop + mulDiv(origin.y, g.gridHeight, vh);
    g.viewWidth = mulDiv(screen.w, g.gridWidth, vw);
    g.viewHeight = mulDiv(screen.h, g.gridHeight, vh);
    return g;
}

std::array<GlyphStroke, 6> offMarkLines(const GlyphLayout& g) {
    const int l = g.gridLeft, t = g.gridTop, r = g.gridRight, b = g.gridBottom;
    const int w = g.gridWidth, h = g.gridHeight;
    return {{
        {2, {{{l, t}, {l + w / 3 + 1, t}}}},
        {3, {{{l + 2 * w / 3, t}, {r, t}, {r, t + h / 3 + 1}}}},
        {3, {{{r, t + 2 * h / 3}, {r, b}, {l + 2 * w / 3 - 1, b}}}},
        {3, {{{l + w / 3, b}, {l, b}, {l, t + 2 * h / 3 - 1}}}},
        {3, {{{l, t + h / 3}, {l, t}, {r, b}}}},
        {2, {{{r, t}, {l, b}}}},
    }};
}

GlyphFigures glyphFigures(const GlyphLayout& g) {
    GlyphFigures f;
    f.movementOn = g.state != 0;
    const int vl = g.viewLeft, vt = g.viewTop, vr = g.viewLeft + g.viewWidth,
              vb = g.viewTop + g.viewHeight;
    if (f.movementOn) {
        f.maskOpaque = {g.gridLeft, g.gridTop, g.gridLeft + g.gridWidth, g.gridTop + g.gridHeight};
        f.maskHoles = {{{g.gridRight, g.gridTop}, {g.gridLeft, g.gridBottom}}};
    } else {
        // The current screen with its one-pixel frame, corners cut like the grid's.
        f.maskOpaque = {vl - 1, vt - 1, vr + 1, vb + 1};
        f.maskHoles = {{{vr, vt - 1}, {vl - 1, vb}}};
    }
    f.gridBox = {g.gridLeft + 1, g.gridTop + 1, g.gridRight + 1, g.gridBottom + 1};
    f.gridFrame = {g.gridLeft, g.gridTop, g.gridRight, g.gridBottom};
    f.greyEdge = {3, {{{vl - 1, vb - 1}, {vl - 1, vt - 1}, {vr, vt - 1}}}};
    f.blackEdge = {3, {{{vr, vt}, {vr, vb}, {vl - 1, vb}}}};
    f.picture = {vl, vt, vr, vb};
    return f;
}
