// Edge movement arithmetic: flags, acceleration, border block, direction filter, pointer
// shapes, clamping, continuation and whole-screen steps.
#include "core/edge_core.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const Size kScreen{1024, 768};

TEST(EdgeFlags, OnlyTheOuterPixelsCount) {
    EXPECT_EQ(edgeFlagsAt({0, 300}, kScreen), EDGE_LEFT);
    EXPECT_EQ(edgeFlagsAt({1, 300}, kScreen), 0);
    EXPECT_EQ(edgeFlagsAt({1023, 300}, kScreen), EDGE_RIGHT);
    EXPECT_EQ(edgeFlagsAt({1022, 300}, kScreen), 0);
    EXPECT_EQ(edgeFlagsAt({500, 0}, kScreen), EDGE_TOP);
    EXPECT_EQ(edgeFlagsAt({500, 767}, kScreen), EDGE_BOTTOM);
    EXPECT_EQ(edgeFlagsAt({0, 0}, kScreen), EDGE_LEFT | EDGE_TOP);
    EXPECT_EQ(edgeFlagsAt({1023, 767}, kScreen), EDGE_RIGHT | EDGE_BOTTOM);
    EXPECT_EQ(edgeFlagsAt({-5, 900}, kScreen), 0); // off-screen positions are no edge
}

TEST(EdgeFlags, AnEdgeWithAMonitorBeyondItNeverPushes) {
    const Rect monitors[] = {
        {0, 0, 1024, 768},       // this screen
        {1024, -100, 2304, 924}, // a taller one to the right
        {200, -600, 1000, 0},    // a narrower one above, over x 200 to 999
        {-800, -600, 0, 0},      // one that touches only the top-left corner
    };
    struct Case {
        Point p;
        int held;
    } cases[] = {
        {{1023, 300}, 0},               // moving right crosses over
        {{0, 300}, EDGE_LEFT},          // nothing to the left
        {{500, 0}, 0},                  // under the monitor above
        {{999, 0}, 0},                  // its last column
        {{1000, 0}, EDGE_TOP},          // beside it
        {{0, 0}, EDGE_LEFT | EDGE_TOP}, // a corner neighbour is beyond neither edge
        {{1023, 767}, EDGE_BOTTOM},     // the right one reaches past this row
        {{500, 767}, EDGE_BOTTOM},
    };
    for (const auto& c : cases)
        EXPECT_EQ(edgesWithoutMonitorBeyond(edgeFlagsAt(c.p, kScreen), c.p, monitors), c.held)
            << c.p.x << "," << c.p.y;
    // This screen alone: every edge holds the pointer.
    EXPECT_EQ(
        edgesWithoutMonitorBeyond(EDGE_RIGHT | EDGE_BOTTOM, {1023, 767}, std::span(monitors, 1)),
        EDGE_RIGHT | EDGE_BOTTOM);
}

TEST(Accelerate, ExponentGrowsWithTheSetting) {
    struct Case {
        int d, acceleration, step;
    } cases[] = {
        {0, 10, 0},     {-7, 0, -7},    {7, 0, 7},        {3, 10, 9},     {-10, 10, -100},
        {1, 10, 1},     {-1, 5, -1},    {2, 5, 3},        // 2^1.5 = 2.83 → 3
        {10, 5, 32},    // 10^1.5 = 31.6 → 32
        {4, 1, 5},      // 4^1.1 = 4.59 → 5
        {100, 3, 398},  // 100^1.3 = 398.1
    };
    for (const auto& c : cases)
        EXPECT_EQ(accelerate(c.d, c.acceleration), c.step) << c.d << " at " << c.acceleration;
}

TEST(Accelerate, SaturatesInsteadOfWrapping) {
    EXPECT_EQ(accelerate(INT_MAX, 10), INT_MAX);
    EXPECT_EQ(accelerate(INT_MIN, 10), -INT_MAX);
    EXPECT_EQ(accelerate(100000, 10), INT_MAX);
    EXPECT_EQ(accelerate(-100000, 10), -INT_MAX);
    EXPECT_EQ(accelerate(INT_MIN, 0), -INT_MAX); // |INT_MIN| does not fit either
}

