// The delay gate driven by made-up ticks: queueing, merging, the speed sums, release, the
// paused-push reset across the 32-bit tick wrap, the indicator decisions and the storage.
#include "core/delay_gate_core.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

constexpr std::uint32_t kTimeout = 500;

struct DelayGateTest : ::testing::Test {
    DelayStateRecord g = makeDelayState(kTimeout);
    void TearDown() override { releaseDelayState(g); }

    GateStep add(int threshold, int x, int y, std::uint32_t now, bool timed = false) {
        return gateStep(g, threshold, x, y, timed, now);
    }
    void expectSample(int i, int x, int y, std::uint32_t dt) const {
        ASSERT_LT(i, g.count);
        EXPECT_EQ(g.samples[i].x, x) << "sample " << i;
        EXPECT_EQ(g.samples[i].y, y) << "sample " << i;
        EXPECT_EQ(g.samples[i].dt, dt) << "sample " << i;
    }
};

TEST_F(DelayGateTest, ConstructionAndRelease) {
    EXPECT_EQ(g.timeout, kTimeout);
    EXPECT_EQ(g.capacity, kDelaySampleBlock);
    ASSERT_NE(g.samples, nullptr);
    for (int i = 0; i < g.capacity; ++i)
        EXPECT_TRUE(g.samples[i].x == 0 && g.samples[i].y == 0 && g.samples[i].dt == 0);
    EXPECT_EQ(g.count, 0);
    EXPECT_EQ(g.passed, 0);
    EXPECT_EQ(g.window, nullptr);
    EXPECT_STREQ(g.className, L"ZROVLDelayWindowClass");
    releaseDelayState(g);
    EXPECT_EQ(g.samples, nullptr);
    EXPECT_EQ(g.capacity, 0);
}

TEST_F(DelayGateTest, NoThresholdPassesEveryStepAloneEvenAfterAHeldQueue) {
    add(50, -5, 0, 100);
    add(50, -6, 0, 110);
    ASSERT_EQ(g.count, 2);
    // The setting dropped to 0 while a push was held: the queue is dropped, not applied.
    const struct {
        int x, y;
        std::uint32_t now;
    } steps[] = {{-7, 0, 120}, {3, -2, 120}, {0, 9, 5000}, {-1, -1, 0}};
    for (const auto& s : steps) {
        const GateStep r = add(0, s.x, s.y, s.now);
        EXPECT_TRUE(r.release);
        EXPECT_TRUE(r.closeIndicator);
        EXPECT_FALSE(r.showIndicator);
        EXPECT_EQ(g.count, 1);
        expectSample(0, s.x, s.y, 0);
        EXPECT_EQ(g.passed, 1);
        EXPECT_EQ(g.lastTick, s.now);
    }
}

// The worked push: threshold 50, every row one call at its tick, with the x sum after it.
TEST_F(DelayGateTest, HeldPushThenReleaseBySpeedThenOpen) {
    const struct {
        int x;
        std::uint32_t now;
        double sumX;
        bool release, show;
    } rows[] = {
        {-20, 1000, 0.0, false, false},   // the first sample has no speed
        {-30, 1010, 0.0, false, false},   // not counted until the next call
        {-40, 1015, -3.0, false, false},  // -30/10; px = -6
        {-60, 1025, -11.0, false, false}, // + -40/5; px = -22
        {-10, 1026, -17.0, false, true},  // + -60/10; px = -34: past a third
        {-200, 1027, -27.0, false, true}, // moved again, px = -54
        {0, 1028, -227.0, true, false},   // + -200/1: past the threshold
    };
    for (const auto& r : rows) {
        const GateStep s = add(50, r.x, 0, r.now);
        EXPECT_DOUBLE_EQ(g.sumX, r.sumX) << "at " << r.now;
        EXPECT_EQ(g.sumY, 0.0);
        EXPECT_EQ(s.release, r.release) << "at " << r.now;
        EXPECT_EQ(s.showIndicator, r.show) << "at " << r.now;
        EXPECT_EQ(s.closeIndicator, r.release) << "at " << r.now;
    }
    ASSERT_EQ(g.count, 7);
    expectSample(0, -20, 0, 0);
    expectSample(1, -30, 0, 10);
    expectSample(2, -40, 0, 5);
    expectSample(6, 0, 0, 1);
    EXPECT_EQ(g.startTick, 1000u);
    EXPECT_EQ(g.passed, 1);

    // Open: a slow step passes at once, alone, until the gate is cleared.
    const GateStep open = add(50, 1, 0, 1400);
    EXPECT_TRUE(open.release);
    EXPECT_EQ(g.count, 1);
    expectSample(0, 1, 0, 0);
    clearGate(g);
    EXPECT_FALSE(add(50, -200, 0, 1401).release);
    EXPECT_EQ(g.passed, 0);
}

