// The main window procedure in this process: size limits, display and end-of-Windows
// messages, the cross-cursor commands, the once-only icon save, and the activation
// handed on when a message box is answered.
#include "core/app.h"
#include "core/file_saver.h"
#include "core/input.h"
#include "core/settings_file.h"
#include "app/startup.h"
#include "core/view.h"
#include "core/view_file.h"
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_file.h"
#include "hook/ovl.h"
#include "mainwnd/main_window.h"
#include "mainwnd/tracking.h"
#include "overlay/cross_cursor.h"
#include "res/resource.h"
#include "tray/tray_icon.h"

#include "box_reader.h"

#define DIRECTINPUT_VERSION 0x0800
#include <commctrl.h>
#include <dinput.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

// While set, every allocation through operator new in this test program fails.
bool failAllocations = false;

void* operator new(std::size_t size) {
    if (!failAllocations)
        if (void* p = std::malloc(size ? size : 1))
            return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

extern "C" BOOL WINAPI SetShellWindow(HWND);

namespace {

struct MainWindowTest : ::testing::Test {
    HWND window = nullptr;

    static void SetUpTestSuite() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = mainWindowProc;
        wc.lpszClassName = L"OrvalisMainUnderTest";
        RegisterClassExW(&wc);
    }
    void SetUp() override {
        resetAppState();
        resetMainWindowState();
        Settings = SettingsRecord{};
        measuringCursorOn = 0;
        lstrcpyW(caption, L"Orvalis");
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"OrvalisMainUnderTest", L"Orvalis", 0, 0, 0,
                                 0, 0, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window;
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        // The window's destruction posts a quit message to this thread; the cursor
        // commands' closing posts WM_CLOSE to the overlay windows they opened.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        finishFileSaves();
        wchar_t path[260];
        if (settingsFilePath(path)) DeleteFileW(path);
    }
    SettingsRecord storedSettings() const {
        wchar_t path[260];
        SettingsRecord s;
        s.columns = -1; // marks "nothing read"
        finishFileSaves();
        if (settingsFilePath(path)) readSettingsFile(path, s);
        return s;
    }
};

TEST_F(MainWindowTest, NeverGrowsBeyondItsTinyMaximum) {
    MINMAXINFO mmi{};
    EXPECT_EQ(SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi)), 0);
    EXPECT_EQ(mmi.ptMaxSize.x, 150);
    EXPECT_EQ(mmi.ptMaxSize.y, 64);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, 150);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 64);
}

