// The other inputs of the main job: the wheel over the desktop, the lock key and Ctrl-hold
// switches with their settings file, and the exclusion list keeping a window in place.
#include "edge_fixture.h"

#include "exclusion/exclusion_codec.h"

extern "C" BOOL WINAPI SetShellWindow(HWND);

using namespace e2e;

namespace {

int movementByte(const OrvalisRun& run) {
    const auto bytes = readFile(run.settingsPath());
    return bytes.size() == 84 ? bytes[0] : -1;
}

TEST_F(EdgeTest, ExcludedWindowStaysWhileOthersMove) {
    const std::vector<ExclusionEntry> rules = {{L"OrvPeerWindow", kNoImageIndex, L"A"}};
    const auto file = encodeExclusionFile(rules);
    ASSERT_NO_FATAL_FAILURE(begin(centred(), {0, 600}, std::vector<unsigned char>(file.begin(), file.end())));
    moveRelative(-9, 0);
    ASSERT_TRUE(waitUntil([&] { return movedX(L"B", b0) == 9; }, 3000));
    settle();
    EXPECT_EQ(movedX(L"A", a0), 0);
}

TEST_F(EdgeTest, CtrlHoldSwitchesMovementAndRewritesTheFile) {
    SettingsRecord s = centred();
    s.scrollEnabled = 0;
    s.ctrlHoldMode = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    moveRelative(-5, 0);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 0) << "moved while movement was off";

    keyDown(VK_CONTROL);
    ASSERT_TRUE(waitUntil([&] { return movementByte(run) == '1'; }, 3000));
    moveRelative(-5, 0);
    EXPECT_TRUE(waitMovedX(5));
    keyUp(VK_CONTROL);
    ASSERT_TRUE(waitUntil([&] { return movementByte(run) == '0'; }, 3000));
    moveRelative(-5, 0);
    settle();
    EXPECT_EQ(movedX(L"A", a0), 5);
}

TEST_F(EdgeTest, ScrollLockSwitchesMovementAndRewritesTheFile) {
    // Whatever the lock's state now, each tap must flip movement and the file with it.
    ASSERT_NO_FATAL_FAILURE(begin(centred()));
    const int first = movementByte(run);
    keyTap(VK_SCROLL);
    ASSERT_TRUE(waitUntil([&] {
        const int b = movementByte(run);
        return b != -1 && b != first;
    }, 3000)) << "the Scroll Lock tap did not switch movement";
    const int second = movementByte(run);
    keyTap(VK_SCROLL);
    ASSERT_TRUE(waitUntil([&] {
        const int b = movementByte(run);
        return b != -1 && b != second;
    }, 3000));
    // A lit lock means movement off: after two taps the lock is back where it began.
    const bool lit = (GetKeyState(VK_SCROLL) & 1) != 0;
    EXPECT_EQ(movementByte(run), lit ? '0' : '1');
    // Caps Lock is not the chosen key: nothing changes.
    const int before = movementByte(run);
    keyTap(VK_CAPITAL);
    settle();
    EXPECT_EQ(movementByte(run), before);
    keyTap(VK_CAPITAL);
}

volatile LONG pointerMoving;

DWORD WINAPI movePointerSteadily(void*) {
    for (int i = 0; pointerMoving; ++i)
        moveRelative(i % 2 ? 3 : -3, 0);
    return 0;
}

// The loop waits on the pointer first: under steady motion it must still answer its
// messages, about thirty times a second.
TEST_F(EdgeTest, SteadyPointerMotionDoesNotStarveTheMessages) {
    SettingsRecord s = centred();
    s.scrollEnabled = 0; // motion only, no view shifts
    ASSERT_NO_FATAL_FAILURE(begin(s));
    setCursor(500, 400);
    settle();
    pointerMoving = 1;
    HANDLE mover = CreateThread(nullptr, 0, movePointerSteadily, nullptr, 0, nullptr);
    ASSERT_TRUE(mover);
    // Each round trip waits for the next turn of the queue: a loaded machine answers it
    // late, a loop the pointer holds never does.
    int answered = 0;
    while (answered < 10 && run.barrier(2000))
        ++answered;
    pointerMoving = 0;
    WaitForSingleObject(mover, 5000);
    CloseHandle(mover);
    EXPECT_EQ(answered, 10) << "round trips answered during motion";
}

// A window of this process made the shell and brought to the front, as the desktop is
// when the user turns the wheel over it. Small and away from the pointer, so that its
// coming and going is no pointer motion.
struct ShellStandIn {
    HWND window = nullptr;
    ShellStandIn() {
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP | WS_VISIBLE, 1000, 10,
                                 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetShellWindow(window);
        SetForegroundWindow(window);
        waitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    }
    ~ShellStandIn() { DestroyWindow(window); }
};

