// The bookkeeping that keeps sleeping programs out of the shift's batch: who is probed,
// which windows move asynchronously, and that a sleeping window's queued moves add up.
#include "core/hung_guard.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint32_t kAwake = 11;
constexpr std::uint32_t kSleeper = 22;
constexpr std::uintptr_t kWinA = 0x100; // kAwake's
constexpr std::uintptr_t kWinB = 0x200; // kSleeper's
constexpr std::uintptr_t kWinC = 0x300; // kSleeper's

struct HungGuardTest : ::testing::Test {
    HungGuardRecord g;
    // One shift at tick `now`: the probes go out, every thread answers in time but the
    // sleeper when `asleep` is set, and the wait ends. Returns how many probes were sent.
    int probe(bool asleep, std::uint32_t now = 0) {
        beginShift(g);
        int sent = 0;
        for (std::uint32_t t : {kAwake, kSleeper, kSleeper, kAwake}) {
            if (!needsProbe(g, t, now))
                continue;
            ++sent;
            probeSent(g, t, t == kAwake ? kWinA : kWinB);
        }
        EXPECT_EQ(probesOut(g), sent);
        for (std::uint32_t t : {kAwake, kSleeper})
            if (isOut(t) && !(asleep && t == kSleeper))
                probeAnswered(g, t, now);
        probesTimedOut(g, [](std::uintptr_t) { return true; });
        return sent;
    }
    bool isOut(std::uint32_t thread) const {
        for (int i = 0; i < g.threadCount; ++i)
            if (g.threads[i].thread == thread)
                return g.threads[i].probeOut;
        return false;
    }
};

TEST_F(HungGuardTest, EachThreadIsProbedOncePerShiftUnlessItAnsweredLately) {
    EXPECT_EQ(probe(false, 1000), 2);
    EXPECT_EQ(planMove(g, kWinA, kAwake, {300, 100}, {-40, 0}, 1000),
              (MovePlan{false, {260, 100}}));
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 1000),
              (MovePlan{false, {460, 300}}));
    endShift(g);
    // A continuous push: the answers stay good for a while, then are asked for again.
    EXPECT_EQ(probe(false, 1000 + 20), 0);
    endShift(g);
    EXPECT_EQ(probe(false, 1000 + kAnswerFreshMs - 1), 0);
    endShift(g);
    EXPECT_EQ(probe(false, 1000 + kAnswerFreshMs), 2);
    endShift(g);
    EXPECT_EQ(probe(false, 0x10), 2); // the tick went back (wrapped): asked again

    const std::uint32_t later = 1000 + 10 * kAnswerFreshMs;
    EXPECT_EQ(probe(true, later), 2);
    EXPECT_TRUE(isHung(g, kSleeper));
    EXPECT_FALSE(isHung(g, kAwake));
    // The unanswered probe is still on its way: its answer ends the hang, no other is sent.
    EXPECT_FALSE(takeRecoveryProbe(g, kSleeper));
    EXPECT_FALSE(takeRecoveryProbe(g, kAwake));
    endShift(g);
    // Known to sleep: no more probes to wait for, which would each cost the time-out.
    EXPECT_EQ(probe(false, later + 5 * kAnswerFreshMs), 1);
    EXPECT_TRUE(isHung(g, kSleeper));
}

TEST_F(HungGuardTest, ASleepingWindowsMovesAddUpFromItsLastTarget) {
    probe(true);
    // Its rectangle does not change while it sleeps: each target builds on the last one.
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 0), (MovePlan{true, {460, 300}}));
    EXPECT_EQ(planMove(g, kWinC, kSleeper, {600, 350}, {-40, 0}, 0), (MovePlan{true, {560, 350}}));
    EXPECT_EQ(planMove(g, kWinA, kAwake, {300, 100}, {-40, 0}, 0), (MovePlan{false, {260, 100}}));
    endShift(g);
    probe(false);
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {500, 300}, {-40, 10}, 5), (MovePlan{true, {420, 310}}));
    endShift(g);
    probe(false);
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 9), (MovePlan{true, {380, 310}}));
    endShift(g);

    // It wakes: the answer arrives, its moves land one after another. Until the last one
    // has landed, the next move still goes after them.
    probeAnswered(g, kSleeper, 1000); // the late answer
    EXPECT_FALSE(isHung(g, kSleeper));
    probe(false);
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {460, 300}, {5, 0}, 1010), (MovePlan{true, {385, 310}}));
    endShift(g);
    probe(false);
    // Landed: an ordinary window again, back in the batch.
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {385, 310}, {5, 0}, 1020),
              (MovePlan{false, {390, 310}}));
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {390, 310}, {5, 0}, 1020),
              (MovePlan{false, {395, 310}}));
}

