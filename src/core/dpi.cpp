// DPI, metrics and fonts for the DPI of a window's monitor.
#include "core/dpi.h"

#include "core/dpi_scale.h"

namespace {

using DpiForWindowProc = UINT(WINAPI*)(HWND);
using DpiForSystemProc = UINT(WINAPI*)();
using MetricsForDpiProc = int(WINAPI*)(int, UINT);

template <typename F> F user32Entry(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

int systemDpi() {
    static const auto forSystem = user32Entry<DpiForSystemProc>("GetDpiForSystem");
    if (forSystem)
        return static_cast<int>(forSystem());
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

// A font made at the system's DPI, carried to `dpi`.
HFONT fontAt(LOGFONTW lf, int dpi) {
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, systemDpi());
    lf.lfWidth = MulDiv(lf.lfWidth, dpi, systemDpi());
    return CreateFontIndirectW(&lf);
}

} // namespace

int windowDpi(HWND window) {
    static const auto forWindow = user32Entry<DpiForWindowProc>("GetDpiForWindow");
    if (window && forWindow) {
        const UINT dpi = forWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return systemDpi();
}

int metricForDpi(int index, int dpi) {
    static const auto forDpi = user32Entry<MetricsForDpiProc>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

HFONT statusFontForDpi(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return guiFontForDpi(dpi);
    return fontAt(metrics.lfStatusFont, dpi);
}

HFONT guiFontForDpi(int dpi) {
    LOGFONTW lf{};
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf))
        return nullptr;
    return fontAt(lf, dpi);
}

int textWidth(HWND window, HFONT font, const wchar_t* text) {
    HDC dc = GetDC(window);
    if (!dc)
        return 0;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
    return r.right - r.left;
}
