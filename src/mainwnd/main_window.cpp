// The main window procedure, its command switch and the exit sequence.
#include "mainwnd/main_window.h"

#include "core/app.h"
#include "core/edge_movement.h"
#include "core/file_saver.h"
#include "core/held_messages.h"
#include "core/input.h"
#include "core/save_failures.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "app/startup.h"
#include "core/stranded_windows.h"
#include "core/view_file.h"
#include "core/view.h"
#include "core/viewport.h"
#include "exclusion/exclusion_file.h"
#include "exclusion/exclusion_window.h"
#include "hook/ovl.h"
#include "mainwnd/arrange.h"
#include "mainwnd/commands.h"
#include "mainwnd/tracking.h"
#include "overlay/cross_cursor.h"
#include "overview/overview_window.h"
#include "settingsdlg/settings_dialog.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

#include <shellapi.h>

#include <algorithm>
#include <new>

int iconsSaved;
EndSessionPair endSessionPair;

void resetMainWindowState() {
    iconsSaved = 0;
    endSessionPair = {};
}

void refreshDesktopValues(WPARAM what) {
    ActiveDesktopWindow = nullptr;
    if (HWND shell = GetShellWindow())
        if (HWND defView = FindWindowExW(shell, nullptr, L"SHELLDLL_DefView", nullptr))
            ActiveDesktopWindow =
                FindWindowExW(defView, nullptr, L"Internet Explorer_Server", nullptr);
    if (what == SPI_SETWORKAREA) {
        RECT r;
        if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
            WorkArea = {r.left, r.top, r.right, r.bottom};
        else
            WorkArea = {};
    }
}

namespace {

// Saves the desktop icon positions at most once per run, whichever way the run ends.
void saveIconsOnce() {
    if (!Settings.keepIconPositions || iconsSaved) return;
    iconsSaved = 1;
    const HWND listView = findDesktopListView();
    SendMessageW(listView, WM_ICONS_SAVE, static_cast<WPARAM>(ViewOrigin.x),
                 static_cast<LPARAM>(ViewOrigin.y));
    // The shell's thread may answer before its return hook has written the file, and the
    // hooks come off right after this: a second message, taken only once that hook is
    // done, holds the exit until the save has run.
    SendMessageW(listView, WM_NULL, 0, 0);
}

void applyCursorToggle(const CursorToggle& t) {
    Settings.crossCursor = t.crossCursor;
    measuringCursorOn = t.measuringCursorOn;
    if (t.closeCross) closeCrossCursor();
    if (t.closeMeasuring) closeMeasuringCursor();
    if (t.openCross) openCrossCursor();
    if (t.openMeasuring) openMeasuringCursor();
    saveSettings();
}

void runExitSequence() {
    // The overview saves its size as it closes: it must close while the movement values
    // are still the user's, or the two zeros below would reach the file.
    if (IsWindow(OverviewWindow)) DestroyWindow(OverviewWindow);
    Settings.scrollEnabled = 0; // in memory only: the stored state is the one last saved
    Settings.trackWhenOff = 0;
    KillTimer(MainWindow, kContinuationTimer);
    dropUnconfirmedCandidate();
    saveExclusions();
    if (IsWindow(SettingsDialog)) DestroyWindow(SettingsDialog);
    saveIconsOnce();
    hooksKept = false;
    if (!UninstallHook()) showMessage(L"フックを解放できませんでした。", MB_ICONWARNING);
    if (Settings.edgePointer && savedNormalArrow)
        SetSystemCursor(static_cast<HCURSOR>(CopyImage(savedNormalArrow, IMAGE_CURSOR, 0, 0,
                                                       LR_COPYFROMRESOURCE)),
                        32512 /* OCR_NORMAL */);
    NOTIFYICONDATAW nid{};
    nid.cbSize = kNotifyIconDataSize;
    nid.hWnd = MainWindow;
    nid.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &nid);
}

