// Start-up, the main loop and shut-down. The loop sleeps until something happens: it
// waits on the two DirectInput events, the housekeeping timer and the message queue at
// once, with no time-out.
#include "app/startup.h"

#include "core/stranded_windows.h"
#include "core/view_file.h"

#include "core/app.h"
#include "core/edge_movement.h"
#include "core/file_saver.h"
#include "core/input.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/taskbar.h"
#include "core/view.h"
#include "core/viewport.h"
#include "exclusion/exclusion_file.h"
#include "hook/ovl.h"
#include "mainwnd/main_window.h"
#include "mainwnd/tracking.h"
#include "mainwnd/window_lists.h"
#include "overlay/cross_cursor.h"
#include "overlay/overlay_thread.h"
#include "res/resource.h"
#include "settingsdlg/settings_dialog.h"
#include "settingsdlg/settings_form.h"
#include "tray/tray_icon.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>

namespace {

// The housekeeping: any process that maps the hook library can overwrite its shared
// record, and the hooks in other programs then stop reporting here, which nothing
// announces; a program that ends without destroying its windows sends no destroy report.
// Both are looked for once a second while the program is awake anyway (input, messages),
// and by a timer of its own every five seconds while nothing happens: the loop's only
// wake-up then.
constexpr DWORD kHousekeepingMs = 1000;
constexpr LONG kIdleHousekeepingMs = 5000;

HANDLE housekeepingTimer; // wait index 2; null when it could not be made

void startHousekeeping() {
    housekeepingTimer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -10000LL * kIdleHousekeepingMs; // relative, in 100 ns units
    if (housekeepingTimer &&
        !SetWaitableTimer(housekeepingTimer, &due, kIdleHousekeepingMs, nullptr, nullptr, FALSE)) {
        CloseHandle(housekeepingTimer);
        housekeepingTimer = nullptr;
    }
}

bool registerMainClass() {
    InitCommonControls();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = nullptr;
    wc.hIcon = LoadIconW(appInstance, MAKEINTRESOURCEW(IDI_ORVALIS));
    wc.hCursor = static_cast<HCURSOR>(
        LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hbrBackground =
        CreateSolidBrush(RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));
    wc.lpszClassName = className;
    wc.hIconSm = static_cast<HICON>(LoadImageW(appInstance, MAKEINTRESOURCEW(IDI_ORVALIS_SMALL),
                                               IMAGE_ICON, 16, 16, LR_SHARED));
    return RegisterClassExW(&wc) != 0;
}

} // namespace

int initialize(HINSTANCE instance) {
    appInstance = instance;
    instanceMutex = CreateMutexW(nullptr, FALSE, L"ZerdaneOrvalis");
    if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    ownProcessId = GetCurrentProcessId();
    LoadStringW(instance, IDS_CAPTION, caption, 100);
    LoadStringW(instance, IDS_CLASSNAME, className, 100);

    // The class still registers without its string: the window is what must exist.
    registerMainClass();
    MainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, className, caption, 0, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
    if (!MainWindow)
        return 0;

    addTrayIcon();
    loadPointerShapes();
    loadSettings();
    loadExclusions();
    RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    readMonitors();
    refreshDesktopValues(SPI_SETWORKAREA);

    const char side = Settings.startPosition == u't' ? taskbarSide() : 0;
    // The last run's view, when it ended in this session: its windows are still where it
    // left them. Whatever the start, no window stays outside the area.
    ViewOrigin = resumeViewOrigin(initialViewOrigin(Settings.startPosition, Settings.columns,
                                                    Settings.rows, RealScreenSize, side));
    bringStrandedWindowsIn();
    adoptExistingWindows();
    recordView();
    updateTrayIcon();

    startOverlayThread();

    // The library's shared flag outlives a run while any process still maps it: store
    // what this grid calls for, never leave an earlier run's value in force.
    storeHookFlag(d_bPreventMaximize, preventMaximizeFor(Settings.columns, Settings.rows));

    HWND listView = findDesktopListView();
    if (!InstallHook(MainWindow, listView)) {
        showMessage(L"フックをかけられませんでした。", MB_ICONERROR);
        return 0;
    }
    hooksKept = true;
    storeHookFlag(d_bHookRet, Settings.moveIcons);
    if (Settings.keepIconPositions)
        SendMessageW(listView, WM_ICONS_RESTORE, static_cast<WPARAM>(ViewOrigin.x),
                     static_cast<LPARAM>(ViewOrigin.y));

    if (!initInput()) {
        showMessage(L"DirectInput を初期化できませんでした。", MB_ICONERROR);
        return 0;
    }
    if (Settings.crossCursor)
        openCrossCursor();

    user32Module = LoadLibraryW(L"user32.dll");
    if (user32Module)
        printWindowEntry = reinterpret_cast<PrintWindowProc>(
            reinterpret_cast<void*>(GetProcAddress(user32Module, "PrintWindow")));
    if (!printWindowEntry)
        Settings.coarseOverview = 1;
    startHousekeeping();
    return 1;
}

