// The Wine session every test runs in. Its X focus events come after the activations that
// caused them; a session that activated a window on such a late event would hand the
// activation back to a window the program has already left, which answers with a late event
// of its own: two windows activating each other for as long as they live, and every test
// that reads the active window or waits for quiet reports would fail by chance.
#include "shiftpeer_client.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

int activations = 0;

LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE)
        ++activations;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Two activations in turn without a look at the queue between them, as a program that opens
// two windows in one go does: the second stays in front and nothing more happens.
TEST(Session, TwoActivationsInTurnLeaveTheSecondInFrontAndStop) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvalisActivationProbe";
    ASSERT_NE(RegisterClassW(&wc), 0);
    const auto make = [&](int x) {
        return CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x,
                               100, 200, 150, nullptr, nullptr, wc.hInstance, nullptr);
    };
    HWND first = make(100);
    HWND second = make(400);
    ASSERT_TRUE(first && second);
    // Quiet after the two shows (each activates), so that only the two calls below count.
    int seen = -1;
    ULONGLONG quietSince = 0;
    const auto quietFor = [&](ULONGLONG ms) {
        if (activations != seen) {
            seen = activations;
            quietSince = GetTickCount64();
        }
        return GetTickCount64() - quietSince >= ms;
    };
    ASSERT_TRUE(waitFor([&] { return quietFor(300); }))
        << "still activating after the two shows: " << activations << " activations";

    activations = 0;
    seen = -1;
    SetForegroundWindow(first);
    SetForegroundWindow(second);
    EXPECT_TRUE(waitFor([&] { return quietFor(500); }, 3000))
        << "still activating: " << activations << " activations";
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_LE(activations, 2);
    DestroyWindow(first);
    DestroyWindow(second);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

} // namespace
