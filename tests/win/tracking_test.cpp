// The tracking handlers and the arrangement moves called directly on windows of this
// process: the pseudo-maximize and its restore (Wine refuses placement changes across
// processes, so this is where it is shown), the activation filters, the minimized-window
// lists, the put-back of a restored window, Shift centring and owned windows following.
// The hook never reports windows of the program itself; the handlers do not care.
#include "core/app.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/view.h"
#include "hook/packed_position.h"
#include "mainwnd/arrange.h"
#include "mainwnd/tracking.h"
#include "mainwnd/window_lists.h"

#include "screenshot.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClass[] = L"TrackingTestWindow";

// What the window procedure answers to WM_GETMINMAXINFO, and what it was asked.
struct MinMaxAnswer {
    bool custom = false;
    POINT maxSize{};
    POINT maxPosition{};
    int asked = 0;
    MINMAXINFO question{};
};
MinMaxAnswer answer;

LRESULT CALLBACK testProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Only the handler's own query arrives through SendMessageW from outside the window
    // manager's sizing; the system's queries come while the window is being sized and are
    // told apart by their non-zero tracking sizes.
    if (msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info->ptMaxTrackSize.x == 0 && info->ptMaxTrackSize.y == 0) {
            ++answer.asked;
            answer.question = *info;
            if (answer.custom) {
                info->ptMaxSize = answer.maxSize;
                info->ptMaxPosition = answer.maxPosition;
            }
            return 0;
        }
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

Rect rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.left, r.top, r.right, r.bottom};
}

Rect normalOf(HWND w) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(w, &wp);
    return {wp.rcNormalPosition.left, wp.rcNormalPosition.top, wp.rcNormalPosition.right,
            wp.rcNormalPosition.bottom};
}

Rect savedOf(HWND w) {
    RECT r{-1, -1, -1, -1};
    findSavedNormalRect(w, r);
    return {r.left, r.top, r.right, r.bottom};
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

struct TrackingTest : ::testing::Test {
    std::vector<HWND> windows;
    RECT wa{};
    int waW = 0, waH = 0;

    static void SetUpTestSuite() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = testProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
        wc.lpszClassName = kClass;
        RegisterClassW(&wc);
        wc.lpszClassName = L"IEFrame";
        RegisterClassW(&wc);
    }

    void SetUp() override {
        resetAppState();
        ownProcessId = GetCurrentProcessId();
        resetWindowLists();
        resetTracking();
        answer = MinMaxAnswer{};
        Settings = SettingsRecord{};
        Settings.scrollEnabled = 0; // no new-window placement unless a test asks for it
        Settings.trackWhenOff = 1;
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
        WorkArea = {wa.left, wa.top, wa.right, wa.bottom};
        waW = wa.right - wa.left;
        waH = wa.bottom - wa.top;
        ViewOrigin = {0, 0};
        lastStep = {7, 7};
    }

    void TearDown() override {
        for (HWND w : windows)
            if (IsWindow(w))
                DestroyWindow(w);
        pump();
        resetWindowLists();
        resetTracking();
    }

    HWND make(int x, int y, int w, int h, const wchar_t* title, DWORD style = WS_OVERLAPPEDWINDOW,
              HWND owner = nullptr, const wchar_t* cls = kClass, DWORD exStyle = 0) {
        HWND hwnd = CreateWindowExW(exStyle, cls, title, style, x, y, w, h, owner, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        EXPECT_TRUE(hwnd);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        windows.push_back(hwnd);
        return hwnd;
    }

    // The maximized rectangle as a window can take it: Wine's maximized height exceeds
    // the tracking limit that every sizing is cut to.
    Rect maximized() const {
        const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
        const int w = std::min(GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CXMAXTRACK));
        const int h = std::min(GetSystemMetrics(SM_CYMAXIMIZED), GetSystemMetrics(SM_CYMAXTRACK));
        return {-fx, -fy, -fx + w, -fy + h};
    }
};

