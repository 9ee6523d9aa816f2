// New-window placement: free areas, the room threshold, the scan orders and their ties.
#include "mainwnd/placement.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(MulDivRounded, RoundsHalvesAwayFromZeroLikeTheSystem) {
    struct Case {
        long long a, b, c;
        int expect;
    } cases[] = {
        {664999, 100, 1000000, 66},
        {665000, 100, 1000000, 67},
        {665001, 100, 1000000, 67},
        {-665000, 100, 1000000, -67},
        {665000, -100, 1000000, -67},
        {665000, 100, -1000000, -67},
        {7, 1, 2, 4},
        {0, 100, 5, 0},
        {5, 100, 0, -1},
        {1LL << 40, 1LL << 20, 1, -1}, // does not fit
    };
    for (const auto& c : cases)
        EXPECT_EQ(mulDivRounded(c.a, c.b, c.c), c.expect) << c.a << "*" << c.b << "/" << c.c;
}

// Pixel-by-pixel count, the obvious way, to hold the slab sweep against.
long long bruteUncovered(const Rect& region, const std::vector<Rect>& windows) {
    long long n = 0;
    for (int y = region.top; y < region.bottom; ++y)
        for (int x = region.left; x < region.right; ++x) {
            bool covered = false;
            for (const Rect& w : windows)
                covered = covered || (x >= w.left && x < w.right && y >= w.top && y < w.bottom);
            n += !covered;
        }
    return n;
}

TEST(UncoveredArea, HandPickedOverlaps) {
    const Rect region{0, 0, 100, 50};
    struct Case {
        std::vector<Rect> windows;
        long long expect;
    } cases[] = {
        {{}, 5000},
        {{{10, 10, 20, 20}}, 4900},
        {{{10, 10, 20, 20}, {10, 10, 20, 20}}, 4900},                  // the same window twice
        {{{10, 10, 30, 20}, {20, 15, 40, 30}}, 5000 - 200 - 300 + 50}, // overlapping pair
        {{{-50, -50, 10, 10}}, 4900},                                  // only partly inside
        {{{100, 0, 200, 50}, {0, 50, 100, 80}}, 5000},                 // touching from outside
        {{{-1, -1, 101, 51}}, 0},                                      // covers all
        {{{30, 30, 20, 40}, {5, 5, 5, 9}}, 5000},                      // empty rectangles
        {{{0, 0, 100, 10}, {0, 40, 100, 50}, {0, 0, 10, 50}, {90, 0, 100, 50}}, 80 * 30},
    };
    for (const auto& c : cases)
        EXPECT_EQ(uncoveredArea(region, c.windows), c.expect);
    EXPECT_EQ(uncoveredArea({10, 10, 10, 40}, {}), 0);
    EXPECT_EQ(uncoveredArea({10, 10, 5, 40}, {}), 0);
}

TEST(UncoveredArea, MatchesPixelCountOnRandomStacks) {
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<int> coord(-20, 80);
    for (int round = 0; round < 300; ++round) {
        const Rect region{coord(rng) / 4, coord(rng) / 4, 40 + coord(rng) / 2, 30 + coord(rng) / 2};
        std::vector<Rect> windows(static_cast<size_t>(round % 9));
        for (Rect& w : windows) {
            w.left = coord(rng), w.top = coord(rng);
            w.right = w.left + coord(rng) / 2, w.bottom = w.top + coord(rng) / 2;
        }
        ASSERT_EQ(uncoveredArea(region, windows), bruteUncovered(region, windows))
            << "round " << round;
    }
}

// A 2 × 2 area of 1001 × 1001 screens whose work area is 1000 × 1000: the free-area
// region of a screen is then 999 × 999 pixels, measured against 1 000 000.
ViewFacts square(Point view = {}) {
    return {{0, 0, 1000, 1000}, {1001, 1001}, view, 2, 2};
}

