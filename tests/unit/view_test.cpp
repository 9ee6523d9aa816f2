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

} // namespace
