// The window collector, the shift of the view and the adoption of the windows found at
// start-up. The collector asks each window only what its verdict (collector_rules.h)
// needs; shiftView moves the collected windows in one deferred batch, except those of
// programs that do not answer (hung_guard.h), which move asynchronously.
#include "core/viewport.h"

#include "core/adoption_rules.h"
#include "core/app.h"
#include "core/held_messages.h"
#include "core/hung_guard.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/view_file.h"
#include "core/window_memory.h"
#include "exclusion/exclusion.h"
#include "hook/hook_messages.h"
#include "hook/packed_position.h"
#include "mainwnd/window_lists.h"
#include "overlay/overlay_thread.h"
#include "tray/tray_icon.h"

#include <cstdlib>
#include <cstring>
#include <new>

ManagedWindowListRecord ManagedWindowList;

namespace {

constexpr int kListStep = 50;
constexpr UINT kAdoptAnswerTimeoutMs = 1000;

// The thread of each listed window, kept beside ManagedWindowList with the same capacity
// (the collector learns it anyway; the shift needs it to probe each program once).
DWORD* managedThreads = nullptr;

// Appends one handle; when the list is full it moves to an array 50 entries larger, and
// when that cannot be had the window is dropped.
void appendManaged(HWND w, DWORD thread) {
    ManagedWindowListRecord& list = ManagedWindowList;
    if (list.count >= list.capacity) {
        const int grown = list.capacity + kListStep;
        const auto n = static_cast<size_t>(grown);
        auto* larger = static_cast<HWND*>(std::malloc(sizeof(HWND) * n));
        auto* threads = static_cast<DWORD*>(std::malloc(sizeof(DWORD) * n));
        if (!larger || !threads) {
            std::free(larger);
            std::free(threads);
            return;
        }
        if (list.count > 0) {
            std::memcpy(larger, list.windows, sizeof(HWND) * static_cast<size_t>(list.count));
            std::memcpy(threads, managedThreads, sizeof(DWORD) * static_cast<size_t>(list.count));
        }
        std::free(list.windows);
        std::free(managedThreads);
        list.windows = larger;
        managedThreads = threads;
        list.capacity = grown;
    }
    managedThreads[list.count] = thread;
    list.windows[list.count++] = w;
}

WindowMemoryRecord WindowMemory;

// One window's facts, read from Win32 on demand. The style is read once and answers the
// visibility, minimized and disabled-tool-window tests (for a window of the desktop
// WS_VISIBLE is what IsWindowVisible reports, WS_MINIMIZE what IsIconic reports); the
// thread, owner, place in the window tree and class name come from WindowMemory when the
// window was met before.
struct WindowFacts {
    HWND w;
    DWORD ownPid;
    HWND shell;
    HWND desktop;
    DWORD thread = 0;
    LONG style = 0;
    RememberedWindow* known = nullptr;
    RememberedWindow unremembered; // when memory runs out
    ClassName cls{};

    WindowFacts(HWND window, DWORD pid, HWND shellWindow, HWND desktopWindow)
        : w(window), ownPid(pid), shell(shellWindow), desktop(desktopWindow) {}
    ~WindowFacts() { freeClassName(cls); }
    WindowFacts(const WindowFacts&) = delete;
    WindowFacts& operator=(const WindowFacts&) = delete;

    // Null for a window that is gone.
    const RememberedWindow* lasting() {
        if (known)
            return known;
        const auto key = reinterpret_cast<std::uintptr_t>(w);
        if ((known = recallWindow(WindowMemory, key)))
            return known;
        DWORD pid = 0;
        const DWORD t = GetWindowThreadProcessId(w, &pid);
        if (t == 0)
            return nullptr;
        const bool topLevel = GetAncestor(w, GA_PARENT) == desktop;
        known = rememberWindow(WindowMemory, key, t, pid == ownPid, topLevel);
        if (!known) {
            unremembered = RememberedWindow{};
            unremembered.thread = t;
            unremembered.ownProcess = pid == ownPid;
            unremembered.topLevel = topLevel;
            known = &unremembered;
        }
        return known;
    }