TEST(NewWindowPlacement, CurrentScreenRoundedTo66MovesAnd67StaysPut) {
    // Covered pixels of the current screen so that exactly `free` of the 999 × 999 stay.
    auto crowd = [](long long free) {
        long long covered = 999LL * 999 - free;
        const int fullRows = static_cast<int>(covered / 999);
        const int rest = static_cast<int>(covered % 999);
        return std::vector<Rect>{{0, 0, 999, fullRows}, {0, fullRows, rest, fullRows + 1}};
    };
    struct Case {
        long long free;
        bool move;
    } cases[] = {{660000, true},  {664999, true}, {665000, false},
                 {670000, false}, {0, true},      {998001, false}};
    for (const auto& c : cases) {
        const auto windows = crowd(c.free);
        ASSERT_EQ(uncoveredArea(currentFreeRegion(square()), windows), c.free);
        EXPECT_EQ(placeNewWindow(square(), u'7', 0, windows).move, c.move) << c.free;
    }
}

TEST(NewWindowPlacement, ScanOrdersPerStartPosition) {
    auto text = [](char16_t start) {
        std::string s;
        for (Point p : scanOrder(start, 3, 2))
            s += std::to_string(p.x) + std::to_string(p.y) + " ";
        return s;
    };
    EXPECT_EQ(text(u'1'), "01 00 11 10 21 20 ");
    EXPECT_EQ(text(u'b'), "01 00 11 10 21 20 ");
    EXPECT_EQ(text(u'3'), "21 20 11 10 01 00 ");
    EXPECT_EQ(text(u'9'), "20 21 10 11 00 01 ");
    EXPECT_EQ(text(u'r'), "20 21 10 11 00 01 ");
    for (char16_t other : {u'7', u'l', u't', u'5', u'\0', u'x'})
        EXPECT_EQ(text(other), "00 01 10 11 20 21 ") << int(other);
}

