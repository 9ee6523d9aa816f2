// The line windows of both cross cursors ("ZROVLHorzCursor"/"ZROVLVertCursor" and their
// measuring "…M" twins): brushes of the twelve dash phases, the animation and auto-hide
// timers, opening, closing and following the pointer. Main thread only; the labels live
// in cursor_label.cpp, the arithmetic in cursor_layout.
#include "overlay/cross_cursor.h"

#include "core/app.h"
#include "core/edge_movement.h"
#include "core/view.h"
#include "overlay/cursor_label.h"
#include "overlay/cursor_layout.h"
#include "overlay/overlay_window.h"
#include "res/resource.h"

#include <windows.h>

int measuringCursorOn;

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT_PTR kAutoHideTimer = 2;
constexpr UINT kAnimationMs = 100;
constexpr UINT kHideAfterDoubleClicks = 20;
constexpr COLORREF kSeeThroughGrey = RGB(0x80, 0x80, 0x80);
constexpr BYTE kLineAlpha = 127;

struct CursorOverlay {
    const wchar_t* horzClass;
    const wchar_t* vertClass;
    HBRUSH horzBrushes[kDashPhases];
    HBRUSH vertBrushes[kDashPhases];
    HWND horzLine;
    HWND vertLine;
    Point lastCursorPos;
};

enum OverlayKind { kCross, kMeasuring };
CursorOverlay overlays[2] = {
    {L"ZROVLHorzCursor", L"ZROVLVertCursor", {}, {}, nullptr, nullptr, {-1, -1}},
    {L"ZROVLHorzCursorM", L"ZROVLVertCursorM", {}, {}, nullptr, nullptr, {-1, -1}},
};

UINT autoHideMs() {
    return kHideAfterDoubleClicks * GetDoubleClickTime();
}

void closeOverlay(OverlayKind kind) {
    if (kind == kCross)
        closeCrossCursor();
    else
        closeMeasuringCursor();
}

void loadBrushes(HBRUSH (&slots)[kDashPhases], int firstBitmap) {
    for (int k = 0; k < kDashPhases; ++k) {
        if (slots[k])
            continue;
        auto bitmap = static_cast<HBITMAP>(LoadImageW(
            appInstance, MAKEINTRESOURCEW(firstBitmap + k), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (!bitmap)
            continue; // that phase paints nothing; the next opening tries again
        slots[k] = CreatePatternBrush(bitmap);
        DeleteObject(bitmap);
    }
}

void deleteBrushes(HBRUSH (&slots)[kDashPhases]) {
    for (HBRUSH& b : slots) {
        if (b)
            DeleteObject(b);
        b = nullptr;
    }
}

// The pattern is anchored at the client origin, so each phase moves the dashes on by one
// pixel toward increasing x or y.
void paintLine(HWND window, const HBRUSH (&brushes)[kDashPhases]) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc) {
        RECT client;
        if (GetClientRect(window, &client))
            FillRect(dc, &client, brushes[dashPhase(GetTickCount())]);
    }
    EndPaint(window, &ps);
}

