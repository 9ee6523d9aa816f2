// Gathers what the hand-off decides by (the foreground window, lastActivated, the managed
// windows in z-order) and activates the window chosen while this program is still in
// front, which is what allows it to.
#include "mainwnd/hand_off.h"

#include "core/app.h"
#include "core/view.h"
#include "core/viewport.h"
#include "mainwnd/tracking.h"

#include <vector>

namespace {

bool shownRect(HWND w, Rect& out) {
    RECT r;
    if (!IsWindowVisible(w) || IsIconic(w) || !GetWindowRect(w, &r))
        return false;
    out = {r.left, r.top, r.right, r.bottom};
    return true;
}

} // namespace

void handOffActivation(HWND closing, CloseCause cause) {
    HandOffFacts f;
    f.cause = cause;
    f.inFront = closing && GetForegroundWindow() == closing;
    if (!handOffWanted(f.cause, f.inFront))
        return;
    f.screen = RealScreenSize;
    f.lastShown = IsWindow(lastActivated) && shownRect(lastActivated, f.last);
    std::vector<HWND> managed;
    // A close reached while a shift waits on other programs must leave the list it moves.
    if (!shiftRunning() && collectWindows(0)) {
        int count = ManagedWindowList.count;
        try {
            managed.reserve(static_cast<size_t>(count));
            f.managed.reserve(static_cast<size_t>(count));
        } catch (...) {
            count = 0; // out of memory: lastActivated or the desktop
        }
        for (int i = 0; i < count; ++i) {
            const HWND w = ManagedWindowList.windows[i];
            Rect r;
            if (IsWindowEnabled(w) && shownRect(w, r)) {
                managed.push_back(w);
                f.managed.push_back(r);
            }
        }
    }
    const HandOff h = chooseHandOff(f);
    HWND target = nullptr;
    switch (h.kind) {
    case HandOffKind::None: return;
    case HandOffKind::LastActivated: target = lastActivated; break;
    case HandOffKind::Managed: target = managed[static_cast<size_t>(h.index)]; break;
    case HandOffKind::Desktop:
        target = GetShellWindow();
        if (!target)
            target = GetDesktopWindow();
        break;
    }
    if (!SetForegroundWindow(target))
        return;
    const HWND root = GetAncestor(target, GA_ROOTOWNER);
    lastActivated = root ? root : target;
}