TEST(NewWindowPlacement, TargetCellTiesThresholdAndDefaults) {
    // Percentages by index col + row × 3 on a 3 × 2 area.
    struct Case {
        char16_t start;
        std::vector<int> percent;
        Point expect;
    } cases[] = {
        // Nothing above 0: the default corner of each scan.
        {u'7', {0, 0, 0, 0, 0, 0}, {0, 0}},
        {u'1', {0, 0, 0, 0, 0, 0}, {0, 1}},
        {u'3', {0, 0, 0, 0, 0, 0}, {2, 1}},
        {u'9', {0, 0, 0, 0, 0, 0}, {2, 0}},
        {u'5', {0, 0, 0, 0, 0, 0}, {0, 0}},
        // Unreadable regions (-1) never replace the default either.
        {u'9', {-1, -1, -1, -1, -1, -1}, {2, 0}},
        // The highest wins; a tie keeps the cell scanned first.
        {u'7', {10, 40, 40, 20, 40, 5}, {1, 0}},
        {u'3', {10, 40, 40, 20, 40, 5}, {2, 0}},
        {u'9', {10, 40, 40, 20, 40, 5}, {2, 0}},
        {u'1', {10, 40, 40, 20, 40, 5}, {1, 1}},
        // The first cell at 95 or more ends the scan even if a later one is emptier.
        {u'7', {50, 95, 100, 20, 99, 5}, {1, 0}},
        {u'7', {50, 94, 100, 20, 90, 5}, {2, 0}},
        {u'1', {100, 10, 10, 96, 10, 10}, {0, 1}},
        // '5' takes the centre cell (1, 0) at 95 or more without scanning.
        {u'5', {100, 95, 100, 100, 100, 100}, {1, 0}},
        {u'5', {100, 94, 100, 100, 100, 100}, {0, 0}},
        {u'5', {10, 94, 10, 10, 10, 10}, {1, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseTargetCell(c.start, 3, 2, c.percent), c.expect) << char(c.start);
    // The centre of a 5 × 5 area is (2, 2), of a 4 × 4 area (1, 1).
    std::vector<int> p(25, 10);
    p[2 + 2 * 5] = 95;
    EXPECT_EQ(chooseTargetCell(u'5', 5, 5, p), (Point{2, 2}));
    std::vector<int> q(16, 10);
    q[1 + 1 * 4] = 95;
    EXPECT_EQ(chooseTargetCell(u'5', 4, 4, q), (Point{1, 1}));
}

TEST(NewWindowPlacement, StepsToTheEmptiestScreenMeasuredInCurrentCoordinates) {
    // View at the top-left screen of 2 × 2; the current screen is full.
    const Rect fullHere{0, 0, 1000, 1000};
    // Screen (1, 0) lies at x = 1001 .. 2000 in current coordinates; half of it covered.
    const Rect halfRight{1001, 0, 1501, 1000};
    // Screen (0, 1) lies at y = 1001 ..; a tenth covered.
    const Rect tenthBelow{0, 1001, 1000, 1101};
    const std::vector<Rect> others{fullHere, halfRight, tenthBelow};
    NewWindowStep s = placeNewWindow(square(), u'7', 0, others);
    ASSERT_TRUE(s.move);
    EXPECT_EQ(s.step, (Point{1001, 1001})); // (1, 1) is the only empty one
    // With (1, 1) also full, screen (0, 1) at 90 % beats (1, 0) at 50 %.
    const std::vector<Rect> more{fullHere, halfRight, tenthBelow, {1001, 1001, 2001, 2001}};
    EXPECT_EQ(placeNewWindow(square(), u'7', 0, more).step, (Point{0, 1001}));

    // Seen from the bottom-right screen, the same layout shifts by the view origin.
    auto shifted = more;
    for (Rect& r : shifted)
        r = {r.left - 1001, r.top - 1001, r.right - 1001, r.bottom - 1001};
    EXPECT_EQ(placeNewWindow(square({1001, 1001}), u'7', 0, shifted).step, (Point{-1001, 0}));
    shifted.pop_back(); // the current screen empty again: room enough here
    EXPECT_FALSE(placeNewWindow(square({1001, 1001}), u'7', 0, shifted).move);
}

TEST(NewWindowPlacement, AllOthersFullGoesToTheStartCornerOrStays) {
    std::vector<Rect> everything{{-5000, -5000, 5000, 5000}};
    // From the top-left screen with start 't' and the taskbar at the bottom: bottom-left.
    NewWindowStep s = placeNewWindow(square(), u't', 'b', everything);
    EXPECT_TRUE(s.move);
    EXPECT_EQ(s.step, (Point{0, 1001}));
    // Taskbar on the right: top-right. No taskbar: top-left, the current one: step 0.
    EXPECT_EQ(placeNewWindow(square(), u't', 'r', everything).step, (Point{1001, 0}));
    s = placeNewWindow(square(), u't', 0, everything);
    EXPECT_TRUE(s.move);
    EXPECT_EQ(s.step, (Point{0, 0}));
    // An unaligned view steps to the corner's exact origin.
    EXPECT_EQ(placeNewWindow(square({300, 40}), u'3', 0, everything).step, (Point{701, 961}));
}

TEST(NewWindowPlacement, NoWorkAreaMeansNoRoomAnywhere) {
    ViewFacts v = square();
    v.workArea = {};
    EXPECT_EQ(freePercent(currentFreeRegion(v), {}, {0, 0}), 0);
    const NewWindowStep s = placeNewWindow(v, u'9', 0, {});
    EXPECT_TRUE(s.move);
    EXPECT_EQ(s.step, (Point{1001, 0}));
}

TEST(NewWindowPlacement, ShiftFlipsTheSettingOnlyWhenAskedTo) {
    struct Case {
        bool toEmpty, shiftToggles, shift, act;
    } cases[] = {
        {true, false, false, true},   {true, false, true, true},   {false, false, true, false},
        {false, false, false, false}, {false, true, true, true},   {true, true, true, false},
        {true, true, false, true},    {false, true, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(actOnNewWindow(c.toEmpty, c.shiftToggles, c.shift), c.act)
            << c.toEmpty << c.shiftToggles << c.shift;
}

} // namespace
