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

// The main program is gone without uninstalling. Its hooks went with it; what remains is
// the shared record, which is cleared only if it still describes that program, so that a
// newer program's fresh hooks are never removed.
void removeStaleHooks(const Shared& shared) {
    if (shared.cbtHook == nullptr || !replaceShared(d_hCbtHook, shared.cbtHook, HHOOK{}))
        return;
    UnhookWindowsHookEx(shared.cbtHook);
    const HHOOK iconHook = d_hIconHook;
    if (iconHook != nullptr && replaceShared(d_hIconHook, iconHook, HHOOK{}))
        UnhookWindowsHookEx(iconHook);
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
    case HookNotice::Uninstall: removeStaleHooks(shared); break;
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
        removeStaleHooks(shared);
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
    // Removed from the record (the main program is gone): nothing is reported or refused
    // while the system finishes taking the hook away.
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
