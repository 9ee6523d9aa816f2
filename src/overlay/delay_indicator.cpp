// The "ZROVLDelayWindowClass" window: its one-time class, its placement around the pointer,
// its window procedure and its paint routine. Reads DelayState and Settings.delay; the
// geometry comes from indicator_layout.
#include "overlay/delay_indicator.h"

#include "core/dpi.h"

#include "core/delay_gate.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/view.h"
#include "overlay/indicator_layout.h"

#include <windows.h>

namespace {

constexpr DWORD kIndicatorExStyle =
    WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
constexpr DWORD kIndicatorStyle = WS_POPUP | WS_BORDER;
constexpr BYTE kIndicatorAlpha = 192;

// Null until the first indicator is created; then the record for good.
DelayStateRecord* indicatorRecord = nullptr;
bool classRegistered = false;

LRESULT CALLBACK delayIndicatorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool registerIndicatorClass() {
    if (classRegistered)
        return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = delayIndicatorProc;
    wc.hbrBackground = CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    wc.lpszClassName = DelayState.className;
    classRegistered = RegisterClassExW(&wc) != 0;
    if (!classRegistered && wc.hbrBackground)
        DeleteObject(wc.hbrBackground);
    return classRegistered;
}

void paintDelayIndicator(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    const IndicatorBands b =
        indicatorBands(indicatorRecord->sumX, indicatorRecord->sumY, Settings.delay);
    if (b.draw) {
        // The bands are worked out in a 100 × 100 square and drawn stretched to the client
        // at its DPI; the pen stays one pixel wide.
        RECT client{};
        GetClientRect(window, &client);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, kIndicatorClient, kIndicatorClient, nullptr);
        SetViewportExtEx(dc, client.right, client.bottom, nullptr);
        const RECT bandX{b.bandX.left, b.bandX.top, b.bandX.right, b.bandX.bottom};
        const RECT bandY{b.bandY.left, b.bandY.top, b.bandY.right, b.bandY.bottom};
        FillRect(dc, &bandX, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FillRect(dc, &bandY, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        MoveToEx(dc, b.edgeX, 0, nullptr);
        LineTo(dc, b.edgeX, kIndicatorClient);
        MoveToEx(dc, 0, b.edgeY, nullptr);
        LineTo(dc, kIndicatorClient, b.edgeY);
        SelectObject(dc, oldPen);
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK delayIndicatorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!indicatorRecord) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (message != WM_NCCREATE || !cs || !cs->lpCreateParams)
            return DefWindowProcW(window, message, wParam, lParam);
        indicatorRecord = static_cast<DelayStateRecord*>(cs->lpCreateParams);
    }
    switch (message) {
    case WM_NCCREATE: indicatorRecord->window = window; break;
    case WM_NCDESTROY:
        // Only the window the record holds may clear it.
        if (indicatorRecord->window == window)
            indicatorRecord->window = nullptr;
        break;
    case WM_PAINT: paintDelayIndicator(window); break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void showOrMoveDelayIndicator() {
    HWND window = DelayState.window;
    const int dpi = windowDpi(IsWindow(window) ? window : nullptr);
    const Rect r = indicatorPlacement(PointerPosition, RealScreenSize, dpi);
    const int side = indicatorOuterSide(dpi);
    if (IsWindow(window)) {
        MoveWindow(window, r.left, r.top, side, side, TRUE);
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    if (!registerIndicatorClass())
        return;
    window = CreateWindowExW(kIndicatorExStyle, DelayState.className, nullptr, kIndicatorStyle,
                             r.left, r.top, side, side, nullptr, nullptr, nullptr, &DelayState);
    if (!window)
        return;
    SetLayeredWindowAttributes(window, 0, kIndicatorAlpha, LWA_ALPHA);
    // Shown without activation: a normal show would take the focus from the window the
    // user is working in, in the middle of the push.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
}

void closeDelayIndicator() {
    if (IsWindow(DelayState.window))
        SendMessageW(DelayState.window, WM_CLOSE, 0, 0);
}
