// The hook notifications turned into behaviour: reads what it can of the named window,
// asks placement.h and track_view.h, then moves the view through shiftView or the window
// itself. Every handle may be stale by the time its notification arrives; anything that
// cannot be read ends the handler without movement.
#include "mainwnd/tracking.h"

#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/taskbar.h"
#include "core/view.h"
#include "core/viewport.h"
#include "exclusion/exclusion.h"
#include "hook/packed_position.h"
#include "mainwnd/placement.h"
#include "mainwnd/track_view.h"
#include "mainwnd/window_lists.h"

#include <vector>

HWND lastActivated;

namespace {

constexpr UINT kMaxInfoTimeoutMs = 5000;
constexpr UINT kRestoreRoundTripMs = 500;
constexpr UINT kMinimizeRoundTripMs = 100;
constexpr UINT kMoveFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

Rect fromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT toRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

ViewFacts viewFacts() {
    return {WorkArea, RealScreenSize, ViewOrigin, Settings.columns, Settings.rows};
}

bool oneByOne() {
    return Settings.columns <= 1 && Settings.rows <= 1;
}

bool shiftDown() {
    return GetAsyncKeyState(VK_SHIFT) < 0;
}

// The magnifier, a dialog of the window already in front, a disabled tool "IEFrame", or a
// window the exclusion rules name.
bool filteredOut(HWND root, int titleLength) {
    ClassName name = fetchClassName(root);
    ActivationFacts f;
    f.className = std::wstring_view(name.text ? name.text : L"", static_cast<size_t>(name.length));
    f.titleLength = titleLength;
    wchar_t title[4] = {};
    const int got = GetWindowTextW(root, title, 4);
    f.shortTitle = std::wstring_view(title, static_cast<size_t>(got > 0 ? got : 0));
    const DWORD thread = GetWindowThreadProcessId(root, nullptr);
    f.sameThreadAsLast =
        thread != 0 && lastActivated && thread == GetWindowThreadProcessId(lastActivated, nullptr);
    f.disabled = (GetWindowLongW(root, GWL_STYLE) & WS_DISABLED) != 0;
    f.toolWindow = (GetWindowLongW(root, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    const bool out =
        ignoredActivation(f) || isExcluded(root, titleLength, name.text ? name.text : L"");
    freeClassName(name);
    return out;
}

enum class PutBack { NotListed, Placed, Gone };

// A window coming back from minimized goes to its virtual place as seen from the current
// view. It may still be restoring: wait for it (up to eleven 50 ms waits), once per
// minimize. One that stays minimized keeps its place for the activation that does
// restore it.
PutBack putBackMinimized(HWND w) {
    std::uint32_t packed = 0;
    if (!findMinimizedPosition(w, packed))
        return PutBack::NotListed;
    const PackedPoint p = unpackPosition(packed);
    const bool waitedBefore = minimizedWaitedFor(w);
    for (int waits = 0; IsIconic(w); ++waits) {
        if (waits == 11 || waitedBefore) {
            markMinimizedWaitedFor(w);
            lastActivated = nullptr;
            return PutBack::Gone;
        }
        Sleep(50);
        if (!IsWindow(w)) {
            forgetMinimizedPosition(w);
            return PutBack::Gone;
        }
    }
    forgetMinimizedPosition(w);
    // Its thread may still be in the middle of restoring it and would place it after us:
    // a round trip to that thread lets the restore finish first.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kRestoreRoundTripMs, &ignored);
    SetWindowPos(w, nullptr, p.x - ViewOrigin.x, p.y - ViewOrigin.y, 0, 0,
                 kMoveFlags | SWP_NOREDRAW);
    return PutBack::Placed;
}

// The rectangle tracking goes by: where the window stands or, while it is still
// minimized, where it will stand once restored (its stored virtual place, else its
// normal rectangle). The parking place of a minimized window says nothing about where it
// belongs and would carry the view to the top-left real screen.
bool trackedRect(HWND w, RECT& r) {
    if (!IsIconic(w))
        return GetWindowRect(w, &r) != FALSE;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(w, &wp))
        return false;
    r = wp.rcNormalPosition; // work-area coordinates, except for tool windows
    if (!(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        OffsetRect(&r, WorkArea.left, WorkArea.top);
    std::uint32_t packed = 0;
    if (findMinimizedPosition(w, packed)) {
        const PackedPoint p = unpackPosition(packed);
        OffsetRect(&r, p.x - ViewOrigin.x - r.left, p.y - ViewOrigin.y - r.top);
    }
    return true;
}

// The hook reports a minimize before the window's thread carries it out; a round trip to
// that thread lets the minimize finish before the window is looked at.
bool minimizedNow(HWND w) {
    if (!w || !IsWindow(w))
        return false;
    if (IsIconic(w))
        return true;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMinimizeRoundTripMs, &ignored);
    return IsIconic(w) != FALSE;
}

void applyStep(Point step, HWND except) {
    lastStep = step;
    if (step.x != 0 || step.y != 0)
        shiftView(step.x, step.y, except);
}

// A window just put back from the minimized list is measured again where it now stands,
// and the view then moves with that window included in the shift: it sits at its virtual
// place already, and excluding it would carry it along with the view, away from that
// place (even out of the virtual area). Both tracking modes treat it the same way.
// `activated` is null when w itself is coming back. Otherwise it is the window that was
// activated while w, its owner, stays minimized (a "save changes?" box): nothing says w
// is coming back, so it is neither waited for nor put back, the view goes by where w will
// stand, and the activated window, which is on the screen, stays where it is.
void trackProportionally(HWND w, HWND activated) {
    if (Settings.trackLevel <= 0)
        return;
    if (!activated && putBackMinimized(w) == PutBack::Gone)
        return;
    RECT r;
    if (!trackedRect(w, r))
        return;
    const TrackStep s = proportionalStep(fromRECT(r), viewFacts(), Settings.trackLevel);
    if (s.act)
        applyStep(s.step, activated);
}

void trackByScreen(HWND w, HWND activated) {
    if (!activated && putBackMinimized(w) == PutBack::Gone)
        return;
    RECT r;
    if (!trackedRect(w, r))
        return;
    const TrackStep s = screenStep(fromRECT(r), viewFacts());
    if (s.act)
        applyStep(s.step, activated);
}

void centreWindow(HWND w) {
    RECT r;
    if (!GetWindowRect(w, &r))
        return;
    const Point p = centredPosition(fromRECT(r), WorkArea);
    SetWindowPos(w, nullptr, p.x, p.y, 0, 0, kMoveFlags);
}

// The view moves to an emptier real screen while the new window stays on the physical
// screen, so that it lands there alone.
void landNewWindow(HWND n) {
    if (!Settings.scrollEnabled)
        return;
    if (!actOnNewWindow(Settings.newWindowToEmpty != 0, Settings.shiftTogglesNewWindow != 0,
                        shiftDown()))
        return;
    collectWindows(kCollectUntitled);
    std::vector<Rect> others;
    others.reserve(static_cast<size_t>(ManagedWindowList.count));
    for (int i = 0; i < ManagedWindowList.count; ++i) {
        HWND w = ManagedWindowList.windows[i];
        RECT r;
        if (w != n && GetWindowRect(w, &r))
            others.push_back(fromRECT(r));
    }
    const char side = Settings.startPosition == u't' ? taskbarSide() : 0;
    const NewWindowStep s = placeNewWindow(viewFacts(), Settings.startPosition, side, others);
    if (!s.move)
        return;
    lastStep = s.step;
    shiftView(s.step.x, s.step.y, n); // even a zero step refreshes the shared view
}

} // namespace

void onHookActivate(HWND window) {
    // A report naming no window (Wine's hook sees the focus go to no window) says nothing
    // about what is in front; taken as a root it would clear lastActivated and let the
    // next dialog of the window in front be tracked.
    // A window destroyed before its report arrives says as little.
    if (!window || !IsWindow(window))
        return;
    HWND root = GetAncestor(window, GA_ROOTOWNER);
    if (!root || root == lastActivated)
        return;
    const int titleLength = GetWindowTextLengthW(root);
    if (filteredOut(root, titleLength))
        return;
    lastActivated = root;

    if (oneByOne() || titleLength == 0 || root == GetShellWindow())
        return;
    if (!isKnownWindow(root)) {
        addKnownWindow(root);
        landNewWindow(root);
        return;
    }
    if (!Settings.scrollEnabled && !Settings.trackWhenOff)
        return;
    // A dialog activated while its owner stays minimized does not bring the owner back;
    // the owner's own activation, when it comes, must still put it back in its place.
    const bool restoring = window == root || !IsIconic(root);
    if (!restoring)
        lastActivated = nullptr;
    HWND const activated = restoring ? nullptr : GetAncestor(window, GA_ROOT);
    if (shiftDown()) {
        centreWindow(root);
    } else if (Settings.trackByScreen) {
        trackByScreen(root, activated);
    } else {
        trackProportionally(root, activated);
    }
}

void onHookDestroy(HWND window) {
    forgetKnownWindow(window);
    forgetSavedNormalRect(window);
    forgetMinimizedPosition(window);
}

void onHookMinimize(HWND window, int left, int top) {
    // Any process can post this report: only a window that is minimized now has a place to
    // keep, and a report for a window that does not exist adds nothing to the list.
    if (!minimizedNow(window))
        return;
    const Point place = minimizedPlace({left, top}, viewFacts());
    setMinimizedPosition(window, static_cast<std::uint32_t>(packPosition(place.x, place.y)));
}

void onHookMaximize(HWND window) {
    if (oneByOne())
        return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(WINDOWPLACEMENT);
    if (!GetWindowPlacement(window, &wp))
        return;
    RECT saved;
    if (!findSavedNormalRect(window, saved)) {
        saveNormalRect(window, wp.rcNormalPosition);
        // No record means its allocation failed: nothing changes.
        if (!findSavedNormalRect(window, saved))
            return;
    }
    wp.flags = WPF_ASYNCWINDOWPLACEMENT;
    wp.showCmd = SW_RESTORE;

    // A program that stopped answering must not hold up the main thread; the system
    // geometry then stands.
    const MINMAXINFO info = askMaximizedInfo(window, kMaxInfoTimeoutMs);
    // The window's own tracking limit if it gave one, else the system's.
    const POINT limit =
        info.ptMaxTrackSize.x > 0 || info.ptMaxTrackSize.y > 0
            ? info.ptMaxTrackSize
            : POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};

    const MaximizeAnswer a = pseudoMaximize(
        fromRECT(wp.rcNormalPosition), fromRECT(saved),
        {info.ptMaxPosition.x, info.ptMaxPosition.y}, {info.ptMaxSize.x, info.ptMaxSize.y},
        {limit.x, limit.y}, {WorkArea.right - WorkArea.left, WorkArea.bottom - WorkArea.top});
    if (a.storeCurrent)
        saveNormalRect(window, wp.rcNormalPosition);
    wp.rcNormalPosition = toRECT(a.normal);
    SetWindowPlacement(window, &wp);
}

void resetTracking() {
    lastActivated = nullptr;
}
