// The measuring cross cursor's reading labels: their two classes, their font, their
// placement beside the pointer and their outlined drawing. Main thread only; the
// arithmetic of place and text comes from cursor_layout.
#include "overlay/cursor_label.h"

#include "core/dpi.h"
#include "core/dpi_scale.h"
#include "core/view.h"
#include "overlay/cursor_layout.h"
#include "overlay/overlay_window.h"

#include <string>

namespace {

// Readings are at most 13 characters ("2,147,483,647"); a longer title set from outside
// is cut, never allocated for inside a window procedure.
constexpr int kTextCapacity = 32;
// The readings' character cell height at 96 DPI.
constexpr int kFontHeight = 16;

HWND xLabel;
HWND yLabel;
HFONT labelFont;
int labelFontDpi; // the DPI labelFont was made for

// One pass of the outline: the text in a colour, moved by (dx, dy) inside the label.
struct OutlinePass {
    COLORREF color;
    int dx, dy;
};
constexpr OutlinePass kOutline[] = {
    {RGB(0x7F, 0x7F, 0x7F), 0, 0}, {RGB(0x7F, 0x7F, 0x7F), 2, 0}, {RGB(0x7F, 0x7F, 0x7F), 2, 2},
    {RGB(0x7F, 0x7F, 0x7F), 0, 2}, {RGB(0x3F, 0x3F, 0x3F), 0, 1}, {RGB(0x3F, 0x3F, 0x3F), 1, 0},
    {RGB(0x3F, 0x3F, 0x3F), 2, 1}, {RGB(0x3F, 0x3F, 0x3F), 1, 2}, {RGB(0xFF, 0xFF, 0xFF), 1, 1},
};

// The black fill is keyed out, so what stays on screen is the outlined text alone.
void drawLabel(HWND label, const wchar_t* text, HDC dc) {
    RECT client;
    if (!dc || !text || !GetClientRect(label, &client))
        return;
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (GetBkMode(dc) != TRANSPARENT)
        SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, labelFont);
    for (const OutlinePass& pass : kOutline) {
        SetTextColor(dc, pass.color);
        RECT r = client;
        OffsetRect(&r, pass.dx, pass.dy);
        DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
    }
    SelectObject(dc, oldFont);
}

void releaseFont() {
    if (labelFont) {
        DeleteObject(labelFont);
        labelFont = nullptr;
    }
}

// Verdana at the DPI of the labels' monitor; the x and y labels always share one.
void makeFont(int dpi) {
    releaseFont();
    LOGFONTW lf{};
    lf.lfHeight = scaleForDpi(kFontHeight, dpi);
    lstrcpyW(lf.lfFaceName, L"Verdana");
    labelFont = CreateFontIndirectW(&lf);
    labelFontDpi = dpi;
}

template <bool X>
LRESULT CALLBACK labelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND& self = X ? xLabel : yLabel;
    switch (message) {
    case WM_NCCREATE: self = window; break;
    case WM_NCDESTROY:
        if (self == window)
            self = nullptr;
        break;
    case WM_CREATE: SetLayeredWindowAttributes(window, RGB(0, 0, 0), 0, LWA_COLORKEY); break;
    case WM_DPICHANGED:
        // The next placement measures the reading in the new font; the suggested
        // rectangle is not needed.
        makeFont(LOWORD(wParam));
        return 0;
    case WM_SETTEXT: {
        // A text set to nothing clears the label rather than leaving the old reading.
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        HDC dc = GetDC(window);
        drawLabel(window, text ? text : L"", dc);
        if (dc)
            ReleaseDC(window, dc);
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        wchar_t text[kTextCapacity] = {};
        GetWindowTextW(window, text, kTextCapacity);
        drawLabel(window, text, dc);
        EndPaint(window, &ps);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kXLabelClass[] = L"ZROVLHorzMeasure";
constexpr wchar_t kYLabelClass[] = L"ZROVLVertMeasure";

// Where a label goes for a pointer at `p`, sized for the reading it shows now (a reading
// that gains a digit is clipped until the next motion); (0, 0) and 1 × 1 while it cannot
// be measured.
Rect labelRect(HWND label, bool xReading, Point p) {
    const Rect fallback{0, 0, 1, 1};
    wchar_t text[kTextCapacity] = {};
    GetWindowTextW(label, text, kTextCapacity);
    HDC dc = GetDC(label);
    if (!dc)
        return fallback;
    HGDIOBJ oldFont = SelectObject(dc, labelFont);
    RECT r{};
    const int th = DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ReleaseDC(label, dc);
    const Size textSize{r.right, th};
    const int dpi = windowDpi(label);
    const Size cursor{metricForDpi(SM_CXCURSOR, dpi), metricForDpi(SM_CYCURSOR, dpi)};
    return xReading ? xLabelPlacement(p, RealScreenSize, textSize, cursor)
                    : yLabelPlacement(p, RealScreenSize, textSize, cursor);
}

void placeLabel(HWND label, bool xReading, Point p) {
    if (!IsWindow(label))
        return;
    // A label may have opened on a monitor whose DPI is not the system's.
    if (const int dpi = windowDpi(label); dpi != labelFontDpi)
        makeFont(dpi);
    const Rect r = labelRect(label, xReading, p);
    SetWindowPos(label, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 kOverlayMoveFlags);
    SetWindowTextW(label, formatThousands(xReading ? p.x : p.y).c_str());
}

// The font outlives every label; it goes at program exit.
struct LabelFontRelease {
    ~LabelFontRelease() { releaseFont(); }
} labelFontRelease;

} // namespace

void prepareCursorLabels() {
    registerOverlayClass(kXLabelClass, labelProc<true>);
    registerOverlayClass(kYLabelClass, labelProc<false>);
    // The labels open on the primary screen, the program's real screen.
    makeFont(windowDpi(nullptr));
}

void createCursorLabels() {
    if (!IsWindow(xLabel))
        createOverlayWindow(kXLabelClass, {0, 0, 1, 1}, L"0");
    if (!IsWindow(yLabel))
        createOverlayWindow(kYLabelClass, {0, 0, 1, 1}, L"0");
}

void closeCursorLabels() {
    if (IsWindow(xLabel))
        PostMessageW(xLabel, WM_CLOSE, 0, 0);
    if (IsWindow(yLabel))
        PostMessageW(yLabel, WM_CLOSE, 0, 0);
}

void placeCursorLabels(Point pointer) {
    placeLabel(xLabel, true, pointer);
    placeLabel(yLabel, false, pointer);
}
