// Pushes the pointer against one edge of the screen with real relative input, as a mouse
// that cannot reach the edge of a Wine desktop window would: "pointerpush right [pixels]"
// puts the pointer on the right edge, below the demo's windows, then sends relative moves
// further right, 16 pixels every 20 ms, `pixels` in all (default 1024). Used by
// scripts/run --push; ends when the moves are sent.
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

namespace {

void moveBy(int dx, int dy) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof(in));
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2)
        return 2;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    int dx = 0, dy = 0;
    POINT start{};
    // Each start spot lies over no window of the demo: a spot over another program's
    // window would make that program report the pointer once more as it leaves.
    if (!wcscmp(argv[1], L"right")) {
        dx = 1;
        start = {w - 1, h * 9 / 10};
    } else if (!wcscmp(argv[1], L"left")) {
        dx = -1;
        start = {0, h * 9 / 10};
    } else if (!wcscmp(argv[1], L"up")) {
        dy = -1;
        start = {w * 9 / 10, 0};
    } else if (!wcscmp(argv[1], L"down")) {
        dy = 1;
        start = {w * 9 / 10, h - 1};
    } else {
        return 2;
    }
    const int pixels = argc > 2 ? static_cast<int>(wcstol(argv[2], nullptr, 10)) : 1024;
    LocalFree(argv);
    SetCursorPos(start.x, start.y);
    Sleep(500); // the program reads the pointer at the edge before the push starts
    constexpr int kStep = 16;
    for (int sent = 0; sent < pixels; sent += kStep) {
        moveBy(dx * kStep, dy * kStep);
        Sleep(20);
    }
    return 0;
}
