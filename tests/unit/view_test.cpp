// Start position of the view and the taskbar side.
#include "core/view.h"

#include <gtest/gtest.h>

namespace {

TEST(InitialViewOrigin, TableOfPositions) {
    const Size s{1024, 768};
    struct Case {
        char16_t pos;
        int cols, rows;
        char side;
        Point expect;
    } cases[] = {
        {u'5', 2, 2, 0, {512, 384}},   {u'5', 3, 1, 0, {1024, 0}},  {u'1', 3, 3, 0, {0, 1536}},
        {u'b', 3, 3, 0, {0, 1536}},    {u'3', 3, 3, 0, {2048, 1536}}, {u'7', 3, 3, 0, {0, 0}},
        {u'l', 3, 3, 0, {0, 0}},       {u'9', 3, 3, 0, {2048, 0}},  {u'r', 3, 3, 0, {2048, 0}},
        {0, 3, 3, 0, {1024, 768}},     {u'?', 2, 3, 0, {512, 768}},
        // 't' takes the taskbar's side; no taskbar means centre.
        {u't', 2, 2, 'b', {0, 768}},   {u't', 2, 2, 'l', {0, 0}},   {u't', 2, 2, 't', {0, 0}},
        {u't', 2, 2, 'r', {1024, 0}},  {u't', 2, 2, 0, {512, 384}},
        // Centre halves truncate: an odd screen size on an even number of steps.
        {u'5', 2, 2, 0, {512, 384}},   {u'5', 4, 4, 0, {1536, 1152}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(initialViewOrigin(c.pos, c.cols, c.rows, s, c.side), c.expect)
            << "position " << int(c.pos) << " side " << c.side << " " << c.cols << "x" << c.rows;
    }
    EXPECT_EQ(initialViewOrigin(u'5', 2, 2, Size{1023, 767}, 0), (Point{511, 383}));
}

TEST(InitialViewOrigin, OneByOneAlwaysStartsAtZero) {
    for (char16_t pos : {u'1', u'3', u'5', u'7', u'9', u't', u'b', u'l', u'r', u'\0'})
        for (char side : {'l', 't', 'r', 'b', '\0'})
            EXPECT_EQ(initialViewOrigin(pos, 1, 1, Size{1024, 768}, side), (Point{0, 0}));
}

TEST(TaskbarSide, FromRectangle) {
    EXPECT_EQ(taskbarSideFromRect({0, 748, 1024, 768}), 'b');
    EXPECT_EQ(taskbarSideFromRect({0, 0, 1024, 30}), 't');
    EXPECT_EQ(taskbarSideFromRect({0, 0, 60, 768}), 'l');
    EXPECT_EQ(taskbarSideFromRect({964, 0, 1024, 768}), 'r');
    // A square bar in the corner is neither tall nor wide: it counts as right.
    EXPECT_EQ(taskbarSideFromRect({0, 0, 40, 40}), 'r');
    // Only a bar anchored exactly at the top-left corner can read as left or top.
    EXPECT_EQ(taskbarSideFromRect({-2, 0, 60, 768}), 'b');
    EXPECT_EQ(taskbarSideFromRect({0, -28, 1024, 2}), 'r');
    // A bar that is not placed yet reports an empty rectangle: no side, so the centre.
    EXPECT_EQ(taskbarSideFromRect({0, 0, 0, 0}), 0);
    EXPECT_EQ(taskbarSideFromRect({0, 748, 1024, 748}), 0);
}

// A 3 x 2 area of 1024 x 768 screens; windows of 200 x 150 unless the row says otherwise.
TEST(StrandedWindowPlace, TableOfWindowsAroundTheArea) {
    const Size s{1024, 768};
    struct Case {
        const char* why;
        Rect window;
        Point origin;
        std::optional<Point> expect;
        int cols = 3, rows = 2;
    } cases[] = {
        {"inside the area", {300, 100, 500, 250}, {0, 0}, std::nullopt},
        {"inside, off the physical screen", {-1948, 100, -1748, 250}, {2048, 0}, std::nullopt},
        {"one pixel of it inside", {-199, 100, 1, 250}, {0, 0}, std::nullopt},
        {"no area of its own", {-3000, 100, -3000, 250}, {0, 0}, std::nullopt},
        // A view origin lost by two screens: the window lands where it stood in its screen.
        {"left of the area", {-1948, 100, -1748, 250}, {0, 0}, Point{100, 100}},
        {"touching the area's left border", {-200, 100, 0, 250}, {0, 0}, Point{824, 100}},
        {"right of the area", {3172, 100, 3372, 250}, {0, 0}, Point{2148, 100}},
        {"below the area", {100, 1600, 300, 1750}, {0, 0}, Point{100, 832}},
        {"above and left: a corner screen", {-500, -400, -300, -250}, {0, 0}, Point{524, 368}},
        {"its place in the screen would cross the screen's edge", {-1100, 100, -800, 250}, {0, 0},
         Point{724, 100}},
        {"wider than a screen", {-3000, 100, -1800, 250}, {0, 0}, Point{0, 100}},
        // Outside across, between two rows down: it goes wholly into the row of its middle.
        {"between two rows", {-500, 700, -300, 850}, {0, 0}, Point{524, 768}},
        {"area shifted by the origin", {2100, 100, 2300, 250}, {1024, 768}, Point{1076, 100}},
        {"minimized far away, on a one-screen area", {-32000, -32000, -31840, -31972}, {0, 0},
         Point{768, 256}, 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(strandedWindowPlace(c.window, c.origin, c.cols, c.rows, s), c.expect) << c.why;
    // Wherever it lands, a window that fits a screen lies wholly in one.
    for (int x = -5000; x <= 5000; x += 377)
        for (int y = -4000; y <= 4000; y += 411) {
            const auto to = strandedWindowPlace({x, y, x + 200, y + 150}, {0, 0}, 3, 2, s);
            if (!to) continue;
            EXPECT_EQ(to->x / 1024, (to->x + 199) / 1024) << x << "," << y;
            EXPECT_EQ(to->y / 768, (to->y + 149) / 768) << x << "," << y;
            EXPECT_TRUE(to->x >= 0 && to->x + 200 <= 3072 && to->y >= 0 && to->y + 150 <= 1536);
        }
}

} // namespace