template <OverlayKind Kind, bool Horizontal>
LRESULT CALLBACK lineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CursorOverlay& o = overlays[Kind];
    HWND& self = Horizontal ? o.horzLine : o.vertLine;
    auto& brushes = Horizontal ? o.horzBrushes : o.vertBrushes;
    switch (message) {
    case WM_NCCREATE: self = window; break;
    case WM_CREATE:
        // Grey segments are the gaps; black and white show half through.
        SetLayeredWindowAttributes(window, kSeeThroughGrey, kLineAlpha, LWA_COLORKEY | LWA_ALPHA);
        if (Horizontal) {
            SetTimer(window, kAnimationTimer, kAnimationMs, nullptr);
            SetTimer(window, kAutoHideTimer, autoHideMs(), nullptr);
        }
        break;
    case WM_PAINT: paintLine(window, brushes); return 0;
    case WM_TIMER:
        if (wParam == kAnimationTimer) {
            InvalidateRect(window, nullptr, FALSE);
            // The vertical line has no timer of its own: it steps with this one.
            if (Horizontal && IsWindow(o.vertLine))
                SendMessageW(o.vertLine, WM_TIMER, kAnimationTimer, 0);
        } else if (Horizontal && wParam == kAutoHideTimer) {
            closeOverlay(Kind); // the on/off flag stays: the next motion opens it again
        }
        break;
    case WM_DESTROY:
        if (Horizontal) {
            KillTimer(window, kAnimationTimer);
            KillTimer(window, kAutoHideTimer);
        }
        deleteBrushes(brushes);
        break;
    case WM_NCDESTROY:
        if (self == window)
            self = nullptr;
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Point pointerNow() {
    POINT p;
    if (!GetCursorPos(&p))
        return {0, 0};
    return {p.x, p.y};
}

template <OverlayKind Kind> Point openLines() {
    CursorOverlay& o = overlays[Kind];
    loadBrushes(o.horzBrushes, IDB_CROSS_H_FIRST);
    loadBrushes(o.vertBrushes, IDB_CROSS_V_FIRST);
    registerOverlayClass(o.horzClass, lineProc<Kind, true>);
    registerOverlayClass(o.vertClass, lineProc<Kind, false>);
    return pointerNow();
}

void createMissingLines(CursorOverlay& o, Point p) {
    if (!IsWindow(o.horzLine))
        createOverlayWindow(o.horzClass, horizontalLine(p, RealScreenSize), nullptr);
    if (!IsWindow(o.vertLine))
        createOverlayWindow(o.vertClass, verticalLine(p, RealScreenSize), nullptr);
}

void postClose(HWND w) {
    if (IsWindow(w))
        PostMessageW(w, WM_CLOSE, 0, 0);
}

// Moves the lines of an open overlay to the pointer; false when the overlay was closed
// and has been opened instead.
bool followPointer(OverlayKind kind) {
    CursorOverlay& o = overlays[kind];
    if (!IsWindow(o.horzLine)) {
        if (kind == kCross)
            openCrossCursor();
        else
            openMeasuringCursor();
        return false;
    }
    const Point p = PointerPosition;
    const Rect h = horizontalLine(p, RealScreenSize);
    SetWindowPos(o.horzLine, HWND_TOPMOST, h.left, h.top, h.right - h.left, h.bottom - h.top,
                 kOverlayMoveFlags);
    // Only a real change of position counts as activity: a pointer pressed against an
    // edge moves nothing, and the overlay still goes away after a while.
    if (!(p == o.lastCursorPos)) {
        o.lastCursorPos = p;
        SetTimer(o.horzLine, kAutoHideTimer, autoHideMs(), nullptr);
    }
    if (IsWindow(o.vertLine)) {
        const Rect v = verticalLine(p, RealScreenSize);
        SetWindowPos(o.vertLine, HWND_TOPMOST, v.left, v.top, v.right - v.left, v.bottom - v.top,
                     kOverlayMoveFlags);
    }
    return true;
}

} // namespace

void openCrossCursor() {
    const Point p = openLines<kCross>();
    createMissingLines(overlays[kCross], p);
}

void openMeasuringCursor() {
    const Point p = openLines<kMeasuring>();
    prepareCursorLabels();
    createMissingLines(overlays[kMeasuring], p);
    createCursorLabels();
}

void closeCrossCursor() {
    CursorOverlay& o = overlays[kCross];
    postClose(o.horzLine);
    postClose(o.vertLine);
    o.lastCursorPos = {-1, -1};
}

void closeMeasuringCursor() {
    CursorOverlay& o = overlays[kMeasuring];
    postClose(o.horzLine);
    postClose(o.vertLine);
    closeCursorLabels();
    o.lastCursorPos = {-1, -1};
}

void moveCrossCursor() {
    followPointer(kCross);
}

void moveMeasuringCursor() {
    if (followPointer(kMeasuring))
        placeCursorLabels(PointerPosition);
}