    // The desktop's list also holds message-only windows, which are never shown.
    bool visible() {
        style = GetWindowLongW(w, GWL_STYLE); // 0 for a window that is gone
        if (!(style & WS_VISIBLE))
            return false;
        const RememberedWindow* facts = lasting();
        return facts && facts->topLevel;
    }
    bool ownProcess() {
        const RememberedWindow* facts = lasting();
        if (!facts)
            return false;
        thread = facts->thread;
        return facts->ownProcess;
    }
    int titleLength() { return GetWindowTextLengthW(w); }
    bool excludable(const wchar_t* className) {
        return namesExcludedClass(className);
    }
    bool hasParent() { return GetParent(w) != nullptr; }
    bool isShellWindow() { return w == shell; }
    int className(const wchar_t*& text) {
        if (known && known->hasClassName) {
            text = known->className.c_str();
            return static_cast<int>(known->className.size());
        }
        cls = fetchClassName(w);
        text = cls.text;
        if (known && known != &unremembered)
            rememberClassName(*known, cls.text, cls.length);
        return cls.length;
    }
    int shortTitle(wchar_t (&buffer)[4]) { return GetWindowTextW(w, buffer, 4); }
    bool disabledToolWindow() {
        return (style & WS_DISABLED) && (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    }
    bool excluded(int titleLength, const wchar_t* className) {
        return isExcluded(w, titleLength, className);
    }
    bool rect(Rect& out) {
        RECT r;
        if (!GetWindowRect(w, &r))
            return false;
        out = {r.left, r.top, r.right, r.bottom};
        return true;
    }
    bool iconic() { return (style & WS_MINIMIZE) != 0; }
};

HungGuardRecord HungGuard;

// How long a shift waits for the programs' answers before their windows leave the batch.
// An idle thread answers within a fraction of a millisecond; a busy one that misses this
// only has its windows moved asynchronously.
constexpr DWORD kProbeTimeoutMs = 30;

VOID CALLBACK probeAnsweredCallback(HWND, UINT, ULONG_PTR thread, LRESULT) {
    probeAnswered(HungGuard, static_cast<std::uint32_t>(thread), GetTickCount());
}

VOID CALLBACK recoveryProbeAnswered(HWND, UINT, ULONG_PTR thread, LRESULT) {
    recoveryAnswered(HungGuard, static_cast<std::uint32_t>(thread), GetTickCount());
}

// Asks the program behind a window the shift takes whether it still pumps messages: once
// per thread and shift, unless it answered lately. The question goes out at once and the
// collection goes on, so the programs answer while the other windows are being looked at,
// all at the same time. A program already known to sleep is only asked again; its answer,
// whenever it comes, ends the hang.
void probeProgram(HWND w, DWORD thread, DWORD now) {
    if (needsProbe(HungGuard, thread, now)) {
        probeSent(HungGuard, thread, reinterpret_cast<std::uintptr_t>(w));
        if (!SendMessageCallbackW(w, WM_NULL, 0, 0, probeAnsweredCallback, thread))
            probeNotSent(HungGuard, thread, IsWindow(w) != FALSE);
    }
    if (takeRecoveryProbe(HungGuard, thread) &&
        !SendMessageCallbackW(w, WM_NULL, 0, 0, recoveryProbeAnswered, thread))
        recoveryProbeNotSent(HungGuard, thread);
}

// Takes the answers as they come (they arrive as sent messages), for at most the time-out
// after the collection; the threads still silent then are hung.
void awaitProbes() {
    const DWORD start = GetTickCount();
    while (probesOut(HungGuard) > 0) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (probesOut(HungGuard) == 0)
            return;
        const DWORD waited = GetTickCount() - start;
        if (waited >= kProbeTimeoutMs)
            break;
        if (MsgWaitForMultipleObjectsEx(0, nullptr, kProbeTimeoutMs - waited, QS_SENDMESSAGE, 0) ==
            WAIT_TIMEOUT) {
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            break;
        }
    }
    probesTimedOut(HungGuard,
                   [](std::uintptr_t w) { return IsWindow(reinterpret_cast<HWND>(w)) != FALSE; });
}

struct CollectContext {
    int mode;
    DWORD ownPid;
    HWND shell;
    HWND desktop;
    bool probe; // the shift's collection: ask each program whether it answers
    DWORD now;
};

BOOL CALLBACK collectOne(HWND w, LPARAM param) {
    const auto* ctx = reinterpret_cast<const CollectContext*>(param);
    // Out of memory the enumeration stops and counts as failed; nothing may unwind
    // through the system's frames.
    try {
        WindowFacts facts(w, ctx->ownPid, ctx->shell, ctx->desktop);
        if (collectorVerdict(facts, ctx->mode) != CollectVerdict::Take)
            return TRUE;
        appendManaged(w, facts.thread);
        if (ctx->probe)
            probeProgram(w, facts.thread, ctx->now);
        return TRUE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

bool collect(const CollectContext& ctx) {
    ManagedWindowList.count = 0;
    beginCollection(WindowMemory);
    // The windows of this desktop, topmost first, as EnumWindows lists them; EnumWindows
    // would also ask the window server whether each one still exists before the callback,
    // which the style read here answers anyway.
    if (!EnumDesktopWindows(nullptr, collectOne, reinterpret_cast<LPARAM>(&ctx)))
        return false;
    endCollection(WindowMemory);
    return true;
}

constexpr UINT kShiftFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

// Moves the collected windows by delta in one deferred batch, except those of sleeping
// programs, which move alone and asynchronously. Each window's rectangle is read here,
// once; a window without one (gone, or empty) leaves the list as the collector would have
// left it out.
void moveCollected(Point delta, HWND exceptWindow, DWORD now) {
    ManagedWindowListRecord& list = ManagedWindowList;
    HDWP hdwp = BeginDeferWindowPos(list.count);
    int kept = 0;
    for (int i = 0; i < list.count; ++i) {
        const HWND w = list.windows[i];
        const DWORD thread = managedThreads[i];
        RECT r;
        if (!GetWindowRect(w, &r) || isEmptyRect({r.left, r.top, r.right, r.bottom}))
            continue;
        list.windows[kept] = w;
        managedThreads[kept++] = thread;
        if (w == exceptWindow || !hdwp)
            continue; // a failed batch moves nothing further this time
        const MovePlan plan = planMove(HungGuard, reinterpret_cast<std::uintptr_t>(w), thread,
                                       {r.left, r.top}, delta, now);
        if (plan.async)
            SetWindowPos(w, nullptr, plan.to.x, plan.to.y, 0, 0, kShiftFlags | SWP_ASYNCWINDOWPOS);
        else
            hdwp = DeferWindowPos(hdwp, w, nullptr, plan.to.x, plan.to.y, 0, 0, kShiftFlags);
    }
    list.count = kept;
    if (hdwp)
        EndDeferWindowPos(hdwp);
}

} // namespace

bool collectWindows(int mode) {
    return collect({mode, ownProcessId, GetShellWindow(), GetDesktopWindow(), false, 0});
}

namespace {

// A shift waits for other programs (their answers to the probes, the window moves, the
// icon list view) and meanwhile runs what they send to this thread. A handler reached
// that way must not collect or shift: its collection would replace the list this shift
// is moving. The main window puts such handlers off (shiftRunning); a shift asked for
// all the same is added to the one running and moved once that has moved its windows.
bool shifting = false;
Point pendingDelta;
HWND pendingExcept = nullptr;
bool pendingExceptMixed = false;

void moveEverything(Point delta, HWND exceptWindow) {
    const DWORD now = GetTickCount();
    beginShift(HungGuard);
    if (collect({kCollectUntitled | kCollectRectLater, ownProcessId, GetShellWindow(),
                 GetDesktopWindow(), true, now})) {
        awaitProbes();
        moveCollected(delta, exceptWindow, now);
        endShift(HungGuard);
    }
}

// The icons move inside the desktop's list view, which repaints only itself; without one
// nothing moved and nothing needs repainting.
void moveIcons(Point delta) {
    const HWND listView = findDesktopListView();
    if (!listView)
        return;
    SendMessageW(listView, WM_ICONS_SHIFT, static_cast<WPARAM>(static_cast<LONG_PTR>(delta.x)),
                 static_cast<LPARAM>(delta.y));
    RedrawWindow(listView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Waits on other programs outside a shift (ProgramWait).
int programWaits = 0;

} // namespace

ProgramWait::ProgramWait() {
    ++programWaits;
}
ProgramWait::~ProgramWait() {
    // What the wait held runs now, as after a shift.
    if (--programWaits == 0 && !shifting)
        shiftEnded();
}

bool shiftRunning() {
    return shifting || programWaits > 0;
}

void probePrograms(const HWND* windows, int count) {
    if (shifting)
        return;
    const ProgramWait wait;
    const DWORD now = GetTickCount();
    // Each thread is asked once; the next shift starts its own count again.
    beginShift(HungGuard);
    for (int i = 0; i < count; ++i)
        if (const DWORD thread = GetWindowThreadProcessId(windows[i], nullptr))
            probeProgram(windows[i], thread, now);
    awaitProbes();
}

bool programAnswers(HWND window) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && !isHung(HungGuard, thread);
}

void shiftView(int dx, int dy, HWND exceptWindow) {
    ViewOrigin.x += dx;
    ViewOrigin.y += dy;
    postToOverlayThread(WM_BORDER_SHOW);
    if (shifting) {
        if (pendingDelta == Point{} && !pendingExceptMixed)
            pendingExcept = exceptWindow;
        else if (pendingExcept != exceptWindow)
            pendingExceptMixed = true; // two windows to keep: keep neither
        pendingDelta.x += dx;
        pendingDelta.y += dy;
        return;
    }

    shifting = true;
    Point delta{dx, dy};
    HWND except = exceptWindow;
    for (;;) {
        moveEverything({-delta.x, -delta.y}, except);
        if (Settings.moveIcons)
            moveIcons(delta);
        if (pendingDelta == Point{})
            break;
        delta = pendingDelta;
        except = pendingExceptMixed ? nullptr : pendingExcept;
        pendingDelta = {};
        pendingExcept = nullptr;
        pendingExceptMixed = false;
    }
    shifting = false;
    updateTrayIcon();
    recordView(); // a kill or a crash from here on finds the windows from this view
    shiftEnded();
}

ListCount countRememberedWindows() {
    ListCount c;
    for (const auto& entry : WindowMemory.windows) {
        ++c.entries;
        c.gone += !IsWindow(reinterpret_cast<HWND>(entry.first));
    }
    return c;
}

void resetViewportState() {
    std::free(ManagedWindowList.windows);
    std::free(managedThreads);
    ManagedWindowList = ManagedWindowListRecord{};
    managedThreads = nullptr;
    shifting = false;
    programWaits = 0;
    resetHeldMessages();
    pendingDelta = {};
    pendingExcept = nullptr;
    pendingExceptMixed = false;
    resetHungGuard(HungGuard);
    forgetAllWindows(WindowMemory);
}

namespace {

// A class name counts only when it fits a 15-unit buffer with exactly `len` units.
bool hasClass(HWND w, const wchar_t* name, int len) {
    wchar_t buf[15];
    return GetClassNameW(w, buf, 15) == len && lstrcmpW(buf, name) == 0;
}

BOOL CALLBACK findListView(HWND w, LPARAM out) {
    if (!hasClass(w, L"SysListView32", 13))
        return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

} // namespace

HWND findDesktopListView() {
    HWND shell = GetShellWindow();
    if (!shell)
        return nullptr;
    HWND defView = FindWindowExW(shell, nullptr, L"SHELLDLL_DefView", nullptr);
    if (!defView)
        return nullptr;
    HWND found = nullptr;
    EnumChildWindows(defView, findListView, reinterpret_cast<LPARAM>(&found));
    return found;
}

MINMAXINFO askMaximizedInfo(HWND window, UINT timeoutMs) {
    MINMAXINFO info{};
    info.ptMaxSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    info.ptMaxPosition = {-GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME)};
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info),
                        SMTO_ABORTIFHUNG, timeoutMs, &answer);
    return info;
}

void adoptExistingWindows() {
    if (!collectWindows(kCollectMinimized | kCollectUntitled))
        return;
    for (int i = 0; i < ManagedWindowList.count; ++i) {
        const HWND w = ManagedWindowList.windows[i];
        addKnownWindow(w);
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        const bool placed = GetWindowPlacement(w, &wp) != FALSE;
        if (placed)
            saveNormalRect(w, wp.rcNormalPosition);

        const bool minimized = IsIconic(w) != FALSE;
        if (!minimized && IsZoomed(w)) {
            // A program that does not answer must not hold up the start: its window then
            // takes the system's own maximized rectangle.
            const MINMAXINFO info = askMaximizedInfo(w, kAdoptAnswerTimeoutMs);
            const Rect r = reportedMaximizedRect({info.ptMaxPosition.x, info.ptMaxPosition.y},
                                                 {info.ptMaxSize.x, info.ptMaxSize.y});
            wp.rcNormalPosition = {r.left, r.top, r.right, r.bottom};
            wp.flags = WPF_ASYNCWINDOWPLACEMENT;
            wp.showCmd = SW_RESTORE;
            SetWindowPlacement(w, &wp);
        } else if (placed) {
            if (minimized)
                setMinimizedPosition(
                    w, minimizedVirtualPosition({wp.rcNormalPosition.left, wp.rcNormalPosition.top},
                                                ViewOrigin));
            wp.flags = WPF_ASYNCWINDOWPLACEMENT;
            wp.showCmd = SW_SHOW;
            SetWindowPlacement(w, &wp);
        }
    }
}
