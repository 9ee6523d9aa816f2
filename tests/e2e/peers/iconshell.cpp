// iconshell.exe: stands in for the desktop shell in the desktop-icon end-to-end test. Its
// window becomes the shell window and holds a "SHELLDLL_DefView" with a real
// "SysListView32" of the icons of iconshell_commands.h, so the program finds the list
// view, hooks this thread and moves the icons from inside this process. With the argument
// "show" the shell covers the screen (for looking at it); otherwise it stays hidden. Once
// ready it broadcasts "TaskbarCreated", as a restarted shell does.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "iconshell_commands.h"

extern "C" BOOL WINAPI SetShellWindow(HWND);

namespace {

HWND listView = nullptr;

LRESULT CALLBACK shellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int item = static_cast<int>(wParam);
    switch (msg) {
    case kShellPosition: {
        POINT p;
        if (!SendMessageW(listView, LVM_GETITEMPOSITION, item, reinterpret_cast<LPARAM>(&p)))
            return 0;
        return static_cast<LRESULT>(packShellPoint(p.x, p.y));
    }
    case kShellPlace: {
        POINT p{shellPointX(static_cast<std::uint32_t>(lParam)),
                shellPointY(static_cast<std::uint32_t>(lParam))};
        return SendMessageW(listView, LVM_SETITEMPOSITION32, item, reinterpret_cast<LPARAM>(&p));
    }
    case kShellArrange: {
        const LONG style = GetWindowLongW(listView, GWL_STYLE) & ~LVS_AUTOARRANGE;
        SetWindowLongW(listView, GWL_STYLE, wParam == 1 ? style | LVS_AUTOARRANGE : style);
        SendMessageW(listView, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SNAPTOGRID,
                     wParam == 2 ? LVS_EX_SNAPTOGRID : 0);
        return 1;
    }
    case kShellCount: return SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

ATOM registerClass(const wchar_t* name, WNDPROC proc, HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
    wc.lpszClassName = name;
    return RegisterClassW(&wc);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
    // Common controls by name: the peers link only the basic system libraries.
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    if (init == nullptr || !init(&icc))
        return 1;

    registerClass(L"IconShellWindow", shellProc, instance);
    registerClass(L"SHELLDLL_DefView", DefWindowProcW, instance);
    const bool show = wcsstr(args, L"show") != nullptr;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HWND shell = CreateWindowExW(WS_EX_TOOLWINDOW, L"IconShellWindow", L"", WS_POPUP, 0, 0, w, h,
                                 nullptr, nullptr, instance, nullptr);
    HWND defView = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, w, h,
                                   shell, nullptr, instance, nullptr);
    listView =
        CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_NOSCROLL, 0, 0,
                        w, h, defView, nullptr, instance, nullptr);
    if (listView == nullptr || !SetShellWindow(shell))
        return 2;
    for (int i = 0; i < kShellIconCount; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(kShellIcons[i].label);
        SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        POINT p{kShellIcons[i].x, kShellIcons[i].y};
        SendMessageW(listView, LVM_SETITEMPOSITION32, i, reinterpret_cast<LPARAM>(&p));
    }
    if (show)
        ShowWindow(shell, SW_SHOWNOACTIVATE);
    // As a shell that (re)starts tells every program to put its notification icon back.
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
