// Focus tracking of the real program against windows of another process (trackpeer.exe)
// through the real hook: new windows sent to an empty real screen, known windows brought
// into view by real screen or proportionally, Shift centring, the filters, minimized
// windows coming back at their virtual place, and the refused maximize. Wine cannot
// change another process's window placement, so the pseudo-maximize itself is shown in
// the Win32 tier; here the refusal and the program's maximize-geometry query are shown.
#include "harness.h"
#include "peers/trackpeer_client.h"

#include "core/settings.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::vector<unsigned char> bytesOf(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

// 2 × 2 area starting at the top-left real screen, view origin (0, 0).
SettingsRecord twoByTwo() {
    SettingsRecord s;
    s.columns = 2;
    s.rows = 2;
    s.startPosition = u'7';
    return s;
}

// A peer with windows made before the program starts (so it adopts them as known), and
// the program running with the given settings.
struct Scene {
    TrackPeer peer;
    OrvalisRun run;

    bool startPeer() { return peer.start(); }
    bool startProgram(const SettingsRecord& s) {
        run.prepare(bytesOf(s));
        return run.start() && peer.waitForHook();
    }
};

TEST(Tracking, NewWindowOnACrowdedScreenSendsTheViewToAnEmptyOne) {
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND big = scene.peer.create(0, 0, 900, 650, L"big");
    ASSERT_TRUE(big);
    ASSERT_TRUE(scene.startProgram(twoByTwo()));

    // The current screen is less than a quarter free; scanning from the top-left, the
    // screen below is the first empty one: the view steps down one screen, the new window
    // stays where it opened and everything else moves up.
    HWND fresh = scene.peer.create(200, 150, 300, 200, L"fresh");
    ASSERT_TRUE(fresh);
    ASSERT_TRUE(scene.peer.activate(fresh));
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitForCorner(big, 0, -768));
    EXPECT_EQ(rectOf(fresh).left, 200);
    EXPECT_EQ(rectOf(fresh).top, 150);
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, RoomEnoughOnTheCurrentScreenKeepsTheView) {
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND small = scene.peer.create(0, 0, 400, 300, L"small");
    ASSERT_TRUE(scene.startProgram(twoByTwo()));
    HWND fresh = scene.peer.create(500, 300, 300, 200, L"fresh");
    ASSERT_TRUE(fresh);
    ASSERT_TRUE(scene.peer.activate(fresh));
    ASSERT_TRUE(scene.run.barrier());
    pumpFor(200);
    EXPECT_EQ(rectOf(small).top, 0);
    EXPECT_EQ(rectOf(fresh).top, 300);
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, ByScreenWithDialogsAndRepeatedActivations) {
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND alpha = scene.peer.create(100, 100, 300, 200, L"alpha");
    HWND beta = scene.peer.create(1300, 200, 300, 200, L"beta");
    // A dialog box of the peer's thread, known and lying on the bottom-right screen.
    HWND stray = scene.peer.create(1400, 900, 250, 150, L"stray dialog", kTrackDialog);
    // A dialog owned by beta.
    HWND owned = scene.peer.create(1350, 260, 200, 120, L"owned dialog", kTrackDialog, beta);
    ASSERT_TRUE(alpha && beta && stray && owned);
    ASSERT_TRUE(scene.startProgram(twoByTwo()));

    ASSERT_TRUE(scene.peer.activate(alpha));
    ASSERT_TRUE(scene.run.barrier());
    // A dialog box of the thread already in front is not tracked: the view would
    // otherwise move to the bottom-right screen.
    ASSERT_TRUE(scene.peer.activate(stray));
    ASSERT_TRUE(scene.run.barrier());
    pumpFor(200);
    EXPECT_EQ(rectOf(alpha).left, 100);
    EXPECT_EQ(rectOf(stray).left, 1400);

    // Beta lies on the top-right screen: the view moves there by one whole screen.
    ASSERT_TRUE(scene.peer.activate(beta));
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitForCorner(beta, 276, 200));
    EXPECT_TRUE(waitForCorner(alpha, -924, 100));
    EXPECT_TRUE(waitForCorner(owned, 326, 260));

    // Moved out of view by its program, beta is activated again through its own dialog
    // and then directly: both have beta as their root, which is already the last
    // activated window, so nothing follows it.
    scene.peer.move(beta, -700, 200);
    ASSERT_TRUE(scene.peer.activate(owned));
    ASSERT_TRUE(scene.peer.activate(beta));
    ASSERT_TRUE(scene.run.barrier());
    pumpFor(200);
    EXPECT_EQ(rectOf(beta).left, -700);
    EXPECT_EQ(rectOf(alpha).left, -924);

    // Alpha, back in front, brings the view back to the top-left screen.
    ASSERT_TRUE(scene.peer.activate(alpha));
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitForCorner(alpha, 100, 100));
    EXPECT_TRUE(waitForCorner(beta, 324, 200));
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, ProportionalCentringAndShiftCentring) {
    SettingsRecord s = twoByTwo();
    s.trackByScreen = 0;
    s.trackLevel = 5;
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND alpha = scene.peer.create(100, 100, 300, 200, L"alpha");
    HWND beta = scene.peer.create(1300, 200, 400, 300, L"beta");
    ASSERT_TRUE(scene.startProgram(s));
    const RECT wa = workArea();
    const int waW = wa.right - wa.left, waH = wa.bottom - wa.top;

    // Alpha is wholly in view: nothing moves.
    ASSERT_TRUE(scene.peer.activate(alpha));
    ASSERT_TRUE(scene.run.barrier());
    pumpFor(200);
    EXPECT_EQ(rectOf(alpha).left, 100);

    // Beta is wholly out of view: the view moves to centre it horizontally; vertically the
    // view cannot go above the virtual area.
    const int dx = 1300 - (waW - 400) / 2 - wa.left;
    ASSERT_TRUE(scene.peer.activate(beta));
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitForCorner(beta, 1300 - dx, 200));
    EXPECT_TRUE(waitForCorner(alpha, 100 - dx, 100));

    // With Shift held, alpha itself comes to the centre of the work area; the view stays.
    // Wine drops the first keyboard input of a process: press again until it shows.
    for (int attempt = 0; attempt < 5 && GetAsyncKeyState(VK_SHIFT) >= 0; ++attempt) {
        keyDown(VK_SHIFT);
        waitUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 400);
    }
    ASSERT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    // Wine keeps a process's answer "key up" for up to 50 ms; a hand holds Shift longer
    // than that before the click anyway.
    pumpFor(80);
    const bool activated = scene.peer.activate(alpha);
    const bool handled = scene.run.barrier();
    keyUp(VK_SHIFT);
    ASSERT_TRUE(activated && handled);
    EXPECT_TRUE(waitForCorner(alpha, wa.left + (waW - 300) / 2, wa.top + (waH - 200) / 2));
    EXPECT_EQ(rectOf(beta).left, 1300 - dx);
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, MinimizedWindowComesBackAtItsVirtualPlace) {
    SettingsRecord s = twoByTwo();
    s.trackByScreen = 0;
    s.trackLevel = 3;
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND alpha = scene.peer.create(600, 100, 400, 200, L"alpha");
    HWND beta = scene.peer.create(900, 200, 400, 300, L"beta");
    ASSERT_TRUE(scene.startProgram(s));
    const RECT wa = workArea();
    const int dx = 900 - (wa.right - wa.left - 400) / 2 - wa.left;

    ASSERT_TRUE(scene.peer.activate(alpha));
    scene.peer.show(alpha, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(alpha));
    // Beta is less than a third in view: the view moves right to centre it; the
    // minimized alpha does not move.
    scene.peer.activate(beta);
    ASSERT_TRUE(scene.run.barrier());
    ASSERT_TRUE(waitForCorner(beta, 900 - dx, 200));

    // Restored, alpha goes to its place in the virtual area as seen from the new view,
    // not to the screen position it had; there it is visible enough to stay.
    scene.peer.show(alpha, SW_RESTORE);
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitForCorner(alpha, 600 - dx, 100))
        << rectOf(alpha).left << "," << rectOf(alpha).top << " beta " << rectOf(beta).left;
    pumpFor(200);
    EXPECT_EQ(rectOf(beta).left, 900 - dx);
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, RefusedMaximizeIsAnsweredWithTheGeometryQuery) {
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND alpha = scene.peer.create(100, 100, 300, 200, L"alpha");
    ASSERT_TRUE(scene.startProgram(twoByTwo()));

    ASSERT_TRUE(scene.peer.activate(alpha));
    scene.peer.show(alpha, SW_MAXIMIZE);
    EXPECT_FALSE(IsZoomed(alpha));
    ASSERT_TRUE(scene.run.barrier());
    ASSERT_TRUE(waitUntil([&] { return scene.peer.queries(alpha) == 1; }));
    // Wine fixes the maximized size of a process when it starts, from the work area
    // then: a second peer started after the taskbar, like the program, sees the same.
    TrackPeer sameView;
    ASSERT_TRUE(sameView.start());
    const POINT size = scene.peer.lastMaxSize(alpha);
    const POINT pos = scene.peer.lastMaxPosition(alpha);
    EXPECT_EQ(size.x, sameView.metric(SM_CXMAXIMIZED));
    EXPECT_EQ(size.y, sameView.metric(SM_CYMAXIMIZED));
    EXPECT_EQ(pos.x, -sameView.metric(SM_CXFRAME));
    EXPECT_EQ(pos.y, -sameView.metric(SM_CYFRAME));
    EXPECT_TRUE(scene.peer.lastRestZero(alpha));
    // Wine kept the window as it was, so the next request maximizes again and asks again.
    scene.peer.show(alpha, SW_MAXIMIZE);
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_TRUE(waitUntil([&] { return scene.peer.queries(alpha) == 2; }));
    EXPECT_FALSE(IsZoomed(alpha));
    EXPECT_TRUE(scene.run.stop());
}

TEST(Tracking, OneByOneAreaTracksNothingAndAllowsMaximize) {
    SettingsRecord s;
    s.columns = 1;
    s.rows = 1;
    Scene scene;
    ASSERT_TRUE(scene.startPeer());
    HWND big = scene.peer.create(0, 0, 900, 650, L"big");
    ASSERT_TRUE(scene.startProgram(s));
    // Outside the one-screen area; made after the start, which would bring it in.
    HWND beta = scene.peer.create(1300, 200, 300, 200, L"beta");

    HWND fresh = scene.peer.create(200, 150, 300, 200, L"fresh");
    ASSERT_TRUE(scene.peer.activate(fresh));
    ASSERT_TRUE(scene.peer.activate(beta));
    ASSERT_TRUE(scene.run.barrier());
    pumpFor(300);
    EXPECT_EQ(rectOf(big).top, 0);
    EXPECT_EQ(rectOf(beta).left, 1300);
    EXPECT_EQ(rectOf(fresh).top, 150);

    scene.peer.show(big, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(big));
    ASSERT_TRUE(scene.run.barrier());
    EXPECT_EQ(scene.peer.queries(big), 0);
    EXPECT_TRUE(scene.run.stop());
}

} // namespace
