// Ending the program, by its menu or by a kill, and starting it again: every window of
// another process keeps its place in the virtual area, and a window that a start finds
// wholly outside the area comes into it.
#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"
#include "core/view_record.h"
#include "res/resource.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// 3 x 2 real screens of 1024 x 768, starting at the top-left one.
SettingsRecord threeByTwo() {
    SettingsRecord s;
    s.columns = 3;
    s.rows = 2;
    s.startPosition = u'7';
    return s;
}

struct Place {
    const wchar_t* title;
    int x, y;
};

// Nothing more arrives and nothing moves any more.
void settle(const OrvalisRun& run) {
    if (run.proc.running())
        run.barrier();
    pumpFor(500);
    if (run.proc.running())
        run.barrier();
}

bool windowsAt(const WindowPeer& peer, const std::vector<Place>& places) {
    for (const Place& p : places) {
        const RECT r = peer.rect(p.title);
        if (r.left != p.x || r.top != p.y)
            return false;
    }
    return true;
}

void expectWindowsAt(const WindowPeer& peer, const std::vector<Place>& places, const char* when) {
    for (const Place& p : places) {
        const RECT r = peer.rect(p.title);
        EXPECT_EQ(r.left, p.x) << when;
        EXPECT_EQ(r.top, p.y) << when;
    }
}

// Pushes against the left (dx < 0) or right edge until the windows stand at `places`.
bool pushUntil(const WindowPeer& peer, int dx, const std::vector<Place>& places) {
    for (int push = 0; push < 10; ++push) {
        moveRelative(dx, 0);
        if (waitUntil([&] { return windowsAt(peer, places); }, 1500))
            return true;
    }
    return false;
}

std::optional<ViewRecord> storedView(const OrvalisRun& run) {
    const auto bytes = readFile(run.dir.path + L"Orvalis.view");
    return decodeViewRecord(bytes.data(), bytes.size());
}

// A: on the first screen; C: two screens to the right; D: the middle screen of the lower
// row. The view goes to the right border (x = 2048), the program ends, starts again and
// goes back to the left border: each window must be where it started.
void endAndStartAgain(bool kill) {
    const std::vector<Place> home = {{L"A", 300, 100}, {L"C", 2100, 200}, {L"D", 1100, 900}};
    const std::vector<Place> right = {{L"A", -1748, 100}, {L"C", 52, 200}, {L"D", -948, 900}};
    setCursor(0, 600);
    WindowPeer peer;
    ASSERT_TRUE(peer.start({L"A,300,100,200,150", L"C,2100,200,200,150", L"D,1100,900,200,150"}));
    OrvalisRun run;
    run.prepare(settingsBytes(threeByTwo()));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(run.waitInputReady());

    ASSERT_TRUE(pushUntil(peer, 800, right));
    settle(run);
    expectWindowsAt(peer, right, "at the right border");
    if (kill) {
        // The record follows the view within a moment; a kill is allowed to come after it.
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto stored = storedView(run);
                return stored && stored->origin == Point{2048, 0};
            },
            3000));
        run.proc.kill();
    } else {
        PostMessageW(run.mainWindow, WM_COMMAND, IDM_EXIT, 0);
        ASSERT_NE(run.proc.wait(15000), STILL_ACTIVE);
    }
    ASSERT_FALSE(run.proc.running());
    settle(run);
    expectWindowsAt(peer, right, "after the end");

    run.proc.close();
    ASSERT_TRUE(run.start());
    settle(run);
    expectWindowsAt(peer, right, "after the new start");
    ASSERT_TRUE(run.waitInputReady());
    setCursor(1023, 600); // on the right edge, where the push back begins
    EXPECT_TRUE(pushUntil(peer, -800, home)) << "the view did not come back";
    settle(run);
    expectWindowsAt(peer, home, "back at the left border");
    EXPECT_TRUE(run.stop());
}

TEST(Restart, AfterTheMenusExitEveryWindowKeepsItsVirtualPlace) {
    endAndStartAgain(false);
}

TEST(Restart, AfterAKillEveryWindowKeepsItsVirtualPlace) {
    endAndStartAgain(true);
}

TEST(Restart, AWindowOutsideTheAreaAtStartComesIntoTheNearestScreen) {
    setCursor(0, 600);
    WindowPeer peer;
    ASSERT_TRUE(peer.start({L"Left,-1500,200,200,150", L"Below,500,1700,200,150",
                            L"In,300,100,200,150", L"Edge,-100,400,200,150"}));
    OrvalisRun run;
    run.prepare(settingsBytes(threeByTwo()));
    ASSERT_TRUE(run.start());
    const RECT left = peer.rect(L"Left");
    ASSERT_TRUE(waitUntil([&] { return peer.rect(L"Left").left >= 0; }, 5000))
        << "still at " << left.left;
    settle(run);
    // Each lands where it stood within a screen, in the first column or the lower row;
    // the window that overlaps the area stays where it is.
    expectWindowsAt(peer,
                    {{L"Left", -1500 + 2048, 200},
                     {L"Below", 500, 768 + 1700 - 1536},
                     {L"In", 300, 100},
                     {L"Edge", -100, 400}},
                    "after the start");
    EXPECT_TRUE(saveScreenshot(shotDir() + L"restart-outside.png"));
    EXPECT_TRUE(run.stop());
}

} // namespace
