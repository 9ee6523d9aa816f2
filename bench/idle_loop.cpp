// The bare shape of the program's main loop: a 33 ms wait on two events and the message
// queue, then a drain of the queue. The benchmark measures its idle processor time beside
// the program's, to tell the loop's own cost under this system from the program's. With
// "wait" it only waits, with "sleep" it only sleeps 33 ms at a time: what any wake-up
// every 33 ms costs here.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmd, int) {
    const bool waitOnly = std::wcsstr(cmd, L"wait") != nullptr;
    if (std::wcsstr(cmd, L"sleep"))
        for (;;)
            Sleep(33);
    HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"idle-loop", 0, 0, 0, 0, 0, nullptr,
                             nullptr, nullptr, nullptr);
    HANDLE events[2] = {CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(2, events, FALSE, 33, 0xFF);
        if (waitOnly)
            continue;
        if (r != WAIT_OBJECT_0 + 2 && r != WAIT_TIMEOUT) continue;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!IsWindow(w)) return 0;
    }
}
