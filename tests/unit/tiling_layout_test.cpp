// Tiling layouts: the listed arrangements exactly, then invariants over every grid size
// from 1 × 1 to 5 × 5 and 1 to 40 windows, each taskbar side and both modes.
#include "mainwnd/tiling.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const Size kScreen{1024, 768};
const Rect kTopBar{0, 30, 1024, 768};
const Rect kBottomBar{0, 0, 1024, 738};
const Rect kLeftBar{60, 0, 1024, 768};
const Rect kRightBar{0, 0, 964, 768};

TEST(Tiling, OneByOneTopTaskbarTwoWindowsShareHalves) {
    const auto r = tileLayout(kTileColumnsFirst, 't', 2, 1, 1, kScreen, kTopBar);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0], (Rect{0, 30, 1024, 399}));
    EXPECT_EQ(r[1], (Rect{0, 399, 1024, 768}));
    // Rows first splits side by side.
    const auto s = tileLayout(kTileRowsFirst, 't', 2, 1, 1, kScreen, kTopBar);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0], (Rect{0, 30, 512, 768}));
    EXPECT_EQ(s[1], (Rect{512, 30, 1024, 768}));
}

TEST(Tiling, OneByOneTopTaskbarFourWindowsFillQuarters) {
    const auto cols = tileLayout(kTileColumnsFirst, 't', 4, 1, 1, kScreen, kTopBar);
    const std::vector<Rect> byColumns{
        {0, 30, 512, 399}, {0, 399, 512, 768}, {512, 30, 1024, 399}, {512, 399, 1024, 768}};
    EXPECT_EQ(cols, byColumns);
    const auto rows = tileLayout(kTileRowsFirst, 't', 4, 1, 1, kScreen, kTopBar);
    const std::vector<Rect> byRows{
        {0, 30, 512, 399}, {512, 30, 1024, 399}, {0, 399, 512, 768}, {512, 399, 1024, 768}};
    EXPECT_EQ(rows, byRows);
}

TEST(Tiling, TwoByTwoBottomTaskbarThreeWindowsOnePerScreen) {
    const std::vector<Rect> rowsFirst{
        {0, 768, 1024, 1506}, {1024, 768, 2048, 1506}, {0, 0, 1024, 738}};
    EXPECT_EQ(tileLayout(kTileRowsFirst, 'b', 3, 2, 2, kScreen, kBottomBar), rowsFirst);
    const std::vector<Rect> columnsFirst{
        {0, 768, 1024, 1506}, {0, 0, 1024, 738}, {1024, 768, 2048, 1506}};
    EXPECT_EQ(tileLayout(kTileColumnsFirst, 'b', 3, 2, 2, kScreen, kBottomBar), columnsFirst);
    // Taskbar on the right: from the top-right screen, leftwards.
    const std::vector<Rect> fromRight{
        {1024, 0, 1988, 768}, {0, 0, 964, 768}, {1024, 768, 1988, 1536}};
    EXPECT_EQ(tileLayout(kTileRowsFirst, 'r', 3, 2, 2, kScreen, kRightBar), fromRight);
}

TEST(Tiling, BottomAndRightTaskbarsKeepCellsOnTheWorkArea) {
    // Two windows on 1 × 1 with the taskbar at the bottom: the lower half first, both
    // inside the work area.
    const std::vector<Rect> twoUp{{0, 369, 1024, 738}, {0, 0, 1024, 369}};
    EXPECT_EQ(tileLayout(kTileColumnsFirst, 'b', 2, 1, 1, kScreen, kBottomBar), twoUp);
    // Four on 1 × 1, taskbar at the right: from the top-right quarter, leftwards.
    const std::vector<Rect> fromRight{
        {482, 0, 964, 384}, {0, 0, 482, 384}, {482, 384, 964, 768}, {0, 384, 482, 768}};
    EXPECT_EQ(tileLayout(kTileRowsFirst, 'r', 4, 1, 1, kScreen, kRightBar), fromRight);
    // Three windows on one real screen: three of the 2 × 2 quarters.
    const std::vector<Rect> three{{0, 369, 512, 738}, {0, 0, 512, 369}, {512, 369, 1024, 738}};
    EXPECT_EQ(tileLayout(kTileColumnsFirst, 'b', 3, 1, 1, kScreen, kBottomBar), three);
}

TEST(Tiling, NoTaskbarOrNoWindowsPlacesNothing) {
    for (char side : {'\0', 'x', 'B'})
        EXPECT_TRUE(tileLayout(kTileColumnsFirst, side, 3, 2, 2, kScreen, kBottomBar).empty());
    EXPECT_TRUE(tileLayout(kTileColumnsFirst, 'b', 0, 2, 2, kScreen, kBottomBar).empty());
}

TEST(Tiling, GridShareFillsTheGridExactly) {
    struct Case {
        int n, k, full;
    } cases[] = {{2, 1, 0}, {3, 2, 3},  {4, 2, 4},   {5, 2, 3},   {8, 2, 0},
                 {9, 3, 9}, {15, 3, 3}, {16, 4, 16}, {26, 5, 24}, {40, 6, 32}};
    for (const auto& c : cases) {
        const GridShare g = gridShare(c.n);
        EXPECT_EQ(g.k, c.k) << c.n;
        EXPECT_EQ(g.full, c.full) << c.n;
    }
}

struct Desk {
    char side;
    Size screen;
    Rect workArea;
};