TEST_F(DelayGateTest, EachAxisAndSideShowsThenReleases) {
    const struct { int x, y; } pushes[] = {{30, 0}, {-30, 0}, {0, 30}, {0, -30}};
    for (const auto& p : pushes) {
        clearGate(g);
        add(50, p.x, p.y, 10);
        EXPECT_FALSE(add(50, p.x, p.y, 11).showIndicator); // nothing counted yet
        const GateStep third = add(50, p.x, p.y, 12);      // 30 of 50: 60 %
        EXPECT_FALSE(third.release) << p.x << "," << p.y;
        EXPECT_TRUE(third.showIndicator) << p.x << "," << p.y;
        const GateStep fourth = add(50, p.x, p.y, 13); // 60 of 50
        EXPECT_TRUE(fourth.release) << p.x << "," << p.y;
        EXPECT_TRUE(fourth.closeIndicator);
        EXPECT_DOUBLE_EQ(g.sumX, 2.0 * p.x);
        EXPECT_DOUBLE_EQ(g.sumY, 2.0 * p.y);
    }
}

TEST_F(DelayGateTest, BoundariesOfShowAndRelease) {
    // Threshold 100: 33.5 truncates to 33 (not shown), 34 is shown.
    add(100, 0, 0, 0);
    add(100, 67, 0, 2);
    const GateStep below = add(100, 1, 0, 4);
    EXPECT_DOUBLE_EQ(g.sumX, 33.5);
    EXPECT_FALSE(below.showIndicator);
    const GateStep past = add(100, 0, 0, 6);
    EXPECT_DOUBLE_EQ(g.sumX, 34.0);
    EXPECT_TRUE(past.showIndicator);
    EXPECT_FALSE(past.release);

    // A sum equal to the threshold does not release; a full band is shown instead.
    clearGate(g);
    add(50, 0, 0, 0);
    add(50, 0, -100, 2);
    const GateStep atThreshold = add(50, 0, 0, 3);
    EXPECT_DOUBLE_EQ(g.sumY, -50.0);
    EXPECT_FALSE(atThreshold.release);
    EXPECT_TRUE(atThreshold.showIndicator);
}

TEST_F(DelayGateTest, SameMillisecondStepsMergeAndCountTheWholeQueue) {
    add(50, -3, 0, 100);
    add(50, -4, 1, 100);
    ASSERT_EQ(g.count, 1);
    expectSample(0, -7, 1, 0);
    add(50, -2, 0, 110);
    ASSERT_EQ(g.count, 2);
    EXPECT_DOUBLE_EQ(g.sumX, 0.0);
    // Merging into a sample with a dt counts it at once, unlike a new sample.
    add(50, -5, 0, 110);
    ASSERT_EQ(g.count, 2);
    expectSample(1, -7, 0, 10);
    EXPECT_DOUBLE_EQ(g.sumX, -0.7);
    EXPECT_EQ(g.lastTick, 110u);
}

TEST_F(DelayGateTest, APushWithinOneMillisecondIsNeverReleasedBySpeed) {
    for (int i = 0; i < 1000; ++i) {
        const GateStep s = add(10, -1000, 0, 77);
        EXPECT_FALSE(s.release);
        EXPECT_FALSE(s.showIndicator);
    }
    EXPECT_EQ(g.count, 1);
    expectSample(0, -1000000, 0, 0);
    EXPECT_EQ(g.sumX, 0.0);
}

TEST_F(DelayGateTest, MergingSaturatesInsteadOfOverflowing) {
    add(50, INT_MAX - 1, INT_MIN + 1, 5);
    add(50, 10, -10, 5);
    expectSample(0, INT_MAX, INT_MIN, 0);
}

