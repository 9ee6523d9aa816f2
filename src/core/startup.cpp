// Start-up, the main loop and shut-down. The loop waits on the two DirectInput events
// and the message queue at once, with a 33 ms time-out so the queue is drained about
// thirty times a second whatever the wait reports.
#include "core/startup.h"

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

    overlayThread = CreateThread(nullptr, 0, overlayThreadProc, &BorderFrame, 0, &overlayThreadId);
    if (!overlayThread)
        overlayThreadId = 0;

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
    return 1;
}

namespace {

// Any process that maps the hook library can overwrite its shared record, and the hooks in
// other programs then stop reporting here. InstallHook answers at once while the record
// is this process's own, and installs afresh when it is not.
constexpr ULONGLONG kHookCheckMs = 1000;

void keepHooksInPlace() {
    static ULONGLONG lastCheck = 0;
    const ULONGLONG now = GetTickCount64();
    if (!hooksKept || now - lastCheck < kHookCheckMs || !IsWindow(MainWindow))
        return;
    lastCheck = now;
    InstallHook(MainWindow, findDesktopListView());
    storeHookFlag(d_bHookRet, Settings.moveIcons);
    storeHookFlag(d_bPreventMaximize, Settings.columns > 1 || Settings.rows > 1);
}

constexpr DWORD kQueueIntervalMs = 33;

void tidyWindowLists() {
    static ULONGLONG lastTidy = 0;
    const ULONGLONG now = GetTickCount64();
    if (now - lastTidy < 1000)
        return;
    lastTidy = now;
    forgetGoneWindows();
}

// Takes every message waiting; true once WM_QUIT was among them.
bool drainQueue() {
    bool quit = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsWindow(SettingsDialog) && IsDialogMessageW(SettingsDialog, &msg))
            continue;
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return quit;
}

} // namespace

bool hooksKept = false;

void runMainLoop() {
    DWORD lastQueueDrain = GetTickCount();
    for (;;) {
        HANDLE events[2] = {pointerEvent, keyboardEvent};
        const DWORD r = MsgWaitForMultipleObjects(2, events, FALSE, kQueueIntervalMs, 0xFF);
        if (r == WAIT_OBJECT_0 || r == WAIT_OBJECT_0 + 1) {
            // A drain that runs out of memory loses its records; the next one starts afresh.
            try {
                if (r == WAIT_OBJECT_0)
                    drainPointer();
                else
                    drainKeyboard();
            } catch (const std::bad_alloc&) {
            }
            // The wait reports the pointer first: under steady motion it would report
            // nothing else, and the queue still gets its turn every 33 ms.
            if (GetTickCount() - lastQueueDrain < kQueueIntervalMs)
                continue;
        } else if (r != WAIT_OBJECT_0 + 2 && r != WAIT_TIMEOUT) {
            continue;
        }
        lastQueueDrain = GetTickCount();
        if (drainQueue())
            return;
        keepHooksInPlace();
        tidyWindowLists();
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
    CloseHandle(instanceMutex);
    instanceMutex = nullptr;
}
