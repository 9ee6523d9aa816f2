// Free areas of the real screens and the choice of the screen a new window lands on.
#include "mainwnd/placement.h"

#include <algorithm>
#include <climits>

int mulDivRounded(long long a, long long b, long long c) {
    if (c == 0)
        return -1;
    if (c < 0)
        a = -a, c = -c;
    const long long product = a * b;
    const long long rounded = product >= 0 ? (product + c / 2) / c : (product - c / 2) / c;
    if (rounded > INT_MAX || rounded < -INT_MAX)
        return -1;
    return static_cast<int>(rounded);
}

long long uncoveredArea(const Rect& region, std::span<const Rect> windows) {
    if (region.right <= region.left || region.bottom <= region.top)
        return 0;
    // The window parts inside the region; the union is measured slab by slab between
    // consecutive vertical edges, merging the covered spans of each slab.
    std::vector<Rect> parts;
    std::vector<int> edges{region.left, region.right};
    for (const Rect& w : windows) {
        Rect p{std::max(w.left, region.left), std::max(w.top, region.top),
               std::min(w.right, region.right), std::min(w.bottom, region.bottom)};
        if (p.right <= p.left || p.bottom <= p.top)
            continue;
        parts.push_back(p);
        edges.push_back(p.left);
        edges.push_back(p.right);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    long long covered = 0;
    std::vector<std::pair<int, int>> spans;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const int x0 = edges[i], x1 = edges[i + 1];
        spans.clear();
        for (const Rect& p : parts)
            if (p.left <= x0 && p.right >= x1)
                spans.emplace_back(p.top, p.bottom);
        std::sort(spans.begin(), spans.end());
        long long height = 0;
        int runTop = 0, runBottom = INT_MIN;
        for (const auto& [top, bottom] : spans) {
            if (top > runBottom) {
                if (runBottom > runTop)
                    height += runBottom - runTop;
                runTop = top;
                runBottom = bottom;
            } else {
                runBottom = std::max(runBottom, bottom);
            }
        }
        if (runBottom > runTop)
            height += runBottom - runTop;
        covered += height * (x1 - x0);
    }
    const long long whole =
        static_cast<long long>(region.right - region.left) * (region.bottom - region.top);
    return whole - covered;
}

int freePercent(const Rect& region, std::span<const Rect> windows, Size workArea) {
    const long long whole = static_cast<long long>(workArea.w) * workArea.h;
    // Without a work area there is nothing to measure against: no room anywhere.
    if (whole <= 0)
        return 0;
    return mulDivRounded(uncoveredArea(region, windows), 100, whole);
}

Rect cellFreeRegion(const ViewFacts& v, int col, int row) {
    const Rect& wa = v.workArea;
    const int x = col * v.screen.w - v.viewOrigin.x;
    const int y = row * v.screen.h - v.viewOrigin.y;
    return {x + wa.left, y + wa.top, x + wa.right - 1, y + wa.bottom - 1};
}

Rect currentFreeRegion(const ViewFacts& v) {
    const Rect& wa = v.workArea;
    return {wa.left, wa.top, wa.right - 1, wa.bottom - 1};
}

std::vector<Point> scanOrder(char16_t start, int columns, int rows) {
    bool rightToLeft = false, bottomToTop = false;
    switch (start) {
    case u'1':
    case u'b': bottomToTop = true; break;
    case u'3': rightToLeft = bottomToTop = true; break;
    case u'9':
    case u'r': rightToLeft = true; break;
    default: break;
    }
    std::vector<Point> order;
    order.reserve(static_cast<size_t>(std::max(columns, 0) * std::max(rows, 0)));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            order.push_back({rightToLeft ? columns - 1 - c : c, bottomToTop ? rows - 1 - r : r});
    return order;
}

Point chooseTargetCell(char16_t start, int columns, int rows, std::span<const int> percent) {
    auto at = [&](Point cell) { return percent[static_cast<size_t>(cell.x + cell.y * columns)]; };
    if (start == u'5') {
        const Point centre{(columns - 1) / 2, (rows - 1) / 2};
        if (at(centre) >= 95)
            return centre;
    }
    const std::vector<Point> order = scanOrder(start, columns, rows);
    if (order.empty())
        return {};
    // The best so far starts as the default at 0: a full cell never replaces it, and a
    // tie keeps the cell met first.
    Point best = order.front();
    int bestPercent = 0;
    for (const Point& cell : order) {
        const int p = at(cell);
        if (p > bestPercent) {
            best = cell;
            bestPercent = p;
        }
        if (p >= 95)
            break;
    }
    return best;
}

bool actOnNewWindow(bool newWindowToEmpty, bool shiftTogglesNewWindow, bool shiftDown) {
    return newWindowToEmpty != (shiftTogglesNewWindow && shiftDown);
}

NewWindowStep placeNewWindow(const ViewFacts& v, char16_t startPosition, char taskbarSide,
                             std::span<const Rect> others) {
    const Size wa{v.workArea.right - v.workArea.left, v.workArea.bottom - v.workArea.top};
    if (freePercent(currentFreeRegion(v), others, wa) > 66)
        return {};

    std::vector<int> percent(static_cast<size_t>(v.columns * v.rows));
    for (int row = 0; row < v.rows; ++row)
        for (int col = 0; col < v.columns; ++col)
            percent[static_cast<size_t>(col + row * v.columns)] =
                freePercent(cellFreeRegion(v, col, row), others, wa);

    const char16_t start = startPosition == u't'
                               ? static_cast<char16_t>(static_cast<unsigned char>(taskbarSide))
                               : startPosition;
    const Point cell = chooseTargetCell(start, v.columns, v.rows, percent);
    return {true, {cell.x * v.screen.w - v.viewOrigin.x, cell.y * v.screen.h - v.viewOrigin.y}};
}