TEST(BorderBlock, DropsMotionPastTheBorderOnly) {
    const Point m{1024, 768};
    EXPECT_EQ(borderBlock({-5, -5}, {0, 0}, m), (Point{0, 0}));
    EXPECT_EQ(borderBlock({5, 5}, {0, 0}, m), (Point{5, 5}));
    EXPECT_EQ(borderBlock({5, 5}, {1024, 768}, m), (Point{0, 0}));
    EXPECT_EQ(borderBlock({-5, 5}, {1024, 300}, m), (Point{-5, 5}));
    EXPECT_EQ(borderBlock({-5, -5}, {3, 3}, m), (Point{-5, -5})); // not yet at the border
}

TEST(DirectionFilter, KeepsOnlyMotionTowardTouchedEdges) {
    struct Case {
        Point step;
        int flags;
        bool reverse;
        Point out;
    } cases[] = {
        {{-7, 0}, EDGE_LEFT, false, {-7, 0}},
        {{7, 0}, EDGE_LEFT, false, {0, 0}}, // pushing away from the edge
        {{-7, -3}, EDGE_LEFT, false, {-7, 0}},
        {{-7, -3}, EDGE_LEFT | EDGE_TOP, false, {-7, -3}},
        {{5, 4}, EDGE_RIGHT | EDGE_BOTTOM, false, {5, 4}},
        {{5, 4}, 0, false, {0, 0}},
        // Reversed: the motion was negated already, so the pairs swap.
        {{7, 0}, EDGE_LEFT, true, {7, 0}},
        {{-7, 0}, EDGE_LEFT, true, {0, 0}},
        {{-7, 0}, EDGE_RIGHT, true, {-7, 0}},
        {{0, -4}, EDGE_BOTTOM, true, {0, -4}},
        {{0, 4}, EDGE_TOP, true, {0, 4}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(directionFilter(c.step, c.flags, c.reverse), c.out)
            << c.step.x << "," << c.step.y << " flags " << c.flags << " rev " << c.reverse;
}

TEST(EdgeShape, ArrowOnlyWhereTheViewCanMove) {
    const Point m{1024, 768};
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT, true, false, {10, 0}, m), EdgeShape::Left);
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT, true, false, {0, 0}, m), EdgeShape::Normal);
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT, false, false, {10, 0}, m), EdgeShape::Normal);
    EXPECT_EQ(chooseEdgeShape(EDGE_RIGHT, true, false, {1024, 0}, m), EdgeShape::Normal);
    EXPECT_EQ(chooseEdgeShape(EDGE_BOTTOM, true, false, {0, 0}, m), EdgeShape::Down);
    // Corner: left wins over top when both could move.
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT | EDGE_TOP, true, false, {5, 5}, m), EdgeShape::Left);
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT | EDGE_TOP, true, false, {0, 5}, m), EdgeShape::Up);
    // Reversed with the view at the far right: nothing further right, so no left arrow.
    EXPECT_EQ(chooseEdgeShape(EDGE_LEFT, true, true, {1024, 0}, m), EdgeShape::Normal);
    EXPECT_EQ(chooseEdgeShape(EDGE_RIGHT, true, true, {1024, 0}, m), EdgeShape::Right);
    EXPECT_EQ(chooseEdgeShape(EDGE_TOP, true, true, {0, 0}, m), EdgeShape::Up);
}

