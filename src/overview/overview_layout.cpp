// Overview arithmetic. Integer divisions truncate toward zero and remainders take the
// dividend's sign, which is what the snapping rules below are written for.
#include "overview/overview_layout.h"

#include "core/dpi_scale.h"

#include <algorithm>

namespace {

constexpr unsigned kFadeConstant = 8415; // 255 steps of 33 ms

// Halves away from zero, as the system's multiply-divide rounds.
int mulDiv(long long a, long long b, long long c) {
    if (c == 0)
        return -1;
    const long long p = a * b;
    const bool negative = (p < 0) != (c < 0);
    const long long ap = p < 0 ? -p : p, ac = c < 0 ? -c : c;
    const long long q = (ap + ac / 2) / ac;
    return static_cast<int>(negative ? -q : q);
}

int placeOnAxis(int pointer, int size, int screen) {
    int v = pointer - size / 2;
    if (v < 0)
        v = 0;
    if (v + size > screen)
        v = screen - size;
    return v;
}

int storedOrHalf(int stored, int minimum, int screen) {
    return (stored < minimum || stored > screen) ? screen / 2 : stored;
}

// One axis of the hover frame: start from `origin`, snapped to the cell boundary within a
// tenth of a cell, then kept in the picture.
void highlightAxis(int p, int extent, int cells, bool snap, int& lo, int& hi) {
    const double f = static_cast<double>(extent) / cells;
    const int w = static_cast<int>(f), hw = static_cast<int>(f * 0.5);
    lo = p - hw;
    hi = lo + w;
    if (snap && w > 0) {
        const int q = (p - hw) / w, r = (p - hw) % w;
        if (r < 0.1 * f) {
            lo = extent * q / cells;
            hi = q < cells - 1 ? extent * (q + 1) / cells : extent;
        }
        if (r > 0.9 * f) {
            lo = extent * (q + 1) / cells;
            hi = q < cells - 2 ? extent * (q + 2) / cells : extent;
        }
    }
    if (hi >= extent) {
        lo = extent * (cells - 1) / cells;
        hi = extent;
    }
    if (lo < 0) {
        lo = 0;
        hi = w;
    }
}

int jumpAxis(int p, int extent, int cells, int screen, bool snap) {
    int v = screen * cells * p / extent - screen / 2;
    if (snap) {
        const int q = v / screen, r = v % screen;
        if (r < screen / 10)
            v = q * screen;
        else if (r > screen * 9 / 10)
            v = (q + 1) * screen;
    }
    const int last = (cells - 1) * screen;
    return v < 0 ? 0 : (v > last ? last : v);
}

int dragAxis(int delta, int lo, int hi, int view, int extent, int virtualSize) {
    int m = (virtualSize / extent) * delta;
    if (view + lo + m < 0)
        m = -(view + lo);
    if (view + hi + m > virtualSize)
        m = virtualSize - view - hi;
    return m;
}

int scaled(int v, int offset, int extent, int virtualSize) {
    return static_cast<int>(static_cast<double>(extent) / virtualSize * (v + offset));
}

} // namespace

Size overviewMinimum(Size statusNeed, Size screen, int dpi) {
    return {std::min(std::max(scaleForDpi(kOverviewMinWidth, dpi), statusNeed.w), screen.w),
            std::min(std::max(scaleForDpi(kOverviewMinHeight, dpi), statusNeed.h), screen.h)};
}

Rect overviewPlacement(Point pointer, Size stored, Size screen, Size minimum, int dpi) {
    const Size least = overviewMinimum(minimum, screen, dpi);
    const int w0 = storedOrHalf(stored.w, scaleForDpi(kOverviewMinWidth, dpi), screen.w);
    const int h0 = storedOrHalf(stored.h, scaleForDpi(kOverviewMinHeight, dpi), screen.h);
    const int w = std::max(w0, least.w);
    int h = std::max(h0, least.h);
    // Widened for its status text, the picture keeps its proportions.
    if (w > w0 && w0 > 0)
        h = std::min(screen.h, std::max(h, static_cast<int>(static_cast<long long>(h0) * w / w0)));
    const int x = placeOnAxis(pointer.x, w, screen.w);
    const int y = placeOnAxis(pointer.y, h, screen.h);
    return {x, y, x + w, y + h};
}

Point pictureOf(Point p, Point view, Size picture, const AreaShape& area) {
    return {scaled(p.x, view.x, picture.w, area.columns * area.screen.w),
            scaled(p.y, view.y, picture.h, area.rows * area.screen.h)};
}

Rect pictureOf(const Rect& r, Point view, Size picture, const AreaShape& area) {
    const Point a = pictureOf(Point{r.left, r.top}, view, picture, area);
    const Point b = pictureOf(Point{r.right, r.bottom}, view, picture, area);
    return {a.x, a.y, b.x, b.y};
}

Size thumbnailSize(Size size, Size picture, const AreaShape& area) {
    return {scaled(size.w, 0, picture.w, area.columns * area.screen.w),
            scaled(size.h, 0, picture.h, area.rows * area.screen.h)};
}

