// trackpeer.exe: "another program" for the focus tracking and arrangement tests. A hidden
// command window creates, activates, shows, moves and destroys windows of this process on
// request, and each window keeps note of the WM_GETMINMAXINFO queries other threads send
// it. It also keeps a tray icon, so the shell's taskbar (and its work area) stays up.
#include <windows.h>
#include <shellapi.h>

#include "trackpeer_commands.h"

namespace {

struct Queries {
    HWND window = nullptr;
    int count = 0;
    MINMAXINFO last{};
};
Queries queries[64];

Queries* queriesOf(HWND w, bool create) {
    for (Queries& q : queries)
        if (q.window == w)
            return &q;
    if (!create)
        return nullptr;
    for (Queries& q : queries)
        if (!q.window) {
            q = Queries{};
            q.window = w;
            return &q;
        }
    return nullptr;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        const MINMAXINFO* info = reinterpret_cast<const MINMAXINFO*>(lParam);
        if (info->ptMaxTrackSize.x == 0 && info->ptMaxTrackSize.y == 0) {
            if (Queries* q = queriesOf(hwnd, true)) {
                ++q->count;
                q->last = *info;
            }
        }
    }
    if (msg == WM_NCDESTROY) {
        if (Queries* q = queriesOf(hwnd, false))
            *q = Queries{};
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK dialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

// A modeless dialog box from an in-memory template without controls, so that the system
// dialog class keeps the state it expects; then placed in pixels.
HWND createDialog(const TrackWindowSpec& s, HWND owner) {
    struct {
        DLGTEMPLATE head;
        WORD menu, windowClass, title;
    } tmpl{};
    tmpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    tmpl.head.cx = 100;
    tmpl.head.cy = 50;
    HWND w =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tmpl.head, owner, dialogProc, 0);
    if (w) {
        SetWindowTextW(w, s.title);
        SetWindowPos(w, nullptr, s.x, s.y, s.w, s.h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return w;
}

HWND createWindow(const TrackWindowSpec& s) {
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(s.owner));
    HWND w = nullptr;
    if (s.kind == kTrackDialog) {
        w = createDialog(s, owner);
    } else {
        w = CreateWindowExW(0, kTrackPeerWindowClass, s.title, WS_OVERLAPPEDWINDOW, s.x, s.y, s.w,
                            s.h, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    if (w)
        ShowWindow(w, s.quiet ? SW_SHOWNOACTIVATE : SW_SHOW);
    return w;
}

LRESULT answerQuery(UINT msg, HWND w) {
    const Queries* q = queriesOf(w, false);
    if (!q)
        return 0;
    const MINMAXINFO& m = q->last;
    switch (msg) {
    case kTrackQueryCount: return q->count;
    case kTrackQueryMaxSize: return packTrackPoint(m.ptMaxSize.x, m.ptMaxSize.y);
    case kTrackQueryMaxPos: return packTrackPoint(m.ptMaxPosition.x, m.ptMaxPosition.y);
    default:
        return m.ptReserved.x == 0 && m.ptReserved.y == 0 && m.ptMinTrackSize.x == 0 &&
               m.ptMinTrackSize.y == 0;
    }
}

LRESULT CALLBACK commandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND target = reinterpret_cast<HWND>(wParam);
    switch (msg) {
    case WM_COPYDATA: {
        const auto* cd = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (cd->dwData != kTrackCreate || cd->cbData != sizeof(TrackWindowSpec))
            return 0;
        return reinterpret_cast<LRESULT>(
            createWindow(*static_cast<const TrackWindowSpec*>(cd->lpData)));
    }
    case kTrackActivate:
        SetForegroundWindow(target);
        if (GetActiveWindow() != target)
            SetActiveWindow(target);
        return GetActiveWindow() == target;
    case kTrackShow: return ShowWindow(target, static_cast<int>(lParam));
    case kTrackMove: {
        const POINT p = unpackTrackPoint(lParam);
        return SetWindowPos(target, nullptr, p.x, p.y, 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    case kTrackDestroy: return DestroyWindow(target);
    case kTrackMetric: return GetSystemMetrics(static_cast<int>(wParam));
    case kTrackHookLive: {
        HWND probe = CreateWindowExW(0, kTrackPeerWindowClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        if (probe)
            DestroyWindow(probe);
        return GetModuleHandleW(L"ovl.dll") != nullptr;
    }
    case kTrackQueryCount:
    case kTrackQueryMaxSize:
    case kTrackQueryMaxPos:
    case kTrackQueryRestZero: return answerQuery(msg, target);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kTrackPeerWindowClass;
    RegisterClassW(&windowClass);

    WNDCLASSW commandClass{};
    commandClass.lpfnWndProc = commandProc;
    commandClass.hInstance = instance;
    commandClass.lpszClassName = kTrackPeerClass;
    RegisterClassW(&commandClass);
    HWND commands = CreateWindowExW(0, kTrackPeerClass, L"trackpeer commands", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
    if (!commands)
        return 1;

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = commands;
    icon.uID = 7;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpyW(icon.szTip, L"trackpeer");
    Shell_NotifyIconW(NIM_ADD, &icon);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
