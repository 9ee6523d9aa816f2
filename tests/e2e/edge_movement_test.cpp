// Edge pushes with real input: the windows of another process move by exactly the
// accelerated, filtered, clamped and delay-gated step.
#include "edge_fixture.h"

#include "core/settings.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

TEST_F(EdgeTest, LeftEdgePushMovesEveryWindowAndStopsAtTheBorder) {
    ASSERT_NO_FATAL_FAILURE(begin(centred()));
    moveRelative(-7, 0);
    ASSERT_TRUE(waitMovedX(7)) << "moved " << movedX(L"A", a0);
    EXPECT_EQ(movedY(L"A", a0), 0);
    // Size and stacking stay as they were.
    const RECT a = peer.rect(L"A");
    EXPECT_EQ(a.right - a.left, a0.right - a0.left);
    EXPECT_EQ(a.bottom - a.top, a0.bottom - a0.top);

    // Pushing away from the edge moves nothing.
    moveRelative(1, 0);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 7);
    // One pixel in from the edge (x = 1) nothing moves either.
    moveRelative(0, 9);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 7);
    EXPECT_EQ(movedY(L"A", a0), 0);

    // Back to the edge and far past the border: the view stops exactly at x = 0.
    moveRelative(-1, 0); // back on the edge: itself a push of one pixel
    for (int i = 0; i < 4; ++i) moveRelative(-300, 0);
    ASSERT_TRUE(waitMovedX(512)) << "moved " << movedX(L"A", a0);
    moveRelative(-50, 0);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 512);
    EXPECT_EQ(movedX(L"B", b0), 512);
}

TEST_F(EdgeTest, AccelerationTenSquaresTheStep) {
    SettingsRecord s = centred();
    s.acceleration = 10;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    moveRelative(-7, 0);
    ASSERT_TRUE(waitMovedX(49)) << "moved " << movedX(L"A", a0);
}

TEST_F(EdgeTest, ReverseDirectionMovesTheViewTheOtherWay) {
    SettingsRecord s = centred();
    s.reverseDirection = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    moveRelative(-7, 0);
    ASSERT_TRUE(waitMovedX(-7)) << "moved " << movedX(L"A", a0);
}

TEST_F(EdgeTest, MoveByScreenLandsOnTheGrid) {
    SettingsRecord s = centred();
    s.moveByScreen = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    moveRelative(-3, 0);
    // From x = 512 (between screens) to column 0.
    ASSERT_TRUE(waitMovedX(512)) << "moved " << movedX(L"A", a0);
    moveRelative(-3, 0);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 512); // already in the first column
    // Across to the right edge (the move itself is the push): one screen the other way.
    moveRelative(2000, 0);
    ASSERT_TRUE(waitMovedX(512 - 1024)) << "moved " << movedX(L"A", a0);
}

TEST_F(EdgeTest, ContinueAtEdgeRepeatsUntilThePointerLeaves) {
    SettingsRecord s = centred();
    s.continueAtEdge = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    moveRelative(-12, 0);
    // The timer repeats the step every 50 ms while the pointer stays on the edge.
    ASSERT_TRUE(waitUntil([&] { return movedX(L"A", a0) >= 36; }, 3000))
        << "moved " << movedX(L"A", a0);
    EXPECT_EQ(movedX(L"A", a0) % 12, 0);
    // A middle click at the edge switches movement off and ends the repeat; switched on
    // again, the next push starts the repeat anew.
    auto movementByte = [&] {
        const auto bytes = readFile(run.settingsPath());
        return bytes.size() == 84 ? bytes[0] : -1;
    };
    middleClick();
    ASSERT_TRUE(waitUntil([&] { return movementByte() == '0'; }, 3000));
    run.barrier();
    pumpFor(150); // one tick may have been under way
    const int switchedOff = movedX(L"A", a0);
    pumpFor(300);
    EXPECT_EQ(movedX(L"A", a0), switchedOff) << "kept moving with movement off";
    middleClick();
    ASSERT_TRUE(waitUntil([&] { return movementByte() == '1'; }, 3000));
    moveRelative(-12, 0);
    EXPECT_TRUE(waitUntil([&] { return movedX(L"A", a0) >= switchedOff + 24; }, 3000))
        << "moved " << movedX(L"A", a0) - switchedOff << " after switching back on";
    setCursor(200, 600);
    run.barrier();
    pumpFor(150); // one tick may have been under way
    const int stopped = movedX(L"A", a0);
    pumpFor(400);
    EXPECT_EQ(movedX(L"A", a0), stopped) << "kept moving after the pointer left the edge";
    EXPECT_LT(stopped, 512);
}

