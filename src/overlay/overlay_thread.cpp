// The overlay thread and the relative-position frame it owns: the "ZRBorderWindowClass"
// strips, their showing after a shift and hiding on input or after a while. Runs on the
// overlay thread only; reads the view values and three settings that the main thread
// writes, and touches no window of the main thread.
#include "overlay/overlay_thread.h"

#include "core/app.h"
#include "core/dpi.h"
#include "core/settings.h"
#include "core/view.h"
#include "overlay/frame_layout.h"
#include "res/resource.h"

BorderFrameRecord BorderFrame;
BorderFrameRecord* CurrentBorderFrame = &BorderFrame;

namespace {

constexpr wchar_t kStripClass[] = L"ZRBorderWindowClass";
constexpr DWORD kStripExStyle =
    WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
constexpr UINT kShowFlags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
constexpr UINT kHideAfterDoubleClicks = 20;

// The strips in the order they are made, moved and hidden: left, top, right, bottom.
struct StripSlots {
    HWND* slot[4];
};
StripSlots stripsOf(BorderFrameRecord& f) {
    return {{&f.leftStrip, &f.topStrip, &f.rightStrip, &f.bottomStrip}};
}

// Read once per use: the main thread may change them between two shifts, and the next
// shift's WM_BORDER_SHOW puts right whatever a frame drawn in between got wrong.
FrameStrips currentStrips() {
    return frameStrips(ViewOrigin, RealScreenSize, Settings.columns, Settings.rows,
                       windowDpi(nullptr));
}

void hideFrame(BorderFrameRecord& f) {
    if (f.hideTimer) {
        KillTimer(nullptr, f.hideTimer);
        f.hideTimer = 0;
    }
    for (HWND* strip : stripsOf(f).slot)
        if (IsWindowVisible(*strip))
            ShowWindow(*strip, SW_HIDE);
}

void CALLBACK hideTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (CurrentBorderFrame) {
        CurrentBorderFrame->hideTimer = 0;
        hideFrame(*CurrentBorderFrame);
    }
}

void showFrame(BorderFrameRecord& f) {
    if (Settings.moveDisplay != u'b')
        return;
    const FrameStrips g = currentStrips();
    const Rect* rects[4] = {&g.left, &g.top, &g.right, &g.bottom};
    HDWP batch = BeginDeferWindowPos(4);
    if (!batch)
        return;
    const StripSlots strips = stripsOf(f);
    for (int i = 0; i < 4; ++i) {
        const Rect& r = *rects[i];
        batch = DeferWindowPos(batch, *strips.slot[i], HWND_TOPMOST, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, kShowFlags);
        // A failed entry frees the whole batch: the strips stay where they were.
        if (!batch)
            return;
    }
    EndDeferWindowPos(batch);
    if (f.hideTimer)
        KillTimer(nullptr, f.hideTimer);
    f.hideTimer =
        SetTimer(nullptr, 0, kHideAfterDoubleClicks * GetDoubleClickTime(), hideTimerProc);
}

void createFrame(BorderFrameRecord& f) {
    auto pattern = static_cast<HBITMAP>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(IDB_CHECKERBOARD), IMAGE_BITMAP, 0, 0, LR_SHARED));
    if (!f.brush && pattern)
        f.brush = CreatePatternBrush(pattern);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_NOCLOSE;
    wc.lpfnWndProc = DefWindowProcW; // the strips only show the class background
    wc.hCursor = static_cast<HCURSOR>(
        LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hbrBackground = f.brush;
    wc.lpszClassName = kStripClass;
    RegisterClassExW(&wc); // fails harmlessly when a former run of the thread registered it

    const FrameStrips g = currentStrips();
    const Rect* rects[4] = {&g.left, &g.top, &g.right, &g.bottom};
    const StripSlots strips = stripsOf(f);
    for (int i = 0; i < 4; ++i) {
        const Rect& r = *rects[i];
        HWND strip =
            CreateWindowExW(kStripExStyle, kStripClass, caption, WS_POPUP, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, MainWindow, nullptr, nullptr, &f);
        *strips.slot[i] = strip;
        if (!strip)
            continue;
        SetLayeredWindowAttributes(strip, 0, 255, LWA_ALPHA);
        ShowWindow(strip, SW_HIDE);
    }
}

// Static destruction, after shut-down has waited for the thread.
struct BorderFrameRelease {
    ~BorderFrameRelease() {
        if (BorderFrame.brush) {
            DeleteObject(BorderFrame.brush);
            BorderFrame.brush = nullptr;
        }
        if (BorderFrame.hideTimer) {
            KillTimer(nullptr, BorderFrame.hideTimer);
            BorderFrame.hideTimer = 0;
        }
        CurrentBorderFrame = nullptr;
    }
} borderFrameRelease;

// Set by the thread once its queue exists. It lives as long as the process: a thread
// that was slow to start may still set it after start-up stopped waiting.
HANDLE queueReady;

// How long start-up waits for the thread at most; it never hangs on it.
constexpr DWORD kReadyWaitMs = 5000;

} // namespace

void startOverlayThread() {
    if (!queueReady)
        queueReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    else
        ResetEvent(queueReady);
    overlayThread = CreateThread(nullptr, 0, overlayThreadProc, &BorderFrame, 0, &overlayThreadId);
    if (!overlayThread) {
        overlayThreadId = 0;
        return;
    }
    HANDLE either[2] = {queueReady, overlayThread};
    if (queueReady)
        WaitForMultipleObjects(2, either, FALSE, kReadyWaitMs);
}

DWORD WINAPI overlayThreadProc(LPVOID param) {
    auto* frame = static_cast<BorderFrameRecord*>(param);
    if (!frame)
        return 1;
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // makes the queue
    if (queueReady)
        SetEvent(queueReady);
    createFrame(*frame);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        switch (msg.message) {
        case WM_BORDER_HIDE: hideFrame(*frame); break;
        case WM_BORDER_SHOW: showFrame(*frame); break;
        default:
            TranslateMessage(&msg);
            DispatchMessageW(&msg); // delivers the hide timer to its procedure
            break;
        }
    }
    return 1;
}
