// The "OVLOutline" window: its record, its opening and placement, and its window
// procedure (hover, jump, middle-button carry, right-click close, pointer warp, fades).
// The pictures come from overview_paint, the arithmetic from overview_layout. Main thread
// only; it has no keyboard handling.
#include "overview/overview_window.h"

#include "core/app.h"
#include "core/dpi.h"
#include "core/dpi_scale.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/view.h"
#include "core/viewport.h"
#include "mainwnd/arrange.h"
#include "mainwnd/hand_off.h"
#include "overview/overview_layout.h"
#include "overview/overview_paint.h"
#include "overview/plate_facts.h"

#include <commctrl.h>
#include <imm.h>

HWND OverviewWindow;

namespace {

constexpr wchar_t kClassName[] = L"OVLOutline";
constexpr wchar_t kStatusText[] =
    L"仮想全域 クリック左「表示範囲変更」。中「対象ウィンドウ移動」。右「閉じる」。";
constexpr UINT_PTR kLeaveTimer = 1000;
constexpr UINT_PTR kIdleTimer = 2000;
constexpr UINT kFadeTick = 33;
constexpr DWORD kOverviewExStyle = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD kOverviewStyle = WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME;

// The status bar's font at the overview's DPI; made at creation and at a DPI change.
HFONT statusFont;

// The outer size that shows the whole status text at `dpi` (width) and a status bar with
// some picture above it (height).
Size statusNeed(HWND window, int dpi) {
    HFONT font = statusFont ? statusFont : statusFontForDpi(dpi);
    const int text = textWidth(window, font, kStatusText);
    if (font != statusFont)
        DeleteObject(font);
    // The text's inset on both sides and the size grip beside it.
    RECT r{0, 0, text + scaleForDpi(12, dpi) + metricForDpi(SM_CXVSCROLL, dpi), 0};
    AdjustWindowRectEx(&r, kOverviewStyle, FALSE, kOverviewExStyle);
    return {r.right - r.left, 0};
}

void applyStatusFont(HWND window, int dpi) {
    HWND status = GetDlgItem(window, kStatusBarId);
    HFONT font = statusFontForDpi(dpi);
    if (!status || !font) {
        if (font)
            DeleteObject(font);
        return;
    }
    SendMessageW(status, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (statusFont)
        DeleteObject(statusFont);
    statusFont = font;
}

// The last position the mouse-move handler saw; kept across openings, so a move message
// at the same place in the next overview is still no move.
Point lastMouse{-1, -1};

Point clientPoint(LPARAM lp) {
    return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

void trackLeave(HWND window) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, window, 0};
    TrackMouseEvent(&t);
}

// Opaque again: the fade of the other timer stops.
void wake(HWND window, UINT_PTR otherTimer) {
    KillTimer(window, otherTimer);
    OverviewState.alpha = 255;
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
}

void drop(HWND window) {
    if (GetCapture() == window)
        ReleaseCapture();
    InvalidateRect(window, nullptr, FALSE);
}

void highlightOnWindowDc(HWND window, bool erase, bool draw) {
    if (HDC dc = GetDC(window)) {
        drawHoverHighlight(window, dc, erase, draw, true);
        ReleaseDC(window, dc);
    }
}

// The overview's own closes give the activation to a window in the view first: left to
// the system, it could go to a window far off, and tracking would carry the view there.
void closeHandingOff(HWND window) {
    handOffActivation(window, CloseCause::Asked);
    SendMessageW(window, WM_CLOSE, 0, 0);
}

void jump(HWND window, Point p, bool ctrl) {
    if (OverviewState.target) {
        drop(window);
        return;
    }
    Size picture;
    if (!readPictureArea(window, picture) || p.x < 0 || p.y < 0 || p.x >= picture.w ||
        p.y >= picture.h)
        return;
    ReleaseCapture();
    const Point to = jumpOrigin(p, picture, currentArea(), !ctrl);
    lastStep = {to.x - ViewOrigin.x, to.y - ViewOrigin.y};
    // Also for a zero step: the shift shows the frame and redraws the tray picture.
    shiftView(lastStep.x, lastStep.y, nullptr);
    closeHandingOff(window);
}

void pickUp(HWND window, Point p) {
    if (OverviewState.target) {
        drop(window);
        return;
    }
    Size picture;
    if (!readPictureArea(window, picture))
        return;
    OverviewState.dragStart = OverviewState.dragLast = p;
    const Point v = pickPoint(p, picture, currentArea());
    collectWindows(0);
    for (int i = 0; i < ManagedWindowList.count; ++i) {
        HWND w = ManagedWindowList.windows[i];
        RECT r;
        if (!GetWindowRect(w, &r))
            continue;
        OffsetRect(&r, ViewOrigin.x, ViewOrigin.y);
        if (PtInRect(&r, POINT{v.x, v.y})) {
            OverviewState.target = w;
            OverviewState.carriedAhead = false;
            OverviewState.carriedOwned = collectOwnedWindows(w);
            SetCapture(window);
            highlightOnWindowDc(window, true, false);
            return;
        }
    }
}

void dragStep(HWND window, Point p) {
    HWND target = OverviewState.target;
    if (!IsWindow(target)) {
        ReleaseCapture();
        return;
    }
    Size picture;
    if (!readPictureArea(window, picture))
        return;
    Rect before;
    if (!carriedRect(target, before))
        return;
    const AreaShape area = currentArea();
    const Point m = dragDistance(OverviewState.dragLast, p, before, ViewOrigin, picture, area);
    // A move is a message its program must answer. Once it has not answered, every later
    // move of this carry goes asynchronously too, so that they land in order.
    if (!OverviewState.carriedAhead) {
        probePrograms(&target, 1);
        OverviewState.carriedAhead = !programAnswers(target);
    }
    const UINT flags = SWP_NOSIZE | SWP_NOACTIVATE;
    Rect after{before.left + m.x, before.top + m.y, before.right + m.x, before.bottom + m.y};
    if (OverviewState.carriedAhead) {
        SetWindowPos(target, HWND_TOP, after.left, after.top, 0, 0, flags | SWP_ASYNCWINDOWPOS);
        OverviewState.carried = after;
    } else {
        SetWindowPos(target, HWND_TOP, after.left, after.top, 0, 0, flags);
        if (!carriedRect(target, after))
            return;
    }
    carryOwnedWindows(OverviewState.carriedOwned,
                      {after.left - before.left, after.top - before.top},
                      !OverviewState.carriedAhead);
    OverviewState.dragLast = p;
    for (const Rect& r : {before, after}) {
        const Rect d = dragDamage(r, ViewOrigin, picture, area);
        const RECT damage{d.left, d.top, d.right, d.bottom};
        InvalidateRect(window, &damage, FALSE);
    }
    UpdateWindow(window);
}

void onMouseMove(HWND window, Point p) {
    if (p == lastMouse)
        return;
    lastMouse = p;
    wake(window, kLeaveTimer);
    SetTimer(window, kIdleTimer, 10 * GetDoubleClickTime(), nullptr);
    trackLeave(window);
    if (OverviewState.target && GetCapture() == window) {
        dragStep(window, p);
        return;
    }
    highlightOnWindowDc(window, true, true);
}

void closePuttingPointerBack(HWND window) {
    if (OverviewState.target) {
        drop(window);
        return;
    }
    OverviewState.savedCursor = restoredCursor(OverviewState.savedCursor, RealScreenSize);
    SetCursorPos(OverviewState.savedCursor.x, OverviewState.savedCursor.y);
    closeHandingOff(window);
}

void warpPointer(HWND window) {
    POINT now{};
    GetCursorPos(&now);
    OverviewState.savedCursor = {now.x, now.y};
    Size picture;
    if (!readPictureArea(window, picture))
        return;
    const Point c = warpPoint(ViewOrigin, picture, currentArea());
    POINT p{c.x, c.y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
}

void leaveCountdown(HWND window) {
    wake(window, kIdleTimer);
    SetTimer(window, kLeaveTimer, 5 * GetDoubleClickTime(), nullptr);
}

// One step of a fade: false when the fade has ended (opacity 0).
bool fadeOnce(HWND window, UINT_PTR timer, unsigned periodMs) {
    const FadeResult f = nextFade(OverviewState.alpha, fadeStep(periodMs));
    OverviewState.alpha = f.alpha;
    if (f.finished)
        return false;
    const LONG ex = GetWindowLongW(window, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED))
        SetWindowLongW(window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(f.alpha), LWA_ALPHA);
    SetTimer(window, timer, kFadeTick, nullptr);
    return true;
}

void onTimer(HWND window, UINT_PTR id) {
    const UINT dct = GetDoubleClickTime();
    if (id == kLeaveTimer) {
        if (!fadeOnce(window, kLeaveTimer, 5 * dct))
            closeHandingOff(window);
    } else if (id == kIdleTimer) {
        if (fadeOnce(window, kIdleTimer, 10 * dct))
            return;
        POINT p{};
        if (!GetCursorPos(&p))
            p = {0, 0};
        ScreenToClient(window, &p);
        jump(window, {p.x, p.y}, GetAsyncKeyState(VK_CONTROL) < 0);
    }
}

void onCreate(HWND window) {
    OverviewState.savedIme = ImmAssociateContext(window, nullptr);
    CreateWindowExW(0, STATUSCLASSNAMEW, kStatusText, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                    1, 1, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                    appInstance, nullptr);
    applyStatusFont(window, windowDpi(window));
    OverviewState.alpha = 255;
    SetTimer(window, kIdleTimer, 10 * GetDoubleClickTime(), nullptr);
}

void onSize(HWND window) {
    if (HWND status = GetDlgItem(window, kStatusBarId))
        SendMessageW(status, WM_SIZE, 0, 0);
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    Settings.overviewWidth = r.right - r.left;
    Settings.overviewHeight = r.bottom - r.top;
    OverviewState.thumbnails.clear();
    OverviewState.needsRebuild = 1;
}

void onDestroy(HWND window) {
    OverviewState.thumbnails.clear();
    if (OverviewState.savedIme) {
        ImmAssociateContext(window, OverviewState.savedIme);
        OverviewState.savedIme = nullptr;
    }
    OverviewState.needsRebuild = 1;
    TRACKMOUSEEVENT t{sizeof(t), TME_CANCEL | TME_LEAVE, window, 0};
    TrackMouseEvent(&t);
    saveSettings(); // keeps the size for the next opening and the next run
    if (statusFont) {
        DeleteObject(statusFont);
        statusFont = nullptr;
    }
}

LRESULT CALLBACK overviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: OverviewWindow = window; break;
    case WM_NCDESTROY: OverviewWindow = nullptr; break;
    case WM_CREATE: onCreate(window); return 0;
    case WM_DESTROY: onDestroy(window); return 0;
    case WM_SIZE: onSize(window); break;
    case WM_PAINT: paintOverview(window); return 0;
    case WM_SHOWWINDOW:
        if (wParam)
            warpPointer(window);
        break;
    case WM_GETMINMAXINFO: {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        const int dpi = windowDpi(window);
        const Size least = overviewMinimum(statusNeed(window, dpi), RealScreenSize, dpi);
        mmi->ptMinTrackSize = {least.w, least.h};
        mmi->ptMaxTrackSize = {RealScreenSize.w, RealScreenSize.h};
        return 0;
    }
    case WM_DPICHANGED: {
        applyStatusFont(window, LOWORD(wParam));
        const RECT* r = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NCMOUSEMOVE:
        leaveCountdown(window);
        trackLeave(window);
        break;
    case WM_MOUSELEAVE: leaveCountdown(window); return 0;
    case WM_TIMER: onTimer(window, wParam); break;
    case WM_MOUSEMOVE: onMouseMove(window, clientPoint(lParam)); return 0;
    case WM_LBUTTONUP: jump(window, clientPoint(lParam), (wParam & MK_CONTROL) != 0); return 0;
    case WM_RBUTTONDOWN: return 0;
    case WM_RBUTTONUP: closePuttingPointerBack(window); return 0;
    case WM_MBUTTONDOWN: pickUp(window, clientPoint(lParam)); return 0;
    case WM_MBUTTONUP:
        if (OverviewState.target && !(clientPoint(lParam) == OverviewState.dragStart))
            drop(window);
        return 0;
    case WM_CAPTURECHANGED: OverviewState.target = nullptr; return 0;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void openOverview() {
    if (IsWindow(OverviewWindow))
        return;
    OverviewState.needsRebuild = 1;
    OverviewState.target = nullptr;
    OverviewWindow = nullptr;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = overviewProc;
    wc.hInstance = appInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc); // fails harmlessly once registered
    POINT p{};
    if (!GetCursorPos(&p))
        p = {0, 0};
    const int dpi = windowDpi(nullptr);
    const Rect r = overviewPlacement({p.x, p.y}, {Settings.overviewWidth, Settings.overviewHeight},
                                     RealScreenSize, statusNeed(nullptr, dpi), dpi);
    Settings.overviewWidth = r.right - r.left;
    Settings.overviewHeight = r.bottom - r.top;
    // The programs answer for the plates while the window is made and shown, which takes
    // as long as asking them.
    prefetchPicture();
    HWND window = CreateWindowExW(kOverviewExStyle, kClassName, nullptr, kOverviewStyle, r.left,
                                  r.top, r.right - r.left, r.bottom - r.top, MainWindow, nullptr,
                                  appInstance, nullptr);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    dropPrefetchedPlateFacts(); // when no first paint took it
}

void closeOverviewOnOutsideClick() {
    HWND window = OverviewWindow;
    if (!IsWindowVisible(window) || GetCapture() == window)
        return;
    POINT p;
    RECT r;
    if (GetCursorPos(&p) && GetWindowRect(window, &r) && !PtInRect(&r, p)) {
        handOffActivation(window, CloseCause::ClickOutside); // the clicked window takes it
        SendMessageW(window, WM_CLOSE, 0, 0);
    }
}

void resetOverviewState() {
    OverviewState.thumbnails.clear();
    OverviewState = OverviewStateRecord{};
    lastMouse = {-1, -1};
}
