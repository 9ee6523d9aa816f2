// Placement of the delay indicator around the pointer and the geometry of its two bands.
#include "overlay/indicator_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(IndicatorPlacement, TableOfPointersAndScreens) {
    const Size screen{1024, 768};
    const struct {
        Point pointer;
        Size screen;
        Point topLeft;
    } cases[] = {
        {{0, 384}, screen, {50, 333}},     // left edge, mid-height: centred vertically
        {{1023, 384}, screen, {863, 333}}, // right edge: 59 pixels of margin
        {{0, 0}, screen, {50, 50}},        // top-left corner
        {{1023, 767}, screen, {863, 607}}, // bottom-right corner
        {{1023, 0}, screen, {863, 50}},
        {{512, 0}, screen, {461, 50}},    // top edge
        {{512, 767}, screen, {461, 607}}, // bottom edge
        {{512, 384}, screen, {461, 333}}, // inside: centred on the pointer
        {{10, 300}, screen, {50, 249}},   // near an edge: kept at the margin
        {{1020, 760}, screen, {863, 607}},
        {{1022, 766}, screen, {863, 607}}, // one pixel short of the edge still clamps
        {{101, 101}, screen, {50, 50}},    // exactly at the near margin
        {{-300, 2000}, screen, {50, 607}}, // outside the primary screen
        // Too small for both margins: the far one wins.
        {{0, 0}, {150, 100}, {-11, -61}},
        {{75, 50}, {150, 100}, {-11, -61}},
        {{149, 99}, {150, 100}, {-11, -61}},
        {{0, 0}, {211, 211}, {50, 50}}, // just wide enough for both
        {{210, 210}, {211, 211}, {50, 50}},
    };
    for (const auto& c : cases) {
        const Rect r = indicatorPlacement(c.pointer, c.screen, 96);
        EXPECT_EQ(r, (Rect{c.topLeft.x, c.topLeft.y, c.topLeft.x + 102, c.topLeft.y + 102}))
            << "pointer " << c.pointer.x << "," << c.pointer.y << " on " << c.screen.w << "x"
            << c.screen.h;
    }
    // At 144 DPI: a 150 × 150 client in its border, 75 pixels from the near edges and 89
    // from the far ones.
    EXPECT_EQ(indicatorPlacement({0, 0}, screen, 144), (Rect{75, 75, 227, 227}));
    EXPECT_EQ(indicatorPlacement({1023, 767}, screen, 144), (Rect{783, 527, 935, 679}));
    EXPECT_EQ(indicatorPlacement({512, 384}, screen, 144), (Rect{436, 308, 588, 460}));
    EXPECT_EQ(indicatorClientSide(144), 150);
}

TEST(IndicatorBands, FromTheSumsAndTheThreshold) {
    const struct {
        double sumX, sumY;
        int threshold;
        Rect bandX;
        int edgeX;
        Rect bandY;
        int edgeY;
    } cases[] = {
        // Pushing right fills from the right; no push on y leaves that band empty and
        // its line just below the client area.
        {20.7, 0.0, 40, {50, 0, 100, 100}, 50, {0, 100, 100, 100}, 100},
        // Pushing left fills from the left: -13 × 100 / 40 truncates to -32.
        {-13.9, 0.0, 40, {0, 0, 32, 100}, 32, {0, 100, 100, 100}, 100},
        {0.0, -25.0, 50, {100, 0, 100, 100}, 100, {0, 0, 100, 50}, 50},    // up: from the top
        {0.0, 10.0, 50, {100, 0, 100, 100}, 100, {0, 80, 100, 100}, 80},   // down
        {-0.9, 0.9, 40, {100, 0, 100, 100}, 100, {0, 100, 100, 100}, 100}, // under one pixel
        {40.0, -40.0, 40, {0, 0, 100, 100}, 0, {0, 0, 100, 100}, 100},     // full bands
        // Sums far past the threshold draw a full band with its line outside.
        {1e30, -1e30, 10, {-100, 0, 100, 100}, -100, {0, 0, 100, 200}, 200},
    };
    for (const auto& c : cases) {
        const IndicatorBands b = indicatorBands(c.sumX, c.sumY, c.threshold);
        EXPECT_EQ(b, (IndicatorBands{true, c.bandX, c.edgeX, c.bandY, c.edgeY}))
            << c.sumX << "," << c.sumY << " of " << c.threshold;
    }
}

TEST(IndicatorBands, NothingIsDrawnWithoutAThreshold) {
    EXPECT_FALSE(indicatorBands(20.0, -20.0, 0).draw);
    EXPECT_FALSE(indicatorBands(20.0, -20.0, -10).draw);
}

} // namespace
