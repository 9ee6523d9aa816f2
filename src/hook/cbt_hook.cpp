// The global CBT hook: runs inside every GUI thread of the desktop, reports activation,
// destruction and minimizing of other programs' windows to the main window and refuses
// their maximizing. Only filters and posts: no allocation, no waiting. It trusts no shared
// value it can check: reports go only to a window of the main program's class and process.
#include "hook/hook_procs.h"

#include "hook/hook_rule.h"
#include "hook/ovl.h"
#include "hook/ovl_state.h"
#include "hook/packed_position.h"

namespace {

DWORD processOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

// The shared values as this event read them, once. Any process may have written them, so
// each is checked before it is used.
struct Shared {
    HHOOK cbtHook;
    HWND mainWindow;
    DWORD mainProcessId;
};

Shared readShared() {
    return {d_hCbtHook, d_hMainWnd, d_dwMainProcessId};
}

// Where a report may go: the stored window when it is the main program's, else that
// program's main window found afresh (the stored handle was overwritten) and put back.
// Null when the process named there has no main window: the program is gone.
HWND reportTarget(const Shared& shared) {
    if (isMainWindowOf(shared.mainWindow, shared.mainProcessId))
        return shared.mainWindow;
    const HWND found = findMainWindowOf(shared.mainProcessId);
    if (found != nullptr)
        replaceShared(d_hMainWnd, shared.mainWindow, found);
    return found;
}

// The main program seems gone without uninstalling: the process named in the record has no
// main window. Only the record is cleared, so that the hooks report and refuse nothing
// more; the hooks themselves belong to the thread that set them and go when it ends. No
// other process takes them off: the record that says "gone" may be forged, the main
// program may still run (it puts its record back within a second), and a forged hook
// handle may name another program's hook. A record that a newer program wrote meanwhile
// is left alone.
void clearStaleRecord(const Shared& shared) {
    if (shared.cbtHook == nullptr || !replaceShared(d_hCbtHook, shared.cbtHook, HHOOK{}))
        return;
    const HHOOK iconHook = d_hIconHook;
    if (iconHook != nullptr)
        replaceShared(d_hIconHook, iconHook, HHOOK{});
    replaceShared(d_hMainWnd, shared.mainWindow, HWND{});
    replaceShared(d_dwMainProcessId, shared.mainProcessId, DWORD{0});
}

void reportWindowEvent(UINT message, HWND window) {
    const Shared shared = readShared();
    WindowEventFacts facts;
    facts.ownProcess = processOf(window) == shared.mainProcessId;
    const HWND target = facts.ownProcess ? nullptr : reportTarget(shared);
    facts.mainWindowAlive = target != nullptr;
    switch (decideWindowEvent(facts)) {
    case HookNotice::Post:
        PostMessageW(target, message, reinterpret_cast<WPARAM>(window), 0);
        break;
    case HookNotice::Uninstall: clearStaleRecord(shared); break;
    case HookNotice::None: break;
    }
}

// True when the change is refused.
bool handleMinMax(HWND window, int showCode) {
    const bool preventMaximize = d_bPreventMaximize != 0;
    if (!minMaxMayMatter(showCode, preventMaximize)) {
        return false;
    }
    const Shared shared = readShared();
    MinMaxFacts facts;
    facts.showCode = showCode;
    facts.preventMaximize = preventMaximize;
    facts.ownProcess = processOf(window) == shared.mainProcessId;
    const HWND parent = GetAncestor(window, GA_PARENT);
    facts.topLevel = parent == nullptr || parent == GetDesktopWindow();
    RECT rect{};
    if (isMinimizeCode(showCode)) {
        facts.rectAvailable = GetWindowRect(window, &rect) != FALSE;
    }
    const HWND target = facts.ownProcess || !facts.topLevel ? nullptr : reportTarget(shared);
    facts.mainWindowAlive = target != nullptr;

    const MinMaxDecision decision = decideMinMax(facts);
    if (decision.notice == HookNotice::Uninstall) {
        clearStaleRecord(shared);
    } else if (decision.notice == HookNotice::Post && isMinimizeCode(showCode)) {
        PostMessageW(target, WM_HOOK_MINIMIZE, reinterpret_cast<WPARAM>(window),
                     static_cast<LPARAM>(packPosition(rect.left, rect.top)));
    } else if (decision.notice == HookNotice::Post) {
        PostMessageW(target, WM_HOOK_MAXIMIZE, 0, reinterpret_cast<LPARAM>(window));
    }
    return decision.refuse;
}

} // namespace

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    // Cleared from the record (the main program is gone, or another process cleared it):
    // nothing is reported or refused until the main program installs again, or until the
    // system takes the hook away with the thread that set it.
    if (d_hCbtHook == nullptr) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    switch (code) {
    case HCBT_MINMAX:
        if (handleMinMax(window, LOWORD(lParam))) {
            return 1;
        }
        break;
    case HCBT_DESTROYWND: reportWindowEvent(WM_HOOK_DESTROY, window); break;
    case HCBT_ACTIVATE: reportWindowEvent(WM_HOOK_ACTIVATE, window); break;
    default: break;
    }
    return CallNextHookEx(d_hCbtHook, code, wParam, lParam);
}
