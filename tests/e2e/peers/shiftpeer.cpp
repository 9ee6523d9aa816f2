// shiftpeer.exe: windows of "another program" for the viewport tests. Two UI threads each
// own a command window (shiftpeer_commands.h) that creates plain windows of any class,
// title, position and state on that thread, or stops the thread pumping messages so that
// its windows belong to a program that has stopped responding.
#include <windows.h>

#include <cwchar>

#include "shiftpeer_commands.h"

namespace {

HANDLE blockedEvent;
HANDLE releaseEvent;
HWND lastCreated[2];

LRESULT CALLBACK plainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE)
        return 0; // only the test ends this program
    return DefWindowProcW(w, msg, wp, lp);
}

// Reads the next comma-separated field; the last field takes the rest of the text.
const wchar_t* field(const wchar_t* p, wchar_t* out, int capacity, bool last) {
    int n = 0;
    while (*p && (last || *p != L',')) {
        if (n + 1 < capacity)
            out[n++] = *p;
        ++p;
    }
    out[n] = 0;
    return *p == L',' ? p + 1 : p;
}

HWND createFromArgument(const wchar_t* argument, int slot) {
    wchar_t f[6][256];
    const wchar_t* p = argument;
    for (int i = 0; i < 6; ++i)
        p = field(p, f[i], 256, false);
    wchar_t title[512];
    field(p, title, 512, true);
    const int x = _wtoi(f[0]), y = _wtoi(f[1]), w = _wtoi(f[2]), h = _wtoi(f[3]);
    const wchar_t* flags = f[4];
    const wchar_t* cls = f[5];

    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = cls;
    RegisterClassW(&wc); // a second registration of the class fails harmlessly

    DWORD style = wcschr(flags, L'p') ? WS_POPUP | WS_BORDER : WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    if (wcschr(flags, L't'))
        exStyle |= WS_EX_TOOLWINDOW;
    if (wcschr(flags, L'd'))
        style |= WS_DISABLED;
    HWND owner = wcschr(flags, L'o') ? lastCreated[slot] : nullptr;
    HWND win = CreateWindowExW(exStyle, cls, title, style, x, y, w, h, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!win)
        return nullptr;
    int show = SW_SHOWNOACTIVATE;
    if (wcschr(flags, L'm'))
        show = SW_SHOWMINNOACTIVE;
    if (wcschr(flags, L'x'))
        show = SW_SHOWMAXIMIZED;
    if (!wcschr(flags, L'h'))
        ShowWindow(win, show);
    lastCreated[slot] = win;
    return win;
}

LRESULT CALLBACK commandProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int slot = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        wchar_t argument[1024];
        const size_t units = data->cbData / sizeof(wchar_t);
        if (units == 0 || units >= 1024)
            return 0;
        wmemcpy(argument, static_cast<const wchar_t*>(data->lpData), units);
        argument[units] = 0;
        return reinterpret_cast<LRESULT>(createFromArgument(argument, slot));
    }
    case kShiftPeerBlock:
        SetEvent(blockedEvent);
        WaitForSingleObject(releaseEvent, 60000);
        ResetEvent(blockedEvent);
        return 0;
    case kShiftPeerQuit: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

HWND createCommandWindow(const wchar_t* title, int slot) {
    HWND w = CreateWindowExW(0, kShiftPeerClass, title, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (w)
        SetWindowLongPtrW(w, GWLP_USERDATA, slot);
    return w;
}

void pump() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

DWORD WINAPI secondThread(LPVOID ready) {
    createCommandWindow(L"second", 1);
    SetEvent(static_cast<HANDLE>(ready));
    pump();
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t name[64];
    shiftPeerEventName(name, L"Blocked", GetCurrentProcessId());
    blockedEvent = CreateEventW(nullptr, TRUE, FALSE, name);
    shiftPeerEventName(name, L"Release", GetCurrentProcessId());
    releaseEvent = CreateEventW(nullptr, TRUE, FALSE, name);

    WNDCLASSW commandClass{};
    commandClass.lpfnWndProc = commandProc;
    commandClass.hInstance = instance;
    commandClass.lpszClassName = kShiftPeerClass;
    RegisterClassW(&commandClass);

    // The second thread's window exists before the main one, so a test that finds
    // "main" finds both.
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, secondThread, ready, 0, nullptr);
    if (!thread)
        return 1;
    WaitForSingleObject(ready, 10000);
    if (!createCommandWindow(L"main", 0))
        return 1;
    pump();
    return 0;
}