// A smaller screen makes a smaller area: windows that it leaves wholly outside come into
// it, and the view record learns the new screen.
void onDisplayChange(LPARAM lParam) {
    RealScreenSize =
        displaySizeAfterChange(static_cast<unsigned>(lParam),
                               {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    readMonitors();
    bringStrandedWindowsIn();
    recordView();
}

// Returns true when the command was handled.
bool runCommand(unsigned id) {
    const CommandAction action = commandFor(id);
    switch (action.command) {
    case Command::None: return false;
    case Command::Settings: showSettingsDialog(); break;
    case Command::Exit: SendMessageW(MainWindow, WM_CLOSE, 0, 0); break;
    case Command::CrossCursor:
        applyCursorToggle(toggleCrossCursor(Settings.crossCursor, measuringCursorOn));
        break;
    case Command::MeasuringCursor:
        applyCursorToggle(toggleMeasuringCursor(Settings.crossCursor, measuringCursorOn));
        break;
    case Command::Exclusions: showExclusionWindow(); break;
    case Command::ToggleScroll: setScrollEnabled(!Settings.scrollEnabled); break;
    case Command::TileVertical: tileWindows(1); break;
    case Command::TileHorizontal: tileWindows(0); break;
    case Command::Overview: openOverview(); break;
    case Command::Help: openHelpPage(action.helpPage); break;
    case Command::Cascade: gatherWindows(true); break;
    case Command::Gather: gatherWindows(false); break;
    }
    return true;
}

void onEndSession(bool ending) {
    if (ending) {
        // The exit sequence does not run when Windows ends: renames, sorts and deletions
        // since the last save would be lost.
        dropUnconfirmedCandidate();
        saveExclusions();
        saveIconsOnce();
        hooksKept = false;
        UninstallHook();
        finishFileSaves(); // the system ends the process after this answer
    } else {
        Settings.scrollEnabled = endSessionPair.scrollEnabled;
        Settings.trackWhenOff = endSessionPair.trackWhenOff;
    }
}

// The shell restarted: the icon goes back into its notification area, and the icon
// requests follow its new desktop list view at once.
void onTaskbarCreated() {
    addTrayIcon();
    if (hooksKept) InstallHook(MainWindow, findDesktopListView());
}

// What may collect the windows or move the view: the commands, the continuation timer,
// the tray icon's menu, the hook reports, and the exit (whose warning box would run a
// modal loop inside the shift). Sent by another program while a shift waits on it, such
// a message is held and handled once the shift is over.
bool deferredWhileShifting(UINT msg) {
    switch (msg) {
    case WM_CLOSE:
    case WM_COMMAND:
    case WM_DISPLAYCHANGE:
    case WM_TIMER:
    case WM_TRAYICON:
    case WM_HOOK_ACTIVATE:
    case WM_HOOK_DESTROY:
    case WM_HOOK_MINIMIZE:
    case WM_HOOK_MAXIMIZE: return true;
    default: return false;
    }
}

LRESULT answerListSize(WPARAM which) {
    ListCount c;
    switch (which) {
    case 0: c = countKnownWindows(); break;
    case 1: c = countMinimizedPositions(); break;
    case 2: c = countSavedNormalRects(); break;
    case 3: c = countRememberedWindows(); break;
    default: return 0;
    }
    return MAKELRESULT(std::min(c.entries, 0xFFFF), std::min(c.gone, 0xFFFF));
}

LRESULT handleMessage(HWND w, UINT msg, WPARAM wParam, LPARAM lParam);

// What the last shift held, in the order it came.
void runHeldMessages() {
    MSG m;
    while (takeHeldMessage(m))
        if (IsWindow(m.hwnd))
            handleMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

LRESULT handleMessage(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_DESTROY: PostQuitMessage(0); break;
    case WM_CLOSE: runExitSequence(); break;
    case WM_QUERYENDSESSION:
        endSessionPair = {Settings.scrollEnabled, Settings.trackWhenOff};
        Settings.scrollEnabled = 0;
        Settings.trackWhenOff = 0;
        break;
    case WM_ENDSESSION: onEndSession(wParam != 0); break;
    case WM_SETTINGCHANGE: refreshDesktopValues(wParam); break;
    case WM_GETMINMAXINFO: {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMaxSize = {150, 64};
        mmi->ptMaxTrackSize = {150, 64};
        return 0;
    }
    case WM_DISPLAYCHANGE: onDisplayChange(lParam); break;
    case WM_NCDESTROY: MainWindow = nullptr; break;
    case WM_COMMAND:
        if (runCommand(LOWORD(wParam))) return 0;
        break;
    case WM_TIMER:
        onContinuationTimer(wParam);
        onGrabPinTimer(wParam);
        break;
    case WM_TRAYICON: onTrayNotify(lParam); break;
    case WM_HOOK_ACTIVATE: onHookActivate(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_HOOK_DESTROY: onHookDestroy(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_HOOK_MINIMIZE:
        onHookMinimize(reinterpret_cast<HWND>(wParam), static_cast<short>(LOWORD(lParam)),
                       static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_HOOK_MAXIMIZE: onHookMaximize(reinterpret_cast<HWND>(lParam)); return 0;
    case WM_LIST_SIZE: return answerListSize(wParam);
    case WM_SAVE_FAILED: tellFailedSaves(); return 0;
    case WM_SHIFT_OVER: runHeldMessages(); return 0;
    default:
        if (taskbarCreatedMessage != 0 && msg == taskbarCreatedMessage) onTaskbarCreated();
        break;
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A handler that runs out of memory drops what it was doing; every list it uses is
    // left whole, so the program goes on, and nothing may unwind into the system's frames.
    try {
        if (deferredWhileShifting(msg) && holdWhileShifting(w, msg, wParam, lParam))
            return 0;
        return handleMessage(w, msg, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
