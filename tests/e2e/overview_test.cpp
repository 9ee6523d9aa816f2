// The overview of the real program over windows of another process (trackpeer.exe) on a
// 3 × 2 area of 1024 × 768 screens: opening on the view, the jump, the pointer put back,
// the middle-button carry with an owned dialog, closing by an outside click and by the
// leave fade, the overview push mode, and the size kept through a restart. Also the
// closes of the program's windows (overview, settings dialog, exclusion window) that
// leave the view where it is, with the active window in it.
#include "harness.h"
#include "peer_windows.h"
#include "peers/trackpeer_client.h"

#include "core/settings.h"
#include "overview/overview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

using namespace e2e;

namespace {

const AreaShape kArea{3, 2, {1024, 768}};

// A button event that carries its screen position, so that a stale pointer position
// cannot take the click elsewhere.
void mouseAt(POINT p, DWORD flags) {
    setCursor(p.x, p.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((p.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(INPUT));
}

void shot(const wchar_t* name) {
    EXPECT_TRUE(saveScreenshot(shotDir() + name));
}

::testing::AssertionResult cursorAt(POINT want, DWORD timeoutMs = 3000) {
    POINT p{};
    if (waitUntil(
            [&] {
                return GetCursorPos(&p) && std::abs(p.x - want.x) <= 1 &&
                       std::abs(p.y - want.y) <= 1;
            },
            timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pointer at " << p.x << "," << p.y;
}

struct OverviewTest : ::testing::Test {
    TrackPeer peer;
    OrvalisRun run;
    HWND overview = nullptr;

    // Starts the program over the peer's windows, the view on the top-left screen, so that
    // screen and virtual positions agree.
    void begin(SettingsRecord s = {}) {
        s.columns = 3;
        s.rows = 2;
        s.startPosition = u'7';
        setCursor(0, 600); // on an edge the view cannot go past, for waitInputReady
        run.prepare(settingsBytes(s));
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(peer.waitForHook());
        ASSERT_TRUE(run.waitInputReady());
        setCursor(600, 300);
    }
    bool open() {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 165, 0, SMTO_BLOCK, 5000, &r);
        return waitShown();
    }
    bool waitShown(DWORD timeoutMs = 5000) {
        return waitUntil(
            [&] {
                overview = findWindowOfProcess(run.proc.pid, L"OVLOutline");
                return overview && IsWindowVisible(overview);
            },
            timeoutMs);
    }
    bool waitClosed(DWORD timeoutMs = 3000) {
        return waitUntil([&] { return !IsWindow(overview); }, timeoutMs);
    }
    // A window move under way: the overview holds the mouse capture.
    bool carrying() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return waitUntil(
            [&] {
                return GetGUIThreadInfo(GetWindowThreadProcessId(overview, nullptr), &info) &&
                       info.hwndCapture == overview;
            },
            2000);
    }
    // The client area above the status bar.
    Size picture() const {
        RECT c{}, bar{};
        GetClientRect(overview, &c);
        GetWindowRect(GetDlgItem(overview, 102), &bar);
        POINT top{bar.left, bar.top};
        ScreenToClient(overview, &top);
        return {c.right, top.y};
    }
    POINT screenOf(Point client) const {
        POINT p{client.x, client.y};
        ClientToScreen(overview, &p);
        return p;
    }
    // The picture point of a virtual point (the view at the origin).
    Point pictureAt(int x, int y) const { return pictureOf(Point{x, y}, {0, 0}, picture(), kArea); }

    // After a quiet period: each window at its virtual place seen from `view`, and the
    // window in front is `front` (or, for null, lies in the view: the desktop).
    void expectSettled(const std::vector<std::pair<HWND, POINT>>& places, POINT view, HWND front,
                       const char* what) {
        pumpFor(2000);
        for (const auto& [w, at] : places) {
            const RECT r = rectOf(w);
            EXPECT_EQ(r.left, at.x - view.x) << what;
            EXPECT_EQ(r.top, at.y - view.y) << what;
        }
        const HWND now = GetForegroundWindow();
        if (front) {
            EXPECT_EQ(now, front) << what;
            return;
        }
        const RECT r = rectOf(now);
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_TRUE(centre.x >= 0 && centre.x < 1024 && centre.y >= 0 && centre.y < 768)
            << what << ": the window in front lies off the view";
    }
};

TEST_F(OverviewTest, OpensOnTheViewRightClickPutsThePointerBackLeftClickJumps) {
    const wchar_t* names[] = {L"editor", L"mail", L"terminal", L"notes", L"browser", L"player"};
    const RECT places[] = {{60, 60, 460, 360},     {300, 200, 700, 500},  {1100, 80, 1600, 420},
                           {2200, 300, 2700, 600}, {200, 900, 800, 1300}, {1300, 1000, 1700, 1300}};
    ASSERT_TRUE(peer.start());
    HWND windows[6];
    for (int i = 0; i < 6; ++i) {
        const RECT& r = places[i];
        windows[i] = peer.create(r.left, r.top, r.right - r.left, r.bottom - r.top, names[i]);
    }
    ASSERT_NO_FATAL_FAILURE(begin());

    ASSERT_TRUE(open());
    // The pointer lands in the middle of the view's outline (the view is the first cell).
    const Size pic = picture();
    EXPECT_TRUE(cursorAt(screenOf({pic.w / 3 / 2, pic.h / 2 / 2})));
    pumpFor(300);
    shot(L"overview_coarse.png");

    const POINT middle = screenOf({pic.w / 3 / 2, pic.h / 2 / 2});
    mouseAt(middle, MOUSEEVENTF_RIGHTDOWN);
    mouseAt(middle, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(waitClosed());
    EXPECT_TRUE(cursorAt({600, 300}));

    // A left click on the third column, second row: the view centres there, snapped.
    ASSERT_TRUE(open());
    const Point click{pic.w * 5 / 6, pic.h * 3 / 4};
    const Point origin = jumpOrigin(click, picture(), kArea, true);
    ASSERT_EQ(origin.x, 2048);
    const POINT at = screenOf(click);
    mouseAt(at, MOUSEEVENTF_LEFTDOWN);
    mouseAt(at, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(waitClosed());
    EXPECT_TRUE(waitForCorner(windows[0], 60 - origin.x, 60 - origin.y))
        << rectOf(windows[0]).left << "," << rectOf(windows[0]).top;
    EXPECT_TRUE(run.stop());
}

TEST_F(OverviewTest, MiddleDragCarriesAWindowAndItsDialogToTheTopAndStopsAtTheEdges) {
    ASSERT_TRUE(peer.start());
    HWND one = peer.create(100, 100, 400, 300, L"one");
    HWND dialog = peer.create(140, 160, 200, 120, L"dialog of one", kTrackDialog, one);
    HWND two = peer.create(300, 150, 400, 300, L"two");
    HWND three = peer.create(2800, 1200, 150, 200, L"three");
    ASSERT_TRUE(one && dialog && two && three);
    SettingsRecord fine;
    fine.coarseOverview = 0;
    ASSERT_NO_FATAL_FAILURE(begin(fine));
    ASSERT_TRUE(open());
    pumpFor(300);
    shot(L"overview_fine.png");

    // Carry "one" by a part that "two" does not cover, up and left past the area's ends
    // (the pointer stays over the overview: under Wine the capture does not reach beyond
    // it): it stops at virtual 0, and its dialog follows by the same distance.
    const POINT grab = screenOf(pictureAt(180, 200));
    mouseAt(grab, MOUSEEVENTF_MIDDLEDOWN);
    EXPECT_TRUE(carrying());
    moveRelative(-20, -30);
    mouseAt({grab.x - 20, grab.y - 30}, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(waitForCorner(one, 0, 0)) << rectOf(one).left << "," << rectOf(one).top;
    EXPECT_TRUE(waitForCorner(dialog, 40, 60));
    bool oneFirst = false;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == one || w == two) {
            oneFirst = w == one;
            break;
        }
    EXPECT_TRUE(oneFirst) << "the carried window did not come to the top";

    // Past the right and bottom ends it stops at the area's far edges.
    const POINT farEnd = screenOf(pictureAt(2870, 1300));
    mouseAt(farEnd, MOUSEEVENTF_MIDDLEDOWN);
    EXPECT_TRUE(carrying());
    moveRelative(30, 40);
    mouseAt({farEnd.x + 30, farEnd.y + 40}, MOUSEEVENTF_MIDDLEUP);
    EXPECT_TRUE(waitForCorner(three, 3072 - 150, 1536 - 200));
    EXPECT_TRUE(IsWindowVisible(overview));
    EXPECT_TRUE(run.stop());
}

TEST_F(OverviewTest, AClickOutsideClosesItAndLeavingItFadesItOut) {
    ASSERT_TRUE(peer.start());
    ASSERT_NO_FATAL_FAILURE(begin());
    ASSERT_TRUE(open());
    RECT r{};
    GetWindowRect(overview, &r);
    // Outside, over no window: the leave fade could not close it this soon (5 s at least).
    const POINT outside{r.right + 40, r.bottom + 40};
    mouseAt(outside, MOUSEEVENTF_LEFTDOWN);
    const double clicked = nowMs();
    mouseAt(outside, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(waitClosed(4000));
    EXPECT_LT(nowMs() - clicked, 4000);

    setCursor(600, 300);
    ASSERT_TRUE(open());
    setCursor(r.right + 40, r.bottom + 40);
    const double left = nowMs();
    const auto fading = [&] {
        return (GetWindowLongW(overview, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    };
    ASSERT_TRUE(waitUntil(fading, 8000));
    // Back over it: opaque again, then out for good.
    setCursor(600, 300);
    EXPECT_TRUE(waitUntil([&] { return !fading(); }, 3000));
    setCursor(r.right + 40, r.bottom + 40);
    EXPECT_TRUE(waitClosed(15000));
    EXPECT_GT(nowMs() - left, 5000);
    EXPECT_TRUE(run.stop());
}

TEST_F(OverviewTest, AnEdgePushOpensItInOverviewModeAndFurtherPushesDoNothing) {
    ASSERT_TRUE(peer.start());
    HWND one = peer.create(300, 100, 300, 200, L"one");
    SettingsRecord s;
    s.moveDisplay = u'o';
    ASSERT_NO_FATAL_FAILURE(begin(s));
    setCursor(1023, 600);
    moveRelative(7, 0);
    ASSERT_TRUE(waitShown());
    const HWND first = overview;
    setCursor(1023, 600);
    moveRelative(30, 0);
    moveRelative(30, 0);
    ASSERT_TRUE(run.barrier());
    pumpFor(300);
    EXPECT_EQ(findWindowOfProcess(run.proc.pid, L"OVLOutline"), first);
    const RECT now = rectOf(one);
    EXPECT_EQ(now.left, 300) << "the view moved";
    EXPECT_TRUE(run.stop());
}

TEST_F(OverviewTest, ItsSizeSurvivesARestartAndExitKeepsMovementOnInTheFile) {
    ASSERT_TRUE(peer.start());
    ASSERT_NO_FATAL_FAILURE(begin());
    ASSERT_TRUE(open());
    SetWindowPos(overview, nullptr, 100, 100, 620, 310, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(waitUntil([&] {
        const RECT r = rectOf(overview);
        return r.right - r.left == 620 && r.bottom - r.top == 310;
    }));
    // Ending the program with the overview open: its size is saved, movement stays on.
    ASSERT_TRUE(run.stop());
    const auto bytes = readFile(run.settingsPath());
    ASSERT_EQ(bytes.size(), 84u);
    std::array<std::uint8_t, kSettingsFileBytes> raw{};
    std::copy(bytes.begin(), bytes.end(), raw.begin());
    const SettingsRecord saved = decodeSettings(settingsImageFromBytes(raw));
    EXPECT_EQ(saved.overviewWidth, 620);
    EXPECT_EQ(saved.overviewHeight, 310);
    EXPECT_EQ(saved.scrollEnabled, 1);
    EXPECT_EQ(saved.trackWhenOff, 1);

    ASSERT_TRUE(run.start());
    setCursor(600, 300);
    ASSERT_TRUE(open());
    const RECT r = rectOf(overview);
    EXPECT_EQ(r.right - r.left, 620);
    EXPECT_EQ(r.bottom - r.top, 310);
    EXPECT_TRUE(run.stop());
}

// The user works in one window; the overview closes by a right click, by a left click on
// a far cell and by resting over another cell. Each time the view stays where the close
// left it, and a window in that view is in front: the user's own, else the topmost there.
TEST_F(OverviewTest, ItsClosesLeaveTheViewWhereTheyPutItWithAWindowOfItInFront) {
    ASSERT_TRUE(peer.start());
    const POINT workAt{100, 100}, sideAt{1124, 100}, farAt{2148, 868};
    HWND work = peer.create(workAt.x, workAt.y, 400, 300, L"work");
    HWND side = peer.create(sideAt.x, sideAt.y, 400, 300, L"side");
    HWND distant = peer.create(farAt.x, farAt.y, 400, 300, L"far");
    ASSERT_TRUE(work && side && distant);
    const std::vector<std::pair<HWND, POINT>> places{
        {work, workAt}, {side, sideAt}, {distant, farAt}};
    const DoubleClickTime quick(100); // the idle jump: 1 s of rest, then 1 s of fading
    ASSERT_NO_FATAL_FAILURE(begin());
    ASSERT_TRUE(peer.activate(work));
    ASSERT_TRUE(run.barrier());

    ASSERT_TRUE(open());
    const Size pic = picture();
    const POINT middle = screenOf({pic.w / 3 / 2, pic.h / 2 / 2});
    mouseAt(middle, MOUSEEVENTF_RIGHTDOWN);
    mouseAt(middle, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(waitClosed());
    expectSettled(places, {0, 0}, work, "right click");

    setCursor(600, 300);
    ASSERT_TRUE(open());
    const Point farCell{pic.w * 5 / 6, pic.h * 3 / 4};
    const Point jumped = jumpOrigin(farCell, picture(), kArea, true);
    ASSERT_EQ(jumped.x, 2048);
    ASSERT_EQ(jumped.y, 768);
    mouseAt(screenOf(farCell), MOUSEEVENTF_LEFTDOWN);
    mouseAt(screenOf(farCell), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(waitClosed());
    expectSettled(places, {jumped.x, jumped.y}, distant, "left click");

    setCursor(600, 300);
    ASSERT_TRUE(open());
    const Point sideCell{pic.w / 2, pic.h / 4};
    const Point rested = jumpOrigin(sideCell, picture(), kArea, true);
    ASSERT_EQ(rested.x, 1024);
    ASSERT_EQ(rested.y, 0);
    mouseAt(screenOf(sideCell), 0);
    ASSERT_TRUE(waitClosed(8000));
    expectSettled(places, {rested.x, rested.y}, side, "idle jump");
    EXPECT_TRUE(run.stop());
}

// Right after start the system would hand the activation of a closing settings dialog or
// exclusion window to another program's window, here one on another real screen.
TEST_F(OverviewTest, ClosingTheSettingsDialogOrTheExclusionWindowMovesNothing) {
    ASSERT_TRUE(peer.start());
    const POINT eastAt{1124, 100}, southAt{100, 868};
    HWND east = peer.create(eastAt.x, eastAt.y, 400, 300, L"east");
    HWND south = peer.create(southAt.x, southAt.y, 400, 300, L"south");
    ASSERT_TRUE(east && south);
    const std::vector<std::pair<HWND, POINT>> places{{east, eastAt}, {south, southAt}};
    ASSERT_NO_FATAL_FAILURE(begin());

    // The command's window, once it is in front.
    const auto openInFront = [&](WPARAM command, const wchar_t* cls) -> HWND {
        DWORD_PTR r = 0;
        SendMessageTimeoutW(run.mainWindow, WM_COMMAND, command, 0, SMTO_BLOCK, 5000, &r);
        HWND w = nullptr;
        waitUntil([&] {
            w = findWindowOfProcess(run.proc.pid, cls);
            return w && GetForegroundWindow() == w;
        });
        return w && GetForegroundWindow() == w ? w : nullptr;
    };
    const HWND dialog = openInFront(104, L"#32770");
    ASSERT_TRUE(dialog) << "the dialog is not in front";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); // "閉じる"
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); }));
    expectSettled(places, {0, 0}, nullptr, "settings dialog");

    const HWND list = openInFront(130, L"ZerdaneExceptionListWndCls");
    ASSERT_TRUE(list) << "the exclusion window is not in front";
    PostMessageW(list, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(list); }));
    expectSettled(places, {0, 0}, nullptr, "exclusion window");
    EXPECT_TRUE(run.stop());
}

} // namespace
