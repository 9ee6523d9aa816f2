// A program of plain windows for the e2e tests: each argument "title,x,y,w,h[,flags]"
// makes one top-level window of class "OrvPeerWindow" (flags: m = minimized, u = no
// title, t = tool window). It never activates itself and ends when any of its windows is
// closed, so a test ends it with one WM_CLOSE. When the environment names a shared move
// log ("ORV_PEER_MOVE_LOG": a file mapping of a count and one 64-bit slot per argument,
// and an event of the same name with ".done"), each window writes the performance
// counter into its empty slot when it moves, and the last one to do so sets the event: a
// benchmark learns when the windows moved without asking anything while they move.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

volatile LONGLONG* moveLog = nullptr; // [0] windows moved, [1 + i] when window i moved
int moveLogSlots = 0;
HANDLE allMoved = nullptr;

void openMoveLog(int slots) {
    wchar_t name[128];
    if (!GetEnvironmentVariableW(L"ORV_PEER_MOVE_LOG", name, 120)) return;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!mapping) return;
    moveLog = static_cast<volatile LONGLONG*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONGLONG) * (slots + 1)));
    wcscat(name, L".done");
    allMoved = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (moveLog && allMoved) moveLogSlots = slots;
}

void logMove(HWND w, const WINDOWPOS* pos) {
    if (!moveLogSlots || (pos->flags & SWP_NOMOVE)) return;
    const INT_PTR slot = reinterpret_cast<INT_PTR>(GetPropW(w, L"OrvPeerName")) - 1;
    if (slot < 0 || slot >= moveLogSlots || moveLog[1 + slot] != 0) return;
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    moveLog[1 + slot] = t.QuadPart;
    if (InterlockedIncrement64(const_cast<LONGLONG*>(&moveLog[0])) == moveLogSlots)
        SetEvent(allMoved);
}

LRESULT CALLBACK peerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_WINDOWPOSCHANGED) logMove(w, reinterpret_cast<const WINDOWPOS*>(lp));
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r;
        GetClientRect(w, &r);
        wchar_t title[64];
        GetWindowTextW(w, title, 64);
        DrawTextW(dc, title, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = peerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"OrvPeerWindow";
    RegisterClassExW(&wc);

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 1) openMoveLog(argc - 1);
    for (int i = 1; argv && i < argc; ++i) {
        // Split by hand: the runtime's scanf sets of this Wine lose titles that start with
        // a digit.
        wchar_t title[64] = {};
        wchar_t flags[8] = {};
        int numbers[4] = {};
        const wchar_t* p = argv[i];
        const wchar_t* comma = wcschr(p, L',');
        if (!comma || comma - p >= 64) continue;
        wcsncpy(title, p, static_cast<size_t>(comma - p));
        p = comma + 1;
        int n = 0;
        for (; n < 4 && *p; ++n) {
            wchar_t* end = nullptr;
            numbers[n] = static_cast<int>(wcstol(p, &end, 10));
            p = (*end == L',') ? end + 1 : end;
        }
        if (n < 4) continue;
        wcsncpy(flags, p, 7);
        const int x = numbers[0], y = numbers[1], w = numbers[2], h = numbers[3];
        const bool untitled = wcschr(flags, L'u') != nullptr;
        const DWORD ex = wcschr(flags, L't') ? WS_EX_TOOLWINDOW : 0;
        HWND win = CreateWindowExW(ex, L"OrvPeerWindow", untitled ? L"" : title,
                                   WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr, nullptr, instance,
                                   nullptr);
        if (!win) continue;
        // Untitled windows are found by the test through this property.
        SetPropW(win, L"OrvPeerName", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(i)));
        ShowWindow(win, wcschr(flags, L'm') ? SW_SHOWMINNOACTIVE : SW_SHOWNOACTIVATE);
    }
    LocalFree(argv);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
