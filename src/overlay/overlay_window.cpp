// Class registration and creation of the cross cursors' windows.
#include "overlay/overlay_window.h"

#include "core/app.h"

void registerOverlayClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = appInstance;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

HWND createOverlayWindow(const wchar_t* cls, const Rect& r, const wchar_t* title) {
    HWND w = CreateWindowExW(kOverlayExStyle, cls, title, WS_POPUP, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, appInstance, nullptr);
    if (w) {
        ShowWindow(w, SW_SHOWNOACTIVATE);
        UpdateWindow(w);
    }
    return w;
}