namespace {

// Under steady pointer motion the queue gets its turn at least this often, and a queue
// that keeps filling (a flood of posted reports) is left after this long, so that the
// input, the housekeeping and the exit are not kept waiting behind it.
constexpr DWORD kQueueTurnMs = 33;

// InstallHook answers at once while the record is this process's own, and installs
// afresh when it is not. Once the exit (or the end of the session) has taken the hooks
// off there is nothing left to look after, and the timer stops.
void keepHouse() {
    static DWORD lastTime = GetTickCount();
    if (GetTickCount() - lastTime < kHousekeepingMs)
        return;
    lastTime = GetTickCount();
    if (!hooksKept || !IsWindow(MainWindow)) {
        if (housekeepingTimer)
            CancelWaitableTimer(housekeepingTimer);
        return;
    }
    InstallHook(MainWindow, findDesktopListView());
    storeHookFlag(d_bHookRet, Settings.moveIcons);
    storeHookFlag(d_bPreventMaximize, preventMaximizeFor(Settings.columns, Settings.rows));
    forgetGoneWindows();
}

bool signalled(HANDLE h) {
    return h && WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
}

// A drain that runs out of memory loses its records; the next one starts afresh.
void drainDevice(void (*drain)()) {
    try {
        drain();
    } catch (const std::bad_alloc&) {
    }
}

void dispatch(MSG& msg) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

enum class Drained { Empty, TurnOver, Quit };

// Takes the messages waiting, for at most one turn. After a turn that ended with
// messages left, the exit goes ahead of them: the request to close, and the quit that
// the system hands out only once no posted message is left.
Drained drainQueue(bool backlog) {
    MSG msg;
    if (backlog) {
        if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return Drained::Quit;
        if (MainWindow && PeekMessageW(&msg, MainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            dispatch(msg);
    }
    const DWORD start = GetTickCount();
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) // not for any window, the dialog's neither
            quit = true;
        else if (!IsWindow(SettingsDialog) || !IsDialogMessageW(SettingsDialog, &msg))
            dispatch(msg);
        if (!quit && GetTickCount() - start >= kQueueTurnMs)
            return Drained::TurnOver;
    }
    return quit ? Drained::Quit : Drained::Empty;
}

} // namespace

bool hooksKept = false;

void runMainLoop() {
    DWORD lastQueueTurn = GetTickCount();
    bool backlog = false;
    for (;;) {
        // Nothing here wakes by itself: the wait ends on input, on a message (also one
        // that an earlier look at the queue left there) or on the housekeeping timer.
        HANDLE waits[3] = {pointerEvent, keyboardEvent, housekeepingTimer};
        const DWORD count = housekeepingTimer ? 3 : 2;
        const DWORD r =
            MsgWaitForMultipleObjectsEx(count, waits, INFINITE, 0xFF, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0 || r == WAIT_OBJECT_0 + 1) {
            if (r == WAIT_OBJECT_0) {
                drainDevice(drainPointer);
                // The wait reports the lowest signalled index: while a push keeps the
                // pointer signalling, the keyboard would wait until the pointer rests.
                if (signalled(keyboardEvent))
                    drainDevice(drainKeyboard);
            } else {
                drainDevice(drainKeyboard);
            }
            // Under steady motion the wait reports nothing but the pointer; the queue and
            // the housekeeping still get their turn every 33 ms.
            if (GetTickCount() - lastQueueTurn < kQueueTurnMs)
                continue;
        }
        keepHouse();
        // The timer alone woke the loop; a message waiting as well is reported by the
        // next wait at once.
        if (count == 3 && r == WAIT_OBJECT_0 + 2)
            continue;
        lastQueueTurn = GetTickCount();
        const Drained d = drainQueue(backlog);
        if (d == Drained::Quit)
            return;
        backlog = d == Drained::TurnOver;
    }
}

void shutdown() {
    freeSavedNormalRects();
    resetViewportState(); // frees the managed-window list
    releaseTrayGlyph();
    releaseInput();
    if (pointerEvent)
        CloseHandle(pointerEvent);
    if (keyboardEvent)
        CloseHandle(keyboardEvent);
    pointerEvent = keyboardEvent = nullptr;
    if (overlayThread) {
        PostThreadMessageW(overlayThreadId, WM_QUIT, 0, 0);
        WaitForSingleObject(overlayThread, 30000);
        CloseHandle(overlayThread);
        overlayThread = nullptr;
        overlayThreadId = 0;
    }
    finishFileSaves(); // the exit's exclusion save, and any settings save still pending
    if (housekeepingTimer) {
        CloseHandle(housekeepingTimer);
        housekeepingTimer = nullptr;
    }
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
}