// A push that paused longer than the double-click time starts a fresh queue; the tick
// count may have wrapped past 2^32 in between.
TEST_F(DelayGateTest, PausedPushStartsOverAcrossTheTickWrap) {
    const struct {
        std::uint32_t first, next;
        bool startsOver;
    } cases[] = {
        {1000, 1500, false}, // exactly the double-click time still continues
        {1000, 1501, true},
        {0xFFFFFF00u, 0x000000F0u, false}, // 496 ms across the wrap
        {0xFFFFFF00u, 0x00000100u, true},  // 512 ms across the wrap
        {0xFFFFFFFFu, 0x00000000u, false},
    };
    for (const auto& c : cases) {
        clearGate(g);
        add(50, -4, 0, c.first - 10);
        add(50, -6, 0, c.first);
        const GateStep s = add(50, -8, 0, c.next);
        EXPECT_EQ(s.closeIndicator, c.startsOver) << c.first << " -> " << c.next;
        EXPECT_FALSE(s.release);
        EXPECT_EQ(g.lastTick, c.next);
        if (c.startsOver) {
            ASSERT_EQ(g.count, 1);
            expectSample(0, -8, 0, 0); // the first sample of the new push has no speed
            EXPECT_EQ(g.startTick, c.next);
            EXPECT_EQ(g.sumX, 0.0);
        } else {
            ASSERT_EQ(g.count, 3);
            expectSample(2, -8, 0, c.next - c.first);
            EXPECT_EQ(g.startTick, c.first - 10);
            EXPECT_DOUBLE_EQ(g.sumX, -0.6);
        }
    }
}

// The continuation timer asks for the time test: a push held longer than the double-click
// time shows the indicator even while its speed is far below a third of the threshold.
TEST_F(DelayGateTest, TimedStepsShowTheIndicatorAfterTheDoubleClickTime) {
    const std::uint32_t starts[] = {1000, 0xFFFFFE00u};
    for (std::uint32_t t0 : starts) {
        for (bool timed : {false, true}) {
            clearGate(g);
            EXPECT_FALSE(add(50, -1, 0, t0, timed).showIndicator);
            EXPECT_FALSE(add(50, -1, 0, t0 + 400, timed).showIndicator);
            EXPECT_FALSE(add(50, -1, 0, t0 + 500, timed).showIndicator); // not yet beyond
            const GateStep s = add(50, -1, 0, t0 + 800, timed);
            EXPECT_EQ(s.showIndicator, timed) << t0;
            EXPECT_FALSE(s.release);
            EXPECT_EQ(g.startTick, t0);
        }
    }
}

TEST_F(DelayGateTest, StorageGrowsByBlocksAndKeepsTheOrder) {
    const int n = 2 * kDelaySampleBlock + 1;
    for (int i = 0; i < n; ++i) {
        const GateStep s = add(100, i % 7 + 1, -(i % 5), 1000 + 100 * i);
        ASSERT_FALSE(s.release) << i;
        if (i < kDelaySampleBlock) {
            EXPECT_EQ(g.capacity, kDelaySampleBlock);
        }
    }
    ASSERT_EQ(g.count, n);
    EXPECT_EQ(g.capacity, 3 * kDelaySampleBlock);
    for (int i = 0; i < n; ++i)
        expectSample(i, i % 7 + 1, -(i % 5), i == 0 ? 0 : 100);

    // Clearing keeps the storage for the next push.
    const DelaySample* storage = g.samples;
    clearGate(g);
    EXPECT_EQ(g.samples, storage);
    EXPECT_EQ(g.capacity, 3 * kDelaySampleBlock);
    EXPECT_TRUE(g.count == 0 && g.passed == 0 && g.lastTick == 0 && g.startTick == 0);
    EXPECT_TRUE(g.sumX == 0 && g.sumY == 0);
}

TEST_F(DelayGateTest, WithoutStorageTheFirstSampleGrowsIt) {
    for (int threshold : {0, 50}) {
        releaseDelayState(g);
        clearGate(g);
        ASSERT_EQ(g.capacity, 0);
        const GateStep s = add(threshold, -9, 4, 3);
        EXPECT_EQ(s.release, threshold == 0);
        EXPECT_EQ(g.capacity, kDelaySampleBlock);
        expectSample(0, -9, 4, 0);
    }
}

TEST_F(DelayGateTest, GrowthThatCannotFitChangesNothing) {
    DelayStateRecord huge;
    huge.capacity = INT_MAX - kDelaySampleBlock + 1;
    EXPECT_FALSE(growSamples(huge));
    EXPECT_EQ(huge.capacity, INT_MAX - kDelaySampleBlock + 1);
    EXPECT_EQ(huge.samples, nullptr);
}

TEST(PushPercent, TruncatesTheSumThenDividesTowardZero) {
    const struct {
        double sum;
        int threshold;
        long long expect;
    } cases[] = {
        {20.7, 40, 50}, {-13.9, 40, -32}, {-3.0, 50, -6},
        {-0.9, 40, 0},  {33.9, 100, 33},  {50.0, 50, 100},
        {7.0, 30, 23},  {-7.0, 30, -23},  {1e300, 100, 1000000000000000LL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pushPercent(c.sum, c.threshold), c.expect) << c.sum << " / " << c.threshold;
}

} // namespace