// A push of `n` steps of (dx, 0), `gapMs` apart.
void pushSteps(int n, int dx, DWORD gapMs) {
    for (int i = 0; i < n; ++i) {
        moveRelative(dx, 0);
        pumpFor(gapMs);
    }
}

TEST_F(EdgeTest, DelayHoldsASlowPushAndDropsTheSwallowedDistance) {
    SettingsRecord s = centred();
    s.columns = 5; // room from the centre for every step a loaded machine needs
    s.delay = 10;  // threshold 10 pixels per millisecond summed
    s.delayNoMove = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    pushSteps(10, -2, 40);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 0) << "a slow push went through the delay";
    // A fast push: the gate opens, and only steps from the opening on move.
    const int pushed = pushUntilMoved(-40);
    ASSERT_GT(pushed, 0) << "a fast push did not open the gate";
    settle();
    const int moved = movedX(L"A", a0);
    EXPECT_EQ(moved % 40, 0) << "the held 2-pixel steps were moved: " << moved;
    EXPECT_LT(moved, pushed * 40);
    EXPECT_EQ(movedX(L"B", b0), moved);
}

TEST_F(EdgeTest, DelayReleasesTheWholeHeldPushWithoutDelayNoMove) {
    SettingsRecord s = centred();
    s.columns = 5; // room from the centre for every step a loaded machine needs
    s.delay = 10;
    s.delayNoMove = 0;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    pushSteps(10, -2, 40);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 0);
    const int pushed = pushUntilMoved(-40);
    ASSERT_GT(pushed, 0) << "a fast push did not open the gate";
    // Every queued step is applied on release: the 20 held pixels and all pushed after.
    ASSERT_TRUE(waitMovedX(20 + pushed * 40)) << "moved " << movedX(L"A", a0);
}

TEST_F(EdgeTest, DelayIndicatorShowsDuringAHeldPush) {
    SettingsRecord s = centred();
    s.delay = 10;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    HWND indicator = nullptr;
    auto shown = [&] {
        indicator = findWindowOfProcess(run.proc.pid, L"ZROVLDelayWindowClass");
        return indicator && IsWindowVisible(indicator);
    };
    // At most 0.4 px/ms per step: a third of the threshold after ten steps; stopped once
    // the indicator is up, never all of it. The program times the steps as it handles
    // them, further apart on a loaded machine, so the count is not fixed.
    for (int i = 0; i < 80 && !shown(); ++i) {
        moveRelative(-8, 0);
        waitUntil(shown, 20);
    }
    ASSERT_TRUE(waitUntil(shown, 2000)) << "moved " << movedX(L"A", a0);
    RECT r;
    GetWindowRect(indicator, &r);
    EXPECT_EQ(r.left, 50); // kept 50 pixels from the left edge
    EXPECT_EQ(r.right - r.left, 102);
    EXPECT_TRUE(saveScreenshot(shotDir() + L"delay_indicator.png"));
    EXPECT_EQ(movedX(L"A", a0), 0);
    // Leaving the edge resets the gate and closes the indicator.
    setCursor(300, 600);
    moveRelative(3, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(indicator); }, 2000));
}

TEST_F(EdgeTest, MinimizedToolAndOwnWindowsAndTheTaskbarStayPut) {
    setCursor(0, 600);
    ASSERT_TRUE(peer.start({L"A,300,100,200,150", L"B,600,120,200,150", L"M,400,300,200,150,m"}));
    a0 = peer.rect(L"A");
    b0 = peer.rect(L"B");
    WINDOWPLACEMENT wpM{};
    wpM.length = sizeof(wpM);
    GetWindowPlacement(peer.find(L"M"), &wpM);
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT bar0{};
    if (taskbar) GetWindowRect(taskbar, &bar0);
    run.prepare(settingsBytes(centred()));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.waitInputReady());
    RECT own0;
    GetWindowRect(run.mainWindow, &own0);

    moveRelative(-20, 0);
    ASSERT_TRUE(waitMovedX(20));
    settle();
    WINDOWPLACEMENT wpM1{};
    wpM1.length = sizeof(wpM1);
    GetWindowPlacement(peer.find(L"M"), &wpM1);
    EXPECT_TRUE(IsIconic(peer.find(L"M")));
    EXPECT_EQ(wpM1.rcNormalPosition.left, wpM.rcNormalPosition.left);
    RECT own;
    GetWindowRect(run.mainWindow, &own);
    EXPECT_EQ(own.left, own0.left);
    if (taskbar) {
        RECT bar;
        GetWindowRect(taskbar, &bar);
        EXPECT_EQ(bar.left, bar0.left);
        EXPECT_EQ(bar.top, bar0.top);
    }
}

} // namespace