unsigned gridPenColor(unsigned desktop) {
    const unsigned green = (desktop >> 8) & 0xFF;
    return (desktop & 0xFF00FF) | ((green <= 0xC0 ? 0xFFu : 0xA0u) << 8);
}

std::vector<int> gridLines(int extent, int count) {
    std::vector<int> lines;
    for (int i = 1; i < count; ++i)
        lines.push_back(extent * i / count);
    return lines;
}

Rect viewOutline(Point view, Size picture, const AreaShape& area) {
    const int left =
        mulDiv(picture.w, view.x, static_cast<long long>(area.columns) * area.screen.w);
    const int top = mulDiv(picture.h, view.y, static_cast<long long>(area.rows) * area.screen.h);
    return {left, top, left + picture.w / area.columns, top + picture.h / area.rows};
}

Rect hoverHighlight(Point p, Size picture, int columns, int rows, bool snap) {
    Rect r;
    highlightAxis(p.x, picture.w, columns, snap, r.left, r.right);
    highlightAxis(p.y, picture.h, rows, snap, r.top, r.bottom);
    return r;
}

Point jumpOrigin(Point p, Size picture, const AreaShape& area, bool snap) {
    return {jumpAxis(p.x, picture.w, area.columns, area.screen.w, snap),
            jumpAxis(p.y, picture.h, area.rows, area.screen.h, snap)};
}

Point pickPoint(Point p, Size picture, const AreaShape& area) {
    return {p.x * (area.screen.w * area.columns / picture.w),
            p.y * (area.screen.h * area.rows / picture.h)};
}

Point dragDistance(Point from, Point to, const Rect& window, Point view, Size picture,
                   const AreaShape& area) {
    return {dragAxis(to.x - from.x, window.left, window.right, view.x, picture.w,
                     area.screen.w * area.columns),
            dragAxis(to.y - from.y, window.top, window.bottom, view.y, picture.h,
                     area.screen.h * area.rows)};
}

Rect dragDamage(const Rect& r, Point view, Size picture, const AreaShape& area) {
    const long long vw = static_cast<long long>(area.screen.w) * area.columns;
    const long long vh = static_cast<long long>(area.screen.h) * area.rows;
    auto x = [&](int e) {
        return static_cast<int>((e + view.x) * static_cast<long long>(picture.w) / vw);
    };
    auto y = [&](int e) {
        return static_cast<int>((e + view.y) * static_cast<long long>(picture.h) / vh);
    };
    return {x(r.left), y(r.top), x(r.right), y(r.bottom)};
}

Point warpPoint(Point view, Size picture, const AreaShape& area) {
    return {view.x * picture.w / (area.columns * area.screen.w) + (picture.w / area.columns) / 2,
            view.y * picture.h / (area.rows * area.screen.h) + (picture.h / area.rows) / 2};
}

Point restoredCursor(Point saved, Size screen) {
    auto axis = [](int v, int extent) {
        if (v < 5)
            v = 5;
        if (v > extent - 6)
            v = extent - 6;
        return v;
    };
    return {axis(saved.x, screen.w), axis(saved.y, screen.h)};
}

unsigned fadeStep(unsigned periodMs) {
    const unsigned step = periodMs ? kFadeConstant / periodMs : kFadeConstant;
    return step ? step : 1;
}

FadeResult nextFade(int alpha, unsigned step) {
    if (alpha <= static_cast<int>(step))
        return {0, true};
    return {alpha - static_cast<int>(step), false};
}

Rect plateMeasureBox(Size plate, int dpi) {
    return {scaleForDpi(30, dpi), 0, plate.w - scaleForDpi(10, dpi), plate.h};
}

PlateLayout plateLayout(Size plate, Size measuredText, Size icon, int dpi) {
    constexpr int kEdge = 2; // the raised edge's width
    const int d = measuredText.w + scaleForDpi(10, dpi);
    const int x = (plate.w - d) / 2, y = (plate.h - measuredText.h) / 2;
    const int th = measuredText.h + scaleForDpi(2, dpi);
    PlateLayout l;
    l.text = {x, y, x + d, y + th};
    l.icon = {x - icon.w, y + (th - icon.h) / 2};
    if (l.icon.x < kEdge) {
        const int shift = kEdge - l.icon.x;
        l.icon.x += shift;
        l.text.left += shift;
        l.text.right = std::max(l.text.left, std::min(l.text.right + shift, plate.w - kEdge));
    }
    return l;
}

IconRuns plateIconRuns(Point at, Size icon, Size plate) {
    IconRuns runs;
    const int right = at.x + icon.w;
    if (at.y < 2 || at.y + icon.h > plate.h - 2 || right > plate.w - 2 || right <= 0)
        return runs;
    // Column 0, column 1, then the face: each run is the icon's part over one of them.
    const int starts[3] = {0, 1, 2};
    const int ends[3] = {1, 2, plate.w - 2};
    for (int i = 0; i < 3; ++i) {
        const int from = std::max(at.x, starts[i]), to = std::min(right, ends[i]);
        if (from < to)
            runs.run[runs.count++] = {from, to, starts[i]};
    }
    return runs;
}