bool overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The windows go cell by cell in scan order from the taskbar-side corner: each window's
// centre, measured from that corner in cell pitches, gives its walk position; positions
// never go back or skip, a cell holds one whole window or two halves, and the halves come
// last. With more windows than real screens the k × k grid is filled to its last cell.
void checkScanOrder(const std::vector<Rect>& r, int mode, char side, int n, int columns, int rows,
                    Size screen, const Rect& span) {
    const int dirX = side == 'r' ? -1 : 1;
    const int dirY = side == 'b' ? -1 : 1;
    const bool perScreen = n <= columns * rows;
    const int k = gridShare(n).k;
    const int kx = perScreen ? columns : k, ky = perScreen ? rows : k;
    const int pitchX = perScreen ? screen.w : (span.right - span.left) / k;
    const int pitchY = perScreen ? screen.h : (span.bottom - span.top) / k;
    // A whole cell: a real screen's work area, or a grid cell.
    const int sizeX = perScreen ? span.right - span.left - (columns - 1) * screen.w : pitchX;
    const int sizeY = perScreen ? span.bottom - span.top - (rows - 1) * screen.h : pitchY;

    ASSERT_EQ(dirX > 0 ? r[0].left : r[0].right, dirX > 0 ? span.left : span.right);
    ASSERT_EQ(dirY > 0 ? r[0].top : r[0].bottom, dirY > 0 ? span.top : span.bottom);

    int previous = -1, used = 0;
    bool halves = false;
    for (size_t i = 0; i < r.size(); ++i) {
        const int cx = (r[i].left + r[i].right) / 2, cy = (r[i].top + r[i].bottom) / 2;
        const int a = (dirX > 0 ? cx - span.left : span.right - cx) / pitchX;
        const int b = (dirY > 0 ? cy - span.top : span.bottom - cy) / pitchY;
        ASSERT_LT(a, kx) << i;
        ASSERT_LT(b, ky) << i;
        const int index = mode == kTileColumnsFirst ? a * ky + b : b * kx + a;
        const bool whole = r[i].right - r[i].left == sizeX && r[i].bottom - r[i].top == sizeY;
        if (perScreen) {
            ASSERT_TRUE(whole) << i;
        }
        if (!whole) {
            ASSERT_TRUE(r[i].right - r[i].left == sizeX / 2 || r[i].bottom - r[i].top == sizeY / 2)
                << i;
            halves = true;
        }
        ASSERT_FALSE(whole && halves) << "whole cell after a half: " << i;
        if (index == previous) {
            ASSERT_FALSE(whole) << i;
            ASSERT_LT(++used, 3) << i;
        } else {
            ASSERT_EQ(index, previous + 1) << i;
            previous = index;
            used = 1;
        }
    }
    if (!perScreen && n != 3) {
        ASSERT_EQ(previous, k * k - 1);
    }
}

TEST(Tiling, InvariantsOverEveryGridSizeAndWindowCount) {
    const Desk desks[] = {
        {'b', kScreen, kBottomBar},
        {'t', kScreen, kTopBar},
        {'l', kScreen, kLeftBar},
        {'r', kScreen, kRightBar},
        // Odd sizes, so that cells and halves do not divide evenly.
        {'b', {1023, 767}, {0, 0, 1023, 736}},
        {'r', {1023, 767}, {0, 0, 990, 767}},
    };
    for (const Desk& s : desks) {
        const Rect& wa = s.workArea;
        for (int columns = 1; columns <= 5; ++columns) {
            for (int rows = 1; rows <= 5; ++rows) {
                // The work areas' span: from the first real screen's work-area corner to the
                // last one's; inside the virtual area in any case.
                const Rect span{wa.left, wa.top, (columns - 1) * s.screen.w + wa.right,
                                (rows - 1) * s.screen.h + wa.bottom};
                for (int mode : {kTileRowsFirst, kTileColumnsFirst}) {
                    for (int n = 1; n <= 40; ++n) {
                        SCOPED_TRACE(std::string("side ") + s.side + " " + std::to_string(columns) +
                                     "x" + std::to_string(rows) + " mode " + std::to_string(mode) +
                                     " n " + std::to_string(n) + " screen " +
                                     std::to_string(s.screen.w));
                        const auto r = tileLayout(mode, s.side, n, columns, rows, s.screen, wa);
                        ASSERT_EQ(r.size(), static_cast<size_t>(n));
                        for (size_t i = 0; i < r.size(); ++i) {
                            ASSERT_LT(r[i].left, r[i].right) << i;
                            ASSERT_LT(r[i].top, r[i].bottom) << i;
                            ASSERT_GE(r[i].left, span.left) << i;
                            ASSERT_GE(r[i].top, span.top) << i;
                            ASSERT_LE(r[i].right, span.right) << i;
                            ASSERT_LE(r[i].bottom, span.bottom) << i;
                            ASSERT_LE(r[i].right, columns * s.screen.w) << i;
                            ASSERT_LE(r[i].bottom, rows * s.screen.h) << i;
                            for (size_t j = 0; j < i; ++j)
                                ASSERT_FALSE(overlaps(r[i], r[j])) << i << " overlaps " << j;
                        }
                        checkScanOrder(r, mode, s.side, n, columns, rows, s.screen, span);
                    }
                }
            }
        }
    }
}

TEST(Tiling, OwnedWindowsFollowTheRealOrTheRequestedMove) {
    const Rect before{100, 100, 500, 400};
    // The move landed: what really happened counts, adjustments included.
    EXPECT_EQ(ownerDisplacement(before, {300, 50, 700, 350}, {300, 40}), (Point{200, -50}));
    // Not landed yet (asynchronous): the requested move.
    EXPECT_EQ(ownerDisplacement(before, before, {-924, 100}), (Point{-1024, 0}));
    // Only the corner matters; a size change in place is no move.
    EXPECT_EQ(ownerDisplacement(before, {100, 100, 900, 900}, {100, 100}), (Point{0, 0}));
    EXPECT_EQ(ownerDisplacement(before, {100, 100, 900, 900}, {0, 30}), (Point{-100, -70}));
}

} // namespace
