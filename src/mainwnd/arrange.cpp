// Gathering and tiling: collects the managed windows, takes the layout from tiling.h and
// moves each window with its owned windows. The moves are asynchronous for windows of
// other threads.
#include "mainwnd/arrange.h"

#include "core/settings.h"
#include "core/taskbar.h"
#include "core/view.h"
#include "core/viewport.h"
#include "mainwnd/tiling.h"
#include "tray/tray_icon.h"

#include <vector>

namespace {

constexpr UINT kAsyncMove =
    SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS; // 0x4214

// A visible window owned by `owner` with a non-empty rectangle, read into r.
bool shownOwnedBy(HWND h, HWND owner, RECT& r) {
    return GetParent(h) == owner && IsWindowVisible(h) && GetWindowRect(h, &r) &&
           r.left < r.right && r.top < r.bottom;
}

BOOL CALLBACK recordOwned(HWND h, LPARAM lp) {
    auto* owned = reinterpret_cast<OwnedWindows*>(lp);
    RECT r;
    if (!shownOwnedBy(h, owned->owner, r))
        return TRUE;
    try {
        owned->list.push_back({h, r.left, r.top});
    } catch (...) {
        return FALSE; // out of memory: the windows not recorded stay where they are
    }
    return TRUE;
}

// After the owner moved by `shift`, each recorded window still at its recorded corner
// follows by the same distance (asynchronously): one the user or its program moved
// meanwhile keeps its own place.
void moveOwnedWindows(const OwnedWindows& owned, Point shift) {
    if (shift.x == 0 && shift.y == 0)
        return;
    for (const OwnedWindow& e : owned.list) {
        RECT r;
        if (shownOwnedBy(e.window, owned.owner, r) && e.left == r.left && e.top == r.top)
            SetWindowPos(e.window, nullptr, r.left + shift.x, r.top + shift.y, 0, 0,
                         kAsyncMove | SWP_NOSIZE);
    }
}

void moveWithOwned(HWND w, int x, int y, int cx, int cy, UINT flags) {
    const OwnedWindows owned = collectOwnedWindows(w);
    RECT before;
    if (!GetWindowRect(w, &before))
        return;
    SetWindowPos(w, nullptr, x, y, cx, cy, flags);
    RECT after;
    if (!GetWindowRect(w, &after))
        return;
    moveOwnedWindows(owned,
                     ownerDisplacement({before.left, before.top, before.right, before.bottom},
                                       {after.left, after.top, after.right, after.bottom}, {x, y}));
}

// The arrangement works on a fresh plain collection: the list the tray menu collected may
// have been replaced by a shift's wider collection before the command arrives.
std::vector<HWND> managedWindows() {
    collectWindows(0);
    return std::vector<HWND>(ManagedWindowList.windows,
                             ManagedWindowList.windows + ManagedWindowList.count);
}

} // namespace

OwnedWindows collectOwnedWindows(HWND owner) {
    OwnedWindows owned;
    owned.owner = owner;
    EnumWindows(recordOwned, reinterpret_cast<LPARAM>(&owned));
    return owned;
}

void carryOwnedWindows(OwnedWindows& owned, Point shift, bool answering) {
    if (shift.x == 0 && shift.y == 0)
        return;
    const DWORD ownerThread = GetWindowThreadProcessId(owned.owner, nullptr);
    for (OwnedWindow& e : owned.list) {
        RECT r;
        if (!shownOwnedBy(e.window, owned.owner, r))
            continue;
        const bool atOnce = answering && GetWindowThreadProcessId(e.window, nullptr) == ownerThread;
        if (atOnce && (r.left != e.left || r.top != e.top))
            continue;
        const LONG x = e.left + shift.x;
        const LONG y = e.top + shift.y;
        const UINT flags = atOnce ? kAsyncMove & ~SWP_ASYNCWINDOWPOS : kAsyncMove;
        if (!SetWindowPos(e.window, nullptr, x, y, 0, 0, flags | SWP_NOSIZE))
            continue;
        if (atOnce && GetWindowRect(e.window, &r)) {
            e.left = r.left; // where its program let it go
            e.top = r.top;
        } else {
            e.left = x;
            e.top = y;
        }
    }
}

void moveWindowKeepingSize(HWND window, int x, int y) {
    moveWithOwned(window, x, y, 0, 0, kAsyncMove | SWP_NOSIZE);
}

void moveAndSizeWindow(HWND window, int x, int y, int cx, int cy) {
    moveWithOwned(window, x, y, cx, cy, kAsyncMove);
}

void gatherWindows(bool cascade) {
    for (HWND w : managedWindows())
        moveWindowKeepingSize(w, WorkArea.left, WorkArea.top);
    if (cascade)
        CascadeWindows(nullptr, 0, nullptr, 0, nullptr);
}

void tileWindows(int variant) {
    const char side = taskbarSide();
    if (side == 0)
        return;
    const std::vector<HWND> windows = managedWindows();
    const std::vector<Rect> layout =
        tileLayout(variant, side, static_cast<int>(windows.size()), Settings.columns, Settings.rows,
                   RealScreenSize, WorkArea);
    if (layout.empty())
        return;
    for (size_t i = 0; i < layout.size(); ++i) {
        const Rect& r = layout[i];
        moveAndSizeWindow(windows[i], r.left - ViewOrigin.x, r.top - ViewOrigin.y, r.right - r.left,
                          r.bottom - r.top);
    }
    updateTrayIcon();
}