// On a 2 x 2 area: a window on the right column is inside while the screens are wide
// enough, and comes back into the area when they shrink; the view record follows.
TEST_F(MainWindowTest, DisplayChangeSetsTheRealScreenSizeAndBringsWindowsIn) {
    ViewOrigin = {};
    RealScreenSize = {1024, 768};
    const HWND other = CreateWindowExW(0, L"Static", L"other", WS_POPUP, 1700, 100, 200, 150,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    ShowWindow(other, SW_SHOWNOACTIVATE);
    ownProcessId = 0; // this process's window stands for another program's

    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(RealScreenSize, (Size{1280, 1024}));
    RECT r;
    GetWindowRect(other, &r);
    EXPECT_EQ(r.left, 1700);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    GetWindowRect(other, &r);
    EXPECT_EQ(r.left, 800 + 1700 % 800); // right column, as far in as it stood before
    EXPECT_EQ(r.top, 100);
    finishFileSaves();
    wchar_t path[260];
    ASSERT_TRUE(viewRecordPath(path));
    const std::optional<ViewRecord> stored = readViewRecord(path);
    DeleteFileW(path);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->screen, (Size{800, 600}));

    SendMessageW(window, WM_DISPLAYCHANGE, 32, 0);
    EXPECT_EQ(RealScreenSize,
              (Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    DestroyWindow(other);
}

TEST_F(MainWindowTest, CancelledShutdownPutsMovementAndTrackingBack) {
    Settings.scrollEnabled = 1;
    Settings.trackWhenOff = 0;
    EXPECT_TRUE(SendMessageW(window, WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(Settings.scrollEnabled, 0);
    EXPECT_EQ(Settings.trackWhenOff, 0);
    SendMessageW(window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(Settings.scrollEnabled, 1);
    EXPECT_EQ(Settings.trackWhenOff, 0);
    // Nothing of this reaches the settings file.
    EXPECT_EQ(storedSettings().columns, -1);
}

TEST_F(MainWindowTest, TheEndOfWindowsSavesTheExclusionsWithoutTheCandidate) {
    wchar_t path[260];
    ASSERT_TRUE(exclusionFilePath(path));
    resetExclusionFileState();
    ExclusionList.entries.resize(2);
    ExclusionList.entries[0].className = L"Kept";
    ExclusionList.entries[0].windowName = L"renamed";
    ExclusionList.entries[1].className = L"Found";
    ExclusionList.entries[1].windowName = L"unconfirmed";
    ExclusionList.candidateIndex = 1;
    SendMessageW(window, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    std::vector<ExclusionEntry> stored;
    EXPECT_EQ(readExclusionFile(path, stored), FileRead::Read);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].windowName, L"renamed");
    EXPECT_EQ(stored[0].className, L"Kept");
    DeleteFileW(path);
    resetExclusionList();
}

TEST_F(MainWindowTest, CrossCursorsExcludeEachOtherAndAreSaved) {
    SendMessageW(window, WM_COMMAND, 106, 0);
    EXPECT_EQ(Settings.crossCursor, 1);
    EXPECT_EQ(storedSettings().crossCursor, 1);
    SendMessageW(window, WM_COMMAND, 107, 0);
    EXPECT_EQ(measuringCursorOn, 1);
    EXPECT_EQ(Settings.crossCursor, 0);
    EXPECT_EQ(storedSettings().crossCursor, 0);
    SendMessageW(window, WM_COMMAND, 106, 0);
    EXPECT_EQ(measuringCursorOn, 0);
    EXPECT_EQ(Settings.crossCursor, 1);
    SendMessageW(window, WM_COMMAND, 106, 0);
    EXPECT_EQ(Settings.crossCursor, 0);
    EXPECT_EQ(storedSettings().crossCursor, 0);
}

TEST_F(MainWindowTest, CloseTurnsMovementOffInMemoryOnly) {
    Settings.scrollEnabled = 1;
    Settings.trackWhenOff = 1;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(MainWindow, nullptr); // cleared on WM_NCDESTROY
    EXPECT_EQ(Settings.scrollEnabled, 0);
    EXPECT_EQ(Settings.trackWhenOff, 0);
    EXPECT_EQ(storedSettings().columns, -1); // the exit writes no settings file
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(MainWindowTest, AHandlerOutOfMemoryDropsItsWorkAndTheWindowGoesOn) {
    failAllocations = true;
    const LRESULT r = SendMessageW(window, WM_COMMAND, IDM_HELP_HOWTOUSE, 0);
    failAllocations = false;
    EXPECT_EQ(r, 0);
    SendMessageW(window, WM_COMMAND, IDM_CROSS_CURSOR, 0);
    EXPECT_EQ(Settings.crossCursor, 1);
    SendMessageW(window, WM_COMMAND, IDM_CROSS_CURSOR, 0);
}

TEST_F(MainWindowTest, SettingChangeReadsTheWorkAreaOnlyWhenItChanged) {
    RECT wa{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0));
    WorkArea = {1, 2, 3, 4};
    ActiveDesktopWindow = window; // looked up again on every change: there is none here
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
    EXPECT_EQ(WorkArea, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(ActiveDesktopWindow, nullptr);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(WorkArea, (Rect{wa.left, wa.top, wa.right, wa.bottom}));
}

TEST_F(MainWindowTest, ARestartedTaskbarGetsTheIconBackOnlyAfterTheFirstAdd) {
    resetTrayIcon();
    NOTIFYICONDATAW nid{};
    nid.cbSize = kNotifyIconDataSize;
    nid.hWnd = window;
    nid.uID = kTrayIconId;
    auto iconExists = [&] { return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE; };
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_FALSE(iconExists()) << "added before the program added it";
    addTrayIcon();
    ASSERT_TRUE(iconExists()) << "the test desktop needs its notification area";
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid)); // the taskbar went away
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(iconExists());
    Shell_NotifyIconW(NIM_DELETE, &nid);
    resetTrayIcon();
}

// A desktop made by this process: shell window, "SHELLDLL_DefView", "SysListView32".
// The list view counts the icon save requests it is sent.
int iconSaves;
WPARAM savedX;
LPARAM savedY;
WNDPROC listViewProc;
LRESULT CALLBACK countingListView(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ICONS_SAVE) {
        ++iconSaves;
        savedX = wp;
        savedY = lp;
    }
    return CallWindowProcW(listViewProc, w, msg, wp, lp);
}

TEST_F(MainWindowTest, IconPositionsAreSavedOnceWhicheverWayTheRunEnds) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&icc);
    HWND shell = CreateWindowExW(0, L"Static", L"shell", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    // The lookup goes by class name, so the middle window needs a class of that name.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"SHELLDLL_DefView";
    RegisterClassExW(&wc);
    HWND defView = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD, 0, 0, 10, 10, shell, nullptr,
                              nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD, 0, 0, 10, 10, defView, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(list);
    listViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingListView)));
    if (!SetShellWindow(shell) || GetShellWindow() != shell) {
        DestroyWindow(shell);
        GTEST_SKIP() << "another shell window owns the desktop";
    }
    iconSaves = 0;
    Settings.keepIconPositions = 1;
    ViewOrigin = {1024, 768};

    SendMessageW(window, WM_QUERYENDSESSION, 0, 0);
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(iconSaves, 1);
    EXPECT_EQ(savedX, 1024u);
    EXPECT_EQ(savedY, 768);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(iconSaves, 1);

    // A run that ends by the exit command alone saves them there.
    resetMainWindowState();
    window = CreateWindowExW(WS_EX_TOOLWINDOW, L"OrvalisMainUnderTest", L"Orvalis", 0, 0, 0, 0,
                             0, nullptr, nullptr, nullptr, nullptr);
    MainWindow = window;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(iconSaves, 2);

    // Without the option nothing is sent.
    resetMainWindowState();
    Settings.keepIconPositions = 0;
    window = CreateWindowExW(WS_EX_TOOLWINDOW, L"OrvalisMainUnderTest", L"Orvalis", 0, 0, 0, 0,
                             0, nullptr, nullptr, nullptr, nullptr);
    MainWindow = window;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(iconSaves, 2);
    DestroyWindow(shell);
}

