// The shell of the stranded-window rescue: the collector's windows, their rectangles, and
// a move only for those strandedWindowPlace places anew.
#include "core/stranded_windows.h"

#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"

namespace {

constexpr UINT kMoveFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

std::optional<Point> placeFor(const RECT& r) {
    return strandedWindowPlace({r.left, r.top, r.right, r.bottom}, ViewOrigin, Settings.columns,
                               Settings.rows, RealScreenSize);
}

// A program that does not answer must not hold up the start: its window is moved
// whenever it answers again. Every other move is done before this returns, so that
// the adoption after it reads the new places.
bool answers(HWND w) {
    return IsHungAppWindow(w) == FALSE;
}

// A minimized window shows nowhere; what is stranded is the place it comes back to. That
// place is in work-area coordinates, except for a tool window.
void bringMinimizedIn(HWND w) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(w, &wp))
        return;
    RECT r = wp.rcNormalPosition;
    if (!(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        OffsetRect(&r, WorkArea.left, WorkArea.top);
    const std::optional<Point> to = placeFor(r);
    if (!to)
        return;
    OffsetRect(&wp.rcNormalPosition, to->x - r.left, to->y - r.top);
    if (!answers(w))
        wp.flags |= WPF_ASYNCWINDOWPLACEMENT;
    wp.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(w, &wp);
}

} // namespace

void bringStrandedWindowsIn() {
    if (!collectWindows(kCollectMinimized | kCollectUntitled))
        return;
    for (int i = 0; i < ManagedWindowList.count; ++i) {
        const HWND w = ManagedWindowList.windows[i];
        if (IsIconic(w)) {
            bringMinimizedIn(w);
            continue;
        }
        RECT r;
        if (!GetWindowRect(w, &r))
            continue;
        if (const std::optional<Point> to = placeFor(r))
            SetWindowPos(w, nullptr, to->x, to->y, 0, 0,
                         answers(w) ? kMoveFlags : kMoveFlags | SWP_ASYNCWINDOWPOS);
    }
}