TEST_F(HungGuardTest, AWokenProgramThatPlacedItsWindowItselfIsFollowedAfterAGrace) {
    probe(true);
    planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 0);
    endShift(g);
    probeAnswered(g, kSleeper, 5000); // the late answer
    probe(false);
    // Somewhere else entirely, shortly after waking: our move may still be on its way.
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {10, 10}, {-1, 0}, 5000 + kPendingGraceMs - 1),
              (MovePlan{true, {459, 300}}));
    endShift(g);
    probe(false);
    // Long after: the program put it there; it moves from where it is, in the batch.
    EXPECT_EQ(planMove(g, kWinB, kSleeper, {10, 10}, {-1, 0}, 5000 + kPendingGraceMs),
              (MovePlan{false, {9, 10}}));
}

TEST_F(HungGuardTest, TickWrapDoesNotEndTheGraceEarly) {
    probe(true);
    planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 0);
    endShift(g);
    probeAnswered(g, kSleeper, 0xFFFFFF00u); // the late answer
    probe(false);
    EXPECT_TRUE(planMove(g, kWinB, kSleeper, {0, 0}, {0, 0}, 0x10).async); // 0x110 ms later
}

TEST_F(HungGuardTest, AnswersWithoutAProbeOutstandingAreIgnored) {
    beginShift(g);
    ASSERT_TRUE(needsProbe(g, kSleeper, 0));
    ASSERT_TRUE(needsProbe(g, kAwake, 0));
    probeSent(g, kSleeper, kWinB);
    probeNotSent(g, kSleeper, true); // could not even be sent
    probeSent(g, kAwake, kWinA);
    probeNotSent(g, kAwake, false); // its window is gone: nothing to say of the program
    EXPECT_EQ(probesOut(g), 0);
    EXPECT_FALSE(isHung(g, kAwake));
    recoveryAnswered(g, kSleeper, 10); // not asked yet: a stale answer proves nothing
    probeAnswered(g, kSleeper, 10);
    EXPECT_TRUE(isHung(g, kSleeper));
    ASSERT_TRUE(takeRecoveryProbe(g, kSleeper));
    recoveryProbeNotSent(g, kSleeper);
    EXPECT_TRUE(takeRecoveryProbe(g, kSleeper)); // tried again next time
    recoveryAnswered(g, 999, 10);                // unknown thread: no effect
    EXPECT_TRUE(isHung(g, kSleeper));
}

TEST_F(HungGuardTest, AProbedWindowThatVanishedDoesNotMakeItsThreadHung) {
    beginShift(g);
    ASSERT_TRUE(needsProbe(g, kAwake, 0));
    ASSERT_TRUE(needsProbe(g, kSleeper, 0));
    probeSent(g, kAwake, kWinA);
    probeSent(g, kSleeper, kWinB);
    probeAnswered(g, kAwake, 3);
    EXPECT_EQ(probesOut(g), 1);
    probesTimedOut(g, [](std::uintptr_t w) { return w != kWinB; });
    EXPECT_EQ(probesOut(g), 0);
    EXPECT_FALSE(isHung(g, kSleeper));
    EXPECT_FALSE(isHung(g, kAwake));
    EXPECT_EQ(planMove(g, kWinA, kAwake, {0, 0}, {1, 0}, 3), (MovePlan{false, {1, 0}}));
}

TEST_F(HungGuardTest, ThreadsAndWindowsNoLongerCollectedAreForgotten) {
    probe(true);
    planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 0);
    endShift(g);
    ASSERT_EQ(g.moveCount, 1);

    beginShift(g); // only kAwake's window is collected now
    needsProbe(g, kAwake, 0);
    endShift(g);
    EXPECT_EQ(g.threadCount, 1);
    EXPECT_EQ(g.moveCount, 0);
    EXPECT_FALSE(isHung(g, kSleeper));

    // The same handle later belongs to another thread: no stale target is used.
    probe(true);
    planMove(g, kWinB, kSleeper, {500, 300}, {-40, 0}, 0);
    endShift(g);
    probe(false);
    EXPECT_EQ(planMove(g, kWinB, kAwake, {70, 80}, {1, 1}, 0), (MovePlan{false, {71, 81}}));
}

TEST_F(HungGuardTest, FullTablesDegradeWithoutLosingWindows) {
    beginShift(g);
    for (std::uint32_t t = 1; t <= kHungThreadSlots; ++t)
        EXPECT_TRUE(needsProbe(g, t, 0));
    // No room to remember another thread: it is probed every time it is met.
    EXPECT_TRUE(needsProbe(g, 100000, 0));
    probeAnswered(g, 100000, 0);
    EXPECT_TRUE(needsProbe(g, 100000, 0));
    probeNotSent(g, 100000, true);
    EXPECT_FALSE(isHung(g, 100000));
    endShift(g);
    EXPECT_EQ(g.threadCount, kHungThreadSlots);

    resetHungGuard(g);
    probe(true);
    for (int i = 0; i < kPendingMoveSlots + 5; ++i) {
        const MovePlan p =
            planMove(g, 0x1000 + static_cast<std::uintptr_t>(i), kSleeper, {i, 0}, {-1, 0}, 0);
        EXPECT_TRUE(p.async) << i;
        EXPECT_EQ(p.to, (Point{i - 1, 0})) << i;
    }
    EXPECT_EQ(g.moveCount, kPendingMoveSlots);
}

} // namespace
