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
}

} // namespace