// The main loop under a pointer event that never stops firing, fed a message every 5 ms
// from another thread for 600 ms: each waits at most about one queue turn (33 ms), never
// until the pointer falls silent.
constexpr UINT kStamped = WM_APP + 7;
ULONGLONG slowestMessageMs;

LRESULT CALLBACK stampedProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kStamped) {
        slowestMessageMs = std::max(slowestMessageMs, GetTickCount64() - wp);
        if (lp)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

DWORD WINAPI stampMessages(void* window) {
    const ULONGLONG end = GetTickCount64() + 600;
    while (GetTickCount64() < end) {
        PostMessageW(static_cast<HWND>(window), kStamped, GetTickCount64(), 0);
        Sleep(5);
    }
    // The pointer falls silent, so that even a starved loop ends.
    ResetEvent(pointerEvent);
    PostMessageW(static_cast<HWND>(window), kStamped, GetTickCount64(), 1);
    return 0;
}

TEST(MainLoop, SteadyPointerEventsLeaveTheQueueItsTurn) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = stampedProc;
    wc.lpszClassName = L"StampedMessages";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"StampedMessages", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(window);
    pointerEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr); // always signalled
    keyboardEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    slowestMessageMs = 0;
    HANDLE stamper = CreateThread(nullptr, 0, stampMessages, window, 0, nullptr);
    ASSERT_TRUE(stamper);
    runMainLoop();
    WaitForSingleObject(stamper, 5000);
    CloseHandle(stamper);
    CloseHandle(pointerEvent);
    CloseHandle(keyboardEvent);
    pointerEvent = keyboardEvent = nullptr;
    DestroyWindow(window);
    EXPECT_LT(slowestMessageMs, 300u) << "a posted message waited for the pointer to stop";
}

// Ctrl-hold mode while a push keeps the pointer signalling: a Ctrl press must reach the
// keyboard drain while the pointer still fires, not once it rests. The keyboard is this
// process's own DirectInput device, fed by SendInput.
LONG switchedOnWhilePointerFired;

void sendCtrl(bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = VK_CONTROL;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(VK_CONTROL, MAPVK_VK_TO_VSC)); // what it reads
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof(in));
}

DWORD WINAPI pressCtrlDuringThePush(void* loopThread) {
    Sleep(100);
    sendCtrl(true);
    const ULONGLONG end = GetTickCount64() + 1500;
    while (GetTickCount64() < end && *static_cast<volatile int*>(&Settings.scrollEnabled) == 0)
        Sleep(5);
    switchedOnWhilePointerFired = *static_cast<volatile int*>(&Settings.scrollEnabled);
    sendCtrl(false);
    ResetEvent(pointerEvent); // the push ends, so that even a starved loop ends
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<uintptr_t>(loopThread)), WM_QUIT, 0, 0);
    return 0;
}

