// The tray picture's layout, its change test and the figures drawn from it.
#include "tray/tray_glyph.h"

#include <gtest/gtest.h>

namespace {

constexpr Size kIcon{16, 16};
constexpr Size kScreen43{1024, 768};

GlyphLayout expected(int state, Size icon, Rect grid, Rect view) {
    // grid: left, top, right, bottom (inclusive); view: left, top, width, height
    GlyphLayout g;
    g.state = state;
    g.iconWidth = icon.w;
    g.iconHeight = icon.h;
    g.gridLeft = grid.left;
    g.gridTop = grid.top;
    g.gridRight = grid.right;
    g.gridBottom = grid.bottom;
    g.gridWidth = grid.right - grid.left + 1;
    g.gridHeight = grid.bottom - grid.top + 1;
    g.viewLeft = view.left;
    g.viewTop = view.top;
    g.viewWidth = view.right;
    g.viewHeight = view.bottom;
    return g;
}

TEST(TrayGlyphLayout, GridKeepsTheAreaProportionsAndCentres) {
    const struct Case {
        const char* what;
        Size icon, screen;
        int columns, rows;
        Point origin;
        GlyphLayout want;
    } cases[] = {
        // 1 x 1: the grid fills the icon's width and the current screen covers all of it.
        {"1x1 landscape",
         kIcon,
         kScreen43,
         1,
         1,
         {0, 0},
         expected(1, kIcon, {0, 2, 15, 13}, {0, 2, 16, 12})},
        {"1x1 portrait",
         kIcon,
         {768, 1024},
         1,
         1,
         {0, 0},
         expected(1, kIcon, {2, 0, 13, 15}, {2, 0, 12, 16})},
        // 5 x 1 on 4:3: a flat strip centred vertically; 768*16/5120 = 2.4 rounds to 2.
        {"5x1 strip first",
         kIcon,
         kScreen43,
         5,
         1,
         {0, 0},
         expected(1, kIcon, {0, 7, 15, 8}, {0, 7, 3, 2})},
        {"5x1 strip last",
         kIcon,
         kScreen43,
         5,
         1,
         {4096, 0},
         expected(1, kIcon, {0, 7, 15, 8}, {13, 7, 3, 2})},
        {"5x1 strip middle",
         kIcon,
         kScreen43,
         5,
         1,
         {2048, 0},
         expected(1, kIcon, {0, 7, 15, 8}, {6, 7, 3, 2})},
        // 2 x 2: four screens of 8 x 6.
        {"2x2 bottom right",
         kIcon,
         kScreen43,
         2,
         2,
         {1024, 768},
         expected(1, kIcon, {0, 2, 15, 13}, {8, 8, 8, 6})},
        // Taller than wide: the grid fills the height; 1024*16/1536 = 10.67 rounds to 11.
        {"1x2 column",
         kIcon,
         kScreen43,
         1,
         2,
         {0, 768},
         expected(1, kIcon, {2, 0, 12, 15}, {2, 8, 11, 8})},
        // An icon that is not square: equal proportions count as "fills the width".
        {"20x15 icon, 4:3 area",
         {20, 15},
         kScreen43,
         1,
         1,
         {0, 0},
         expected(1, {20, 15}, {0, 0, 19, 14}, {0, 0, 20, 15})},
        {"5x5 of huge screens",
         kIcon,
         {65535, 65535},
         5,
         5,
         {4 * 65535, 2 * 65535},
         expected(1, kIcon, {0, 0, 15, 15}, {13, 6, 3, 3})},
    };
    for (const Case& c : cases) {
        const GlyphLayout g = layoutGlyph(c.icon, c.screen, c.columns, c.rows, c.origin, 1);
        EXPECT_EQ(g, c.want) << c.what;
        // Invariants: the grid lies in the icon, centred, the view lies in the grid.
        EXPECT_GE(g.gridLeft, 0) << c.what;
        EXPECT_GE(g.gridTop, 0) << c.what;
        EXPECT_LT(g.gridRight, c.icon.w) << c.what;
        EXPECT_LT(g.gridBottom, c.icon.h) << c.what;
        EXPECT_LE(g.gridLeft - (c.icon.w - 1 - g.gridRight), 0) << c.what;
        EXPECT_GE(g.viewLeft, g.gridLeft) << c.what;
        EXPECT_LE(g.viewLeft + g.viewWidth - 1, g.gridRight) << c.what;
        EXPECT_LE(g.viewTop + g.viewHeight - 1, g.gridBottom) << c.what;
    }
}

TEST(TrayGlyphLayout, MovingWithinOneIconPixelChangesNothing) {
    // On a 2 x 2 area one icon pixel is 128 screen pixels; x = 1024 draws at column 8,
    // and so does every origin that rounds there: 960 (7.5 rounds up) to 1087.
    const GlyphLayout at = layoutGlyph(kIcon, kScreen43, 2, 2, {1024, 0}, 1);
    for (int x = 960; x <= 1087; ++x)
        EXPECT_EQ(layoutGlyph(kIcon, kScreen43, 2, 2, {x, 0}, 1), at) << "x " << x;
    EXPECT_NE(layoutGlyph(kIcon, kScreen43, 2, 2, {959, 0}, 1), at);
    EXPECT_NE(layoutGlyph(kIcon, kScreen43, 2, 2, {1088, 0}, 1), at);
    // Vertically one pixel is 128 screen pixels too (768 / 6).
    EXPECT_EQ(layoutGlyph(kIcon, kScreen43, 2, 2, {1024, 63}, 1), at);
    EXPECT_NE(layoutGlyph(kIcon, kScreen43, 2, 2, {1024, 64}, 1), at);
    // The state and the icon size are part of the picture.
    EXPECT_NE(layoutGlyph(kIcon, kScreen43, 2, 2, {1024, 0}, 0), at);
    EXPECT_NE(layoutGlyph({32, 32}, kScreen43, 2, 2, {1024, 0}, 1), at);
}

TEST(TrayGlyphLayout, DegenerateSizesGiveAnEmptyGridWithoutDividingByZero) {
    const Size icons[] = {{0, 16}, {16, 0}, kIcon};
    const Size screens[] = {{0, 768}, {1024, 0}, {-5, 768}};
    for (Size icon : icons)
        for (Size screen : screens) {
            const GlyphLayout g = layoutGlyph(icon, screen, 2, 2, {100, 100}, 1);
            EXPECT_EQ(g.gridWidth, 0);
            EXPECT_EQ(g.gridHeight, 0);
            EXPECT_EQ(g.viewWidth, 0);
            EXPECT_EQ(g.iconWidth, icon.w);
        }
    const GlyphLayout g = layoutGlyph(kIcon, kScreen43, 0, 2, {0, 0}, 0);
    EXPECT_EQ(g.gridWidth, 0);
}

TEST(TrayGlyphOffMark, BracketsAThirdOfEachSideAndBothDiagonals) {
    const GlyphLayout g = layoutGlyph(kIcon, kScreen43, 2, 2, {0, 0}, 0);
    ASSERT_EQ(g.gridLeft, 0);
    ASSERT_EQ(g.gridTop, 2);
    // L 0, T 2, R 15, B 13, w 16, h 12: w/3 = 5, 2w/3 = 10, h/3 = 4, 2h/3 = 8.
    const std::array<GlyphStroke, 6> want = {{
        {2, {{{0, 2}, {6, 2}}}},
        {3, {{{10, 2}, {15, 2}, {15, 7}}}},
        {3, {{{15, 10}, {15, 13}, {9, 13}}}},
        {3, {{{5, 13}, {0, 13}, {0, 9}}}},
        {3, {{{0, 6}, {0, 2}, {15, 13}}}},
        {2, {{{15, 2}, {0, 13}}}},
    }};
    EXPECT_EQ(offMarkLines(g), want);
}

TEST(TrayGlyphOffMark, FollowsTheGridOfAStrip) {
    const GlyphLayout g = layoutGlyph(kIcon, kScreen43, 5, 1, {0, 0}, 0);
    const auto lines = offMarkLines(g);
    // Every point stays on the grid's outline or inside it.
    for (const GlyphStroke& p : lines)
        for (int i = 0; i < p.count; ++i) {
            EXPECT_GE(p.points[i].x, g.gridLeft);
            EXPECT_LE(p.points[i].x, g.gridRight + 1);
            EXPECT_GE(p.points[i].y, g.gridTop);
            EXPECT_LE(p.points[i].y, g.gridBottom + 1);
        }
    // The diagonals run corner to corner.
    EXPECT_EQ(lines[5].points[0], (Point{g.gridRight, g.gridTop}));
    EXPECT_EQ(lines[5].points[1], (Point{g.gridLeft, g.gridBottom}));
    EXPECT_EQ(lines[4].points[2], (Point{g.gridRight, g.gridBottom}));
}

TEST(TrayGlyphFigures, OnFillsTheGridOffOnlyTheFramedScreen) {
    // 2 x 2, view at the top right: grid (0, 2)-(15, 13), view (8, 2) 8 x 6.
    GlyphLayout g = layoutGlyph(kIcon, kScreen43, 2, 2, {1024, 0}, 1);
    GlyphFigures on = glyphFigures(g);
    EXPECT_TRUE(on.movementOn);
    EXPECT_EQ(on.maskOpaque, (Rect{0, 2, 16, 14}));
    EXPECT_EQ(on.maskHoles[0], (Point{15, 2}));
    EXPECT_EQ(on.maskHoles[1], (Point{0, 13}));
    EXPECT_EQ(on.gridBox, (Rect{1, 3, 16, 14}));
    EXPECT_EQ(on.gridFrame, (Rect{0, 2, 15, 13}));
    EXPECT_EQ(on.picture, (Rect{8, 2, 16, 8}));
    const GlyphStroke grey{3, {{{7, 7}, {7, 1}, {16, 1}}}};
    const GlyphStroke black{3, {{{16, 2}, {16, 8}, {7, 8}}}};
    EXPECT_EQ(on.greyEdge, grey);
    EXPECT_EQ(on.blackEdge, black);

    g.state = 0;
    GlyphFigures off = glyphFigures(g);
    EXPECT_FALSE(off.movementOn);
    // The screen grown by its frame, with the frame's top-right and bottom-left cut.
    EXPECT_EQ(off.maskOpaque, (Rect{7, 1, 17, 9}));
    EXPECT_EQ(off.maskHoles[0], (Point{16, 1}));
    EXPECT_EQ(off.maskHoles[1], (Point{7, 8}));
    EXPECT_EQ(off.greyEdge, grey);
    EXPECT_EQ(off.blackEdge, black);
    EXPECT_EQ(off.picture, on.picture);
}

} // namespace
