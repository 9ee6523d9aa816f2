// References for the idle benchmark. By default the bare shape of a loop that wakes every
// 33 ms: a wait on two events and the message queue, then a drain of the queue. With
// "forever" in its command line, one thread that only waits, forever: the least any
// process costs under this system.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    if (std::wcsstr(cmd, L"forever")) {
        WaitForSingleObject(CreateEventW(nullptr, TRUE, FALSE, nullptr), INFINITE);
        return 0;
    }
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"idle-loop", 0, 0, 0, 0, 0, nullptr,
                             nullptr, nullptr, nullptr);
    HANDLE events[2] = {CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(2, events, FALSE, 33, 0xFF);
        if (r != WAIT_OBJECT_0 + 2 && r != WAIT_TIMEOUT)
            continue;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return 0;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!IsWindow(w))
            return 0;
    }
}