TEST_F(TrackingTest, PseudoMaximizeThenSecondRequestRestores) {
    HWND w = make(100, 100, 400, 300, L"pseudo");
    onHookMaximize(w);
    // The query came pre-filled with the system's maximized geometry, nothing else.
    ASSERT_EQ(answer.asked, 1);
    EXPECT_EQ(answer.question.ptMaxSize.x, GetSystemMetrics(SM_CXMAXIMIZED));
    EXPECT_EQ(answer.question.ptMaxSize.y, GetSystemMetrics(SM_CYMAXIMIZED));
    EXPECT_EQ(answer.question.ptMaxPosition.x, -GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(answer.question.ptMaxPosition.y, -GetSystemMetrics(SM_CYFRAME));
    EXPECT_EQ(answer.question.ptMinTrackSize.x, 0);
    EXPECT_EQ(answer.question.ptReserved.y, 0);
    // A normal window of maximized size and position, still movable.
    EXPECT_FALSE(IsZoomed(w));
    EXPECT_EQ(normalOf(w), maximized());
    EXPECT_EQ(rectOf(w), maximized());
    EXPECT_EQ(savedOf(w), (Rect{100, 100, 500, 400}));
    pump();
    screenshot(L"pseudo_maximize.bmp");

    onHookMaximize(w);
    EXPECT_EQ(normalOf(w), (Rect{100, 100, 500, 400}));
    EXPECT_EQ(rectOf(w), (Rect{100, 100, 500, 400}));
    pump();
    screenshot(L"pseudo_restore.bmp");
}

TEST_F(TrackingTest, RestorePushesTheEarlierRectangleInsideTheWorkArea) {
    HWND w = make(100, 100, 400, 300, L"pushed");
    // The window was moved partly out of the work area before the maximize request.
    SetWindowPos(w, nullptr, waW - 150, waH - 100, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    onHookMaximize(w);
    EXPECT_EQ(rectOf(w), maximized());
    // The record was made at the first request from the rectangle then.
    EXPECT_EQ(savedOf(w), (Rect{waW - 150, waH - 100, waW + 250, waH + 200}));
    onHookMaximize(w);
    EXPECT_EQ(normalOf(w), (Rect{waW - 400, waH - 300, waW, waH}));
    EXPECT_EQ(rectOf(w), (Rect{waW - 400, waH - 300, waW, waH}));

    // Moved out at the top-left and maximized again: the record follows the window.
    SetWindowPos(w, nullptr, -120, -80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    onHookMaximize(w);
    EXPECT_EQ(savedOf(w), (Rect{-120, -80, 280, 220}));
    onHookMaximize(w);
    EXPECT_EQ(rectOf(w), (Rect{0, 0, 400, 300}));
}

TEST_F(TrackingTest, PseudoMaximizeTakesTheWindowsOwnAnswer) {
    answer.custom = true;
    answer.maxSize = {600, 500};
    answer.maxPosition = {30, 40};
    HWND w = make(100, 100, 400, 300, L"own answer");
    onHookMaximize(w);
    EXPECT_EQ(rectOf(w), (Rect{30, 40, 630, 540}));
    onHookMaximize(w);
    EXPECT_EQ(rectOf(w), (Rect{100, 100, 500, 400}));
}

TEST_F(TrackingTest, AWindowAlreadyOfMaximizedSizeGoesBackToTheWholeWorkArea) {
    const Rect m = maximized();
    HWND w = make(m.left, m.top, m.right - m.left, m.bottom - m.top, L"born big");
    ASSERT_EQ(rectOf(w), m);
    // No record yet: the first request records the maximized-size rectangle itself and,
    // finding the window already at that size, restores to the work area.
    onHookMaximize(w);
    EXPECT_EQ(normalOf(w), (Rect{0, 0, waW, waH}));
    EXPECT_EQ(savedOf(w), m);
}

TEST_F(TrackingTest, OneByOneAreaLeavesMaximizeAlone) {
    Settings.columns = Settings.rows = 1;
    HWND w = make(100, 100, 400, 300, L"one by one");
    onHookMaximize(w);
    EXPECT_EQ(answer.asked, 0);
    EXPECT_EQ(rectOf(w), (Rect{100, 100, 500, 400}));
    EXPECT_EQ(savedOf(w), (Rect{-1, -1, -1, -1}));
}

TEST_F(TrackingTest, MinimizeRecordsTheVirtualPlaceAndDestroyForgetsEverything) {
    HWND w = make(100, 100, 300, 200, L"lists");
    HWND other = make(150, 150, 300, 200, L"other");
    ShowWindow(w, SW_SHOWMINNOACTIVE);
    ShowWindow(other, SW_SHOWMINNOACTIVE);
    Settings.columns = Settings.rows = 3;
    ViewOrigin = {1024, 768};
    onHookMinimize(w, -20, 30);
    onHookMinimize(w, -40, 50); // a new minimize replaces the value
    onHookMinimize(other, 5, 6);
    addKnownWindow(w);
    addKnownWindow(other);
    saveNormalRect(w, RECT{1, 2, 3, 4});
    std::uint32_t packed = 0;
    ASSERT_TRUE(takeMinimizedPosition(w, packed));
    EXPECT_EQ(unpackPosition(packed), (PackedPoint{984, 818}));
    EXPECT_FALSE(takeMinimizedPosition(w, packed)); // consumed
    onHookMinimize(w, -1100, -800);                 // virtual (−76, −32): brought into the area
    ASSERT_TRUE(takeMinimizedPosition(w, packed));
    EXPECT_EQ(unpackPosition(packed), (PackedPoint{0, 0}));
    onHookMinimize(w, 0, 0);

    // A destroy report of some child window changes nothing.
    onHookDestroy(reinterpret_cast<HWND>(0x1234));
    EXPECT_TRUE(isKnownWindow(w));
    onHookDestroy(w);
    EXPECT_FALSE(isKnownWindow(w));
    EXPECT_FALSE(takeMinimizedPosition(w, packed));
    RECT r;
    EXPECT_FALSE(findSavedNormalRect(w, r));
    // The other window's entries stay.
    EXPECT_TRUE(isKnownWindow(other));
    ASSERT_TRUE(takeMinimizedPosition(other, packed));
    EXPECT_EQ(unpackPosition(packed), (PackedPoint{1029, 774}));

    // A window gone without a report (its program ended) leaves the lists at the next tidy;
    // a live one stays.
    HWND live = make(200, 200, 300, 200, L"live");
    for (HWND x : {other, live}) {
        addKnownWindow(x);
        setMinimizedPosition(x, 5);
        saveNormalRect(x, RECT{1, 2, 3, 4});
    }
    DestroyWindow(other);
    forgetGoneWindows();
    EXPECT_EQ(countKnownWindows().entries, 1);
    EXPECT_EQ(countMinimizedPositions().entries, 1);
    EXPECT_EQ(countSavedNormalRects().entries, 1);
    EXPECT_TRUE(isKnownWindow(live));
    EXPECT_TRUE(findSavedNormalRect(live, r));
}

TEST_F(TrackingTest, ActivationFiltersAndTheFirstSightOfAWindow) {
    HWND a = make(100, 100, 300, 200, L"alpha");
    onHookActivate(a);
    EXPECT_EQ(lastActivated, a);
    EXPECT_TRUE(isKnownWindow(a));

    // A report naming no window leaves the window in front as it is.
    onHookActivate(nullptr);
    EXPECT_EQ(lastActivated, a);
    // Nor does the report of a window destroyed before it arrived.
    HWND gone = make(110, 110, 100, 100, L"gone");
    DestroyWindow(gone);
    onHookActivate(gone);
    EXPECT_EQ(lastActivated, a);

    // A dialog box of the same thread as the window in front: ignored entirely.
    HWND dialog = make(120, 120, 200, 100, L"開く", WS_POPUP | WS_CAPTION, nullptr, L"#32770");
    onHookActivate(dialog);
    EXPECT_EQ(lastActivated, a);
    EXPECT_FALSE(isKnownWindow(dialog));

    // A window owned by alpha counts as alpha, which is already the last one.
    HWND owned = make(130, 130, 200, 100, L"owned", WS_POPUP | WS_CAPTION, a);
    resetWindowLists();
    onHookActivate(owned);
    EXPECT_FALSE(isKnownWindow(a)); // stopped before the list was consulted
    resetTracking();
    onHookActivate(owned);
    EXPECT_EQ(lastActivated, a);
    EXPECT_TRUE(isKnownWindow(a));
    EXPECT_FALSE(isKnownWindow(owned));

    // The magnifier is ignored even with no window in front.
    HWND magnifier = make(0, 0, 200, 100, L"拡大鏡", WS_POPUP | WS_CAPTION, nullptr, L"#32770");
    resetTracking();
    onHookActivate(magnifier);
    EXPECT_EQ(lastActivated, nullptr);
    // So is a disabled tool window of class "IEFrame"; an enabled one is not.
    HWND frame = make(0, 0, 200, 100, L"frame", WS_POPUP | WS_CAPTION | WS_DISABLED, nullptr,
                      L"IEFrame", WS_EX_TOOLWINDOW);
    onHookActivate(frame);
    EXPECT_EQ(lastActivated, nullptr);
    EnableWindow(frame, TRUE);
    onHookActivate(frame);
    EXPECT_EQ(lastActivated, frame);
    EXPECT_TRUE(isKnownWindow(frame));

    // Untitled windows become the last activated but are never entered.
    HWND untitled = make(0, 0, 200, 100, L"", WS_POPUP);
    onHookActivate(untitled);
    EXPECT_EQ(lastActivated, untitled);
    EXPECT_FALSE(isKnownWindow(untitled));

    // On a 1 × 1 area nothing is entered either.
    Settings.columns = Settings.rows = 1;
    HWND b = make(200, 200, 300, 200, L"beta");
    onHookActivate(b);
    EXPECT_EQ(lastActivated, b);
    EXPECT_FALSE(isKnownWindow(b));
}

// Holds Shift down through SendInput for the lifetime of the object.
struct ShiftHeld {
    static void key(DWORD flags) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = VK_SHIFT;
        // Wine keeps a key without its scan code out of the asynchronous key state.
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = flags;
        SendInput(1, &in, sizeof(in));
    }
    bool down = false;
    // Wine drops the first keyboard input of a process: press again until it shows.
    ShiftHeld() {
        for (int attempt = 0; attempt < 5 && !down; ++attempt) {
            key(0);
            for (DWORD start = GetTickCount(); GetTickCount() - start < 400;) {
                pump();
                if (GetAsyncKeyState(VK_SHIFT) < 0) {
                    down = true;
                    break;
                }
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
        }
    }
    ~ShiftHeld() {
        key(KEYEVENTF_KEYUP);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 2000;) {
            pump();
            if (GetAsyncKeyState(VK_SHIFT) >= 0)
                break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
};

TEST_F(TrackingTest, ShiftCentresAKnownWindowInsteadOfMovingTheView) {
    HWND k = make(-300, -200, 400, 300, L"off centre");
    HWND huge = make(-50, -60, waW + 300, waH + 200, L"huge");
    addKnownWindow(k);
    addKnownWindow(huge);
    // Keyboard input reaches the key state through the thread in front. Moving a window
    // may bring the X server's key state back, with Shift up: hold it anew each time.
    SetForegroundWindow(k);
    {
        ShiftHeld shift;
        ASSERT_TRUE(shift.down);
        onHookActivate(k);
    }
    {
        ShiftHeld shift;
        ASSERT_TRUE(shift.down);
        onHookActivate(huge);
    }
    EXPECT_EQ(rectOf(k).left, wa.left + (waW - 400) / 2);
    EXPECT_EQ(rectOf(k).top, wa.top + (waH - 300) / 2);
    EXPECT_EQ(rectOf(huge).left, wa.left);
    EXPECT_EQ(rectOf(huge).top, wa.top);
    EXPECT_EQ(lastStep, (Point{7, 7})); // the view did not move
}

TEST_F(TrackingTest, AForgedMinimizeReportMovesNothingAndAddsNothing) {
    // Another process posts the report for a window that is not minimized, with a place
    // far outside the area; the window's next activation must leave it where it is.
    HWND shown = make(300, 200, 300, 200, L"not minimized");
    addKnownWindow(shown);
    onHookMinimize(shown, -30000, 30000);
    onHookActivate(shown);
    EXPECT_EQ(rectOf(shown), (Rect{300, 200, 600, 400}));
    std::uint32_t packed = 0;
    EXPECT_FALSE(findMinimizedPosition(shown, packed));

    // Reports for windows that do not exist leave the list as it was.
    for (std::uintptr_t h = 0x10000; h < 0x10000 + 200 * 4; h += 4)
        onHookMinimize(reinterpret_cast<HWND>(h), 10, 10);
    EXPECT_EQ(countMinimizedPositions().entries, 0);
}

TEST_F(TrackingTest, RestoredWindowGoesBackToItsVirtualPlace) {
    Settings.trackByScreen = 1;
    ViewOrigin = {1024, 0};
    HWND m = make(300, 200, 300, 200, L"restored");
    addKnownWindow(m);
    setMinimizedPosition(m, static_cast<std::uint32_t>(packPosition(1100, 100)));
    onHookActivate(m);
    EXPECT_EQ(rectOf(m).left, 76);
    EXPECT_EQ(rectOf(m).top, 100);
    EXPECT_EQ(lastStep, (Point{0, 0})); // it lies on the current real screen
    std::uint32_t packed = 0;
    EXPECT_FALSE(takeMinimizedPosition(m, packed));

    // Proportional tracking puts it back the same way.
    Settings.trackByScreen = 0;
    Settings.trackLevel = 5;
    resetTracking();
    setMinimizedPosition(m, static_cast<std::uint32_t>(packPosition(1184, 130)));
    onHookActivate(m);
    EXPECT_EQ(rectOf(m).left, 160);
    EXPECT_EQ(rectOf(m).top, 130);
    EXPECT_FALSE(takeMinimizedPosition(m, packed));

    // Level 0 and tracking switched off leave the pair alone.
    Settings.trackLevel = 0;
    resetTracking();
    setMinimizedPosition(m, static_cast<std::uint32_t>(packPosition(1500, 300)));
    onHookActivate(m);
    EXPECT_EQ(rectOf(m).left, 160);
    Settings.trackByScreen = 1;
    Settings.trackWhenOff = 0;
    resetTracking();
    onHookActivate(m);
    EXPECT_EQ(rectOf(m).left, 160);
    EXPECT_TRUE(takeMinimizedPosition(m, packed));
}

TEST_F(TrackingTest, AWindowThatStaysMinimizedIsGivenUpAfterElevenWaits) {
    Settings.trackByScreen = 1;
    HWND m = make(300, 200, 300, 200, L"stays minimized");
    ShowWindow(m, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(m));
    addKnownWindow(m);
    setMinimizedPosition(m, static_cast<std::uint32_t>(packPosition(50, 60)));
    DWORD start = GetTickCount();
    onHookActivate(m);
    EXPECT_GE(GetTickCount() - start, 500u);
    EXPECT_TRUE(IsIconic(m));
    EXPECT_EQ(normalOf(m).left, 300);
    EXPECT_EQ(lastStep, (Point{7, 7}));

    // Once per minimize: the program activating it again costs no further wait.
    start = GetTickCount();
    onHookActivate(m);
    EXPECT_LT(GetTickCount() - start, 300u);
    EXPECT_EQ(lastStep, (Point{7, 7}));
    // A new minimize waits again; the window, restored at last, takes that place.
    onHookMinimize(m, 70, 80);
    start = GetTickCount();
    onHookActivate(m);
    EXPECT_GE(GetTickCount() - start, 500u);
    ShowWindow(m, SW_SHOWNOACTIVATE);
    onHookActivate(m);
    EXPECT_EQ(rectOf(m).left, 70);
    EXPECT_EQ(rectOf(m).top, 80);
}

TEST_F(TrackingTest, AMinimizedWindowIsTrackedWhereItWillStandNotWhereItIsParked) {
    Settings.trackByScreen = 1;
    Settings.columns = 2;
    ViewOrigin = {RealScreenSize.w, 0};
    // Known, minimized, no stored place: its normal rectangle lies on the current screen.
    HWND m = make(300, 200, 300, 200, L"minimized");
    ShowWindow(m, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(m));
    addKnownWindow(m);
    onHookActivate(m);
    EXPECT_EQ(lastStep, (Point{0, 0}));

    // A dialog of an owner that stays minimized: no wait, the owner keeps its place, the
    // view goes to that place, and the dialog stays on the screen (this process's windows
    // stand for another program's, so the shift moves them).
    ownProcessId = 0;
    HWND owner = make(300, 200, 300, 200, L"owner");
    HWND dialog = make(320, 220, 200, 100, L"question", WS_POPUP | WS_CAPTION, owner);
    addKnownWindow(owner);
    ShowWindow(owner, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(owner));
    setMinimizedPosition(owner, static_cast<std::uint32_t>(packPosition(100, 100)));
    const DWORD start = GetTickCount();
    onHookActivate(dialog);
    EXPECT_LT(GetTickCount() - start, 500u);
    std::uint32_t packed = 0;
    EXPECT_TRUE(findMinimizedPosition(owner, packed));
    EXPECT_EQ(lastStep, (Point{-RealScreenSize.w, 0}));
    EXPECT_EQ(rectOf(dialog), (Rect{320, 220, 520, 320}));
    // Its own activation, once restored, still puts it back.
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    onHookActivate(owner);
    EXPECT_FALSE(findMinimizedPosition(owner, packed));
    EXPECT_EQ(rectOf(owner).left, 100);
}

TEST_F(TrackingTest, OwnedWindowsFollowTheMovedWindow) {
    HWND owner = make(100, 100, 400, 300, L"owner");
    HWND shown = make(150, 180, 200, 100, L"shown", WS_POPUP | WS_CAPTION, owner);
    HWND hidden = make(160, 190, 200, 100, L"hidden", WS_POPUP | WS_CAPTION, owner);
    ShowWindow(hidden, SW_HIDE);
    HWND stranger = make(170, 200, 200, 100, L"stranger", WS_POPUP | WS_CAPTION);

    moveWindowKeepingSize(owner, 400, 300);
    EXPECT_EQ(rectOf(owner), (Rect{400, 300, 800, 600}));
    EXPECT_EQ(rectOf(shown), (Rect{450, 380, 650, 480}));
    EXPECT_EQ(rectOf(hidden).left, 160);
    EXPECT_EQ(rectOf(stranger).left, 170);

    moveAndSizeWindow(owner, 10, 20, 500, 450);
    EXPECT_EQ(rectOf(owner), (Rect{10, 20, 510, 470}));
    EXPECT_EQ(rectOf(shown), (Rect{60, 100, 260, 200}));
}

} // namespace
