// Scaling 96-DPI sizes and keeping windows reachable.
#include "core/dpi_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, RoundsToTheNearestPixelAndTreatsAnUnreadableDpiAs96) {
    const struct {
        int value, dpi, want;
    } rows[] = {
        {16, 96, 16},
        {16, 144, 24},
        {15, 144, 23}, // 22.5 rounds up
        {30, 120, 38}, // 37.5
        {1, 144, 2},
        {-1, 144, -2}, // halves away from zero
        {-30, 144, -45},
        {200, 192, 400},
        {7, 0, 7},
        {7, -5, 7},
        {2000000000, 192, 2147483647}, // saturates instead of wrapping
    };
    for (const auto& r : rows)
        EXPECT_EQ(scaleForDpi(r.value, r.dpi), r.want) << r.value << " at " << r.dpi;
    EXPECT_EQ(scaleForDpi(Size{300, 200}, 144), (Size{450, 300}));
}

TEST(DpiScale, KeepsAWindowInsideAndPinsALargerOneToTheTopLeft) {
    const Rect area{0, 0, 1024, 740};
    const struct {
        Point at;
        Size size;
        int margin;
        Point want;
    } rows[] = {
        {{100, 100}, {300, 200}, 0, {100, 100}}, // fits: unchanged
        {{900, 700}, {300, 200}, 0, {724, 540}}, // past the far corner
        {{-50, -9}, {300, 200}, 1, {1, 1}},      // past the near corner, with a margin
        {{900, 700}, {1100, 800}, 0, {0, 0}},    // larger: the near edges win
        {{-200, 300}, {1100, 100}, 1, {1, 300}}, // wider only
        {{20, 30}, {100, 100}, 0, {20, 30}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(keepInside(r.at, r.size, area, r.margin), r.want)
            << r.at.x << "," << r.at.y << " " << r.size.w << "x" << r.size.h;
    EXPECT_EQ(keepInside({0, 0}, {50, 50}, {100, 40, 300, 400}, 0), (Point{100, 40}));
}

} // namespace