TEST(ClampToArea, TheViewNeverLeavesTheArea) {
    const Point m{2048, 768};
    EXPECT_EQ(clampToArea({-7, 0}, {3, 0}, m), (Point{-3, 0}));
    EXPECT_EQ(clampToArea({-7, 0}, {0, 0}, m), (Point{0, 0}));
    EXPECT_EQ(clampToArea({100, 50}, {2000, 700}, m), (Point{48, 50}));
    EXPECT_EQ(clampToArea({100, 90}, {2000, 700}, m), (Point{48, 68}));
    EXPECT_EQ(clampToArea({INT_MAX, INT_MIN}, {5, 5}, m), (Point{2043, -5}));
    EXPECT_EQ(clampToArea({-30, 40}, {100, 100}, m), (Point{-30, 40}));
    // Table over many steps: the resulting view is always inside.
    for (int vx : {0, 1, 1000, 2047, 2048})
        for (int sx : {INT_MIN, -5000, -1, 0, 1, 5000, INT_MAX}) {
            const Point s = clampToArea({sx, 0}, {vx, 0}, m);
            const long long x = static_cast<long long>(vx) + s.x;
            EXPECT_GE(x, 0);
            EXPECT_LE(x, m.x);
        }
}

TEST(Continuation, StartsOnTouchedAxesAndStrengthensSameDirection) {
    EXPECT_EQ(continuationFrom(EDGE_LEFT, {-12, -3}), (Point{-12, 0}));
    EXPECT_EQ(continuationFrom(EDGE_LEFT | EDGE_BOTTOM, {-12, 3}), (Point{-12, 3}));
    EXPECT_EQ(strengthenContinuation({-12, 0}, {-12, 0}), (Point{-18, 0}));
    EXPECT_EQ(strengthenContinuation({-12, 0}, {-13, 0}), (Point{-18, 0})); // -13/2 = -6
    EXPECT_EQ(strengthenContinuation({-12, 0}, {12, 0}), (Point{-12, 0}));  // other way: kept
    EXPECT_EQ(strengthenContinuation({0, 0}, {5, -4}), (Point{2, -2}));
    EXPECT_EQ(strengthenContinuation({INT_MAX, 0}, {INT_MAX, 0}), (Point{INT_MAX, 0}));
}

TEST(StepOneScreen, LandsOnTheGrid) {
    // From between screens, a push left lands on the column's left edge.
    EXPECT_EQ(stepToNeighbourScreen(EDGE_LEFT, {1500, 0}, kScreen, 3, 1, false),
              (Point{-1500, 0}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_RIGHT, {1500, 0}, kScreen, 3, 1, false),
              (Point{548, 0}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_RIGHT, {2048, 0}, kScreen, 3, 1, false),
              (Point{0, 0}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_BOTTOM, {0, 100}, kScreen, 1, 3, false),
              (Point{0, 668}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_LEFT | EDGE_TOP, {1024, 768}, kScreen, 2, 2, false),
              (Point{-1024, -768}));
    // Reversed: the left edge moves right.
    EXPECT_EQ(stepToNeighbourScreen(EDGE_LEFT, {0, 0}, kScreen, 2, 1, true), (Point{1024, 0}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_RIGHT, {0, 0}, kScreen, 2, 1, true), (Point{0, 0}));
    // Already on the grid and at the border: snapped in place, no move.
    EXPECT_EQ(stepToNeighbourScreen(EDGE_LEFT, {0, 0}, kScreen, 2, 2, false), (Point{0, 0}));
    EXPECT_EQ(stepToNeighbourScreen(EDGE_LEFT, {0, 0}, Size{0, 0}, 2, 2, false), (Point{0, 0}));
}

TEST(MiddleClickZone, TwoPixelsFromAnyEdge) {
    EXPECT_TRUE(nearScreenEdge({1, 300}, kScreen));
    EXPECT_FALSE(nearScreenEdge({2, 300}, kScreen));
    EXPECT_TRUE(nearScreenEdge({1022, 300}, kScreen));
    EXPECT_FALSE(nearScreenEdge({1021, 300}, kScreen));
    EXPECT_TRUE(nearScreenEdge({500, 766}, kScreen));
    EXPECT_TRUE(nearScreenEdge({500, 0}, kScreen));
}

TEST(MaxViewOrigin, FromGridAndScreen) {
    EXPECT_EQ(maxViewOrigin(1, 1, kScreen), (Point{0, 0}));
    EXPECT_EQ(maxViewOrigin(5, 3, kScreen), (Point{4096, 1536}));
}

} // namespace