// A taskbar of this process at the bottom right, (800, 700) to (1000, 740), whose right
// half is its notification area. Shown without taking the front.
struct TaskbarStandIn {
    HWND bar = nullptr;
    HWND tray = nullptr;
    TaskbarStandIn() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&wc);
        wc.lpszClassName = L"TrayNotifyWnd";
        RegisterClassW(&wc);
        bar = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"Shell_TrayWnd",
                              L"", WS_POPUP, 800, 700, 200, 40, nullptr, nullptr, nullptr, nullptr);
        tray = CreateWindowExW(0, L"TrayNotifyWnd", L"", WS_CHILD | WS_VISIBLE, 100, 0, 100, 40, bar,
                               nullptr, nullptr, nullptr);
        ShowWindow(bar, SW_SHOWNOACTIVATE);
    }
    ~TaskbarStandIn() { DestroyWindow(bar); }
};

void middleButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    SendInput(1, &in, sizeof(in));
}

bool pointerPinnedAt(int x, int y) {
    RECT clip{};
    return GetClipCursor(&clip) && clip.left == x && clip.top == y && clip.right == x + 1 &&
           clip.bottom == y + 1;
}

// A middle press over the taskbar pins the pointer, whose motion then drags the view with
// no edge needed; a release after a drag frees it, a click without one keeps it pinned
// until another button.
TEST_F(EdgeTest, MiddleButtonGrabOverTheTaskbarDragsTheView) {
    ASSERT_NO_FATAL_FAILURE(begin(centred()));
    TaskbarStandIn bar;
    ASSERT_TRUE(bar.bar);
    setCursor(850, 720);
    ASSERT_TRUE(waitUntil([&] { return WindowFromPoint({850, 720}) == bar.bar; }, 2000));
    settle();
    middleButton(true);
    ASSERT_TRUE(waitUntil([&] { return pointerPinnedAt(850, 720); }, 3000));
    moveRelative(-30, 0);
    ASSERT_TRUE(waitMovedX(30)) << "moved " << movedX(L"A", a0);
    middleButton(false);
    EXPECT_TRUE(waitUntil([&] { return !pointerPinnedAt(850, 720); }, 3000));

    middleClick();
    ASSERT_TRUE(waitUntil([&] { return pointerPinnedAt(850, 720); }, 3000));
    settle();
    EXPECT_TRUE(pointerPinnedAt(850, 720)) << "a click without a drag let the pointer go";
    INPUT left[2] = {};
    left[0].type = left[1].type = INPUT_MOUSE;
    left[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    left[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, left, sizeof(INPUT));
    EXPECT_TRUE(waitUntil([&] { return !pointerPinnedAt(850, 720); }, 3000));
}

void wheel(int delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.mouseData = static_cast<DWORD>(delta);
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &in, sizeof(in));
}

TEST_F(EdgeTest, WheelScrollsOverTheDesktopOnly) {
    SettingsRecord s = centred();
    s.trackByScreen = 0; // bringing a window to the front must not move the view here
    s.trackLevel = 0;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    setCursor(500, 650);
    settle();
    // An ordinary window in front: the wheel belongs to it.
    SetForegroundWindow(peer.find(L"B"));
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == peer.find(L"B"); }, 2000));
    wheel(-120);
    settle();
    EXPECT_EQ(movedY(L"A", a0), 0);
    EXPECT_EQ(movedX(L"A", a0), 0);

    ShellStandIn shell;
    if (GetShellWindow() != shell.window) GTEST_SKIP() << "another shell owns the desktop";
    ASSERT_EQ(GetForegroundWindow(), shell.window);
    // Turning the wheel toward the user (negative) scrolls the view down.
    wheel(-120);
    ASSERT_TRUE(waitUntil([&] { return movedY(L"A", a0) == -120; }, 3000))
        << "moved " << movedY(L"A", a0);
    EXPECT_EQ(movedY(L"B", b0), -120);
    EXPECT_EQ(movedX(L"A", a0), 0);
    // With Shift the same turn scrolls sideways.
    keyDown(VK_SHIFT);
    wheel(-120);
    const bool sideways = waitUntil([&] { return movedX(L"A", a0) == -120; }, 3000);
    keyUp(VK_SHIFT);
    EXPECT_TRUE(sideways) << "moved " << movedX(L"A", a0);
    EXPECT_EQ(movedY(L"A", a0), -120);

    // Over the notification area the wheel belongs to its icons, whatever is in front.
    TaskbarStandIn bar;
    ASSERT_TRUE(bar.tray);
    setCursor(950, 720);
    ASSERT_TRUE(waitUntil([&] { return WindowFromPoint({950, 720}) == bar.tray; }, 2000));
    settle();
    wheel(-120);
    settle();
    EXPECT_EQ(movedY(L"A", a0), -120) << "the wheel over the notification area moved the view";
    EXPECT_EQ(movedX(L"A", a0), -120);
}

} // namespace