TEST_F(MainWindowTest, TheKeyboardIsServedWhileThePointerKeepsSignalling) {
    appInstance = GetModuleHandleW(nullptr);
    Settings.ctrlHoldMode = 1;
    Settings.scrollEnabled = 0;
    ASSERT_EQ(initInput(), 1);
    const HANDLE devicePointerEvent = pointerEvent;
    pointerEvent = CreateEventW(nullptr, TRUE, TRUE, nullptr); // a push that never rests
    switchedOnWhilePointerFired = -1;
    HANDLE presser = CreateThread(
        nullptr, 0, pressCtrlDuringThePush,
        reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId())), 0, nullptr);
    ASSERT_TRUE(presser);
    runMainLoop();
    WaitForSingleObject(presser, 5000);
    CloseHandle(presser);
    releaseInput();
    for (HANDLE e : {pointerEvent, devicePointerEvent, keyboardEvent})
        CloseHandle(e);
    pointerEvent = keyboardEvent = nullptr;
    EXPECT_EQ(switchedOnWhilePointerFired, 1) << "Ctrl waited for the pointer to rest";
}

// The system may refuse the pointer (another program holds it): input still starts, as the
// keyboard and the hook reports work without it. The refusal is made by swapping the
// devices' Acquire for one that refuses the mouse and passes the keyboard on.
using AcquireEntry = HRESULT(STDMETHODCALLTYPE*)(IDirectInputDevice8W*);
AcquireEntry realAcquire;

HRESULT STDMETHODCALLTYPE refuseThePointer(IDirectInputDevice8W* device) {
    DIDEVCAPS caps{};
    caps.dwSize = sizeof(caps);
    if (SUCCEEDED(device->GetCapabilities(&caps)) &&
        GET_DIDEVICE_TYPE(caps.dwDevType) == DI8DEVTYPE_MOUSE)
        return DIERR_OTHERAPPHASPRIO;
    return realAcquire(device);
}

// Puts `entry` in the Acquire slot of the table the mouse device shares; returns the old.
AcquireEntry swapAcquire(AcquireEntry entry) {
    IDirectInput8W* di = nullptr;
    IDirectInputDevice8W* mouse = nullptr;
    AcquireEntry old = nullptr;
    if (SUCCEEDED(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION,
                                     IID_IDirectInput8W, reinterpret_cast<void**>(&di), nullptr)) &&
        SUCCEEDED(di->CreateDevice(GUID_SysMouse, &mouse, nullptr))) {
        AcquireEntry* slot = *reinterpret_cast<AcquireEntry**>(mouse) + 7; // after IUnknown's 3 and
        // GetCapabilities, EnumObjects, GetProperty, SetProperty
        DWORD was = 0;
        if (VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &was)) {
            old = *slot;
            *slot = entry;
            VirtualProtect(slot, sizeof(*slot), was, &was);
        }
    }
    if (mouse)
        mouse->Release();
    if (di)
        di->Release();
    return old;
}

TEST_F(MainWindowTest, InputStartsWhenOnlyThePointerIsRefused) {
    appInstance = GetModuleHandleW(nullptr);
    realAcquire = swapAcquire(refuseThePointer);
    ASSERT_TRUE(realAcquire);
    const int started = initInput();
    releaseInput();
    swapAcquire(realAcquire);
    for (HANDLE* e : {&pointerEvent, &keyboardEvent}) {
        if (*e)
            CloseHandle(*e);
        *e = nullptr;
    }
    EXPECT_EQ(started, 1);
}

// A click on a button of a box brings the box to the front and sends its command, as this
// timer does once the box is up.
void CALLBACK pressOk(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    KillTimer(nullptr, timer);
    SetForegroundWindow(box);
    SendMessageW(box, WM_COMMAND, IDOK, 0);
}

// Answering a box hands the activation on before the box ends, to the topmost window in
// the view (none was activated yet), and records it as the last activated one, so that its
// activation report moves nothing. The window in front before the box lies off the view.
TEST_F(MainWindowTest, AnsweringAMessageBoxHandsTheActivationToAWindowInTheView) {
    RealScreenSize = {1024, 768};
    const auto popup = [](const wchar_t* title, int x) {
        return CreateWindowExW(0, L"Static", title, WS_POPUP | WS_VISIBLE, x, 100, 300, 200,
                               nullptr, nullptr, nullptr, nullptr);
    };
    HWND user = popup(L"user", 100);
    HWND distant = popup(L"distant", 3000);
    ASSERT_TRUE(user && distant);
    SetForegroundWindow(distant);
    resetTracking();
    ownProcessId = 0; // this process's windows stand for other programs'
    SetTimer(nullptr, 0, 20, pressOk);
    EXPECT_EQ(showMessage(L"text", MB_ICONWARNING), IDOK);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(GetForegroundWindow(), user);
    EXPECT_EQ(lastActivated, user);
    resetTracking();
    DestroyWindow(distant);
    DestroyWindow(user);
}

} // namespace
