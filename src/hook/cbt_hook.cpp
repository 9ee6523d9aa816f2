// The global CBT hook: runs inside every GUI thread of the desktop, reports activation,
// destruction and minimizing of other programs' windows to the main window and refuses
// their maximizing. Only filters and posts: no allocation, no waiting.
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

void reportWindowEvent(UINT message, HWND window) {
    const HWND mainWindow = d_hMainWnd;
    WindowEventFacts facts;
    facts.ownProcess = processOf(window) == d_dwMainProcessId;
    facts.mainWindowAlive = !facts.ownProcess && IsWindow(mainWindow);
    switch (decideWindowEvent(facts)) {
    case HookNotice::Post:
        PostMessageW(mainWindow, message, reinterpret_cast<WPARAM>(window), 0);
        break;
    case HookNotice::Uninstall: UninstallHook(); break;
    case HookNotice::None: break;
    }
}

// True when the change is refused.
bool handleMinMax(HWND window, int showCode) {
    const bool preventMaximize = d_bPreventMaximize != 0;
    if (!minMaxMayMatter(showCode, preventMaximize)) {
        return false;
    }
    MinMaxFacts facts;
    facts.showCode = showCode;
    facts.preventMaximize = preventMaximize;
    facts.ownProcess = processOf(window) == d_dwMainProcessId;
    const HWND parent = GetAncestor(window, GA_PARENT);
    facts.topLevel = parent == nullptr || parent == GetDesktopWindow();
    RECT rect{};
    if (isMinimizeCode(showCode)) {
        facts.rectAvailable = GetWindowRect(window, &rect) != FALSE;
    }
    const HWND mainWindow = d_hMainWnd;
    facts.mainWindowAlive = IsWindow(mainWindow) != FALSE;

    const MinMaxDecision decision = decideMinMax(facts);
    if (decision.notice == HookNotice::Uninstall) {
        UninstallHook();
    } else if (decision.notice == HookNotice::Post && isMinimizeCode(showCode)) {
        PostMessageW(mainWindow, WM_HOOK_MINIMIZE, reinterpret_cast<WPARAM>(window),
                     static_cast<LPARAM>(packPosition(rect.left, rect.top)));
    } else if (decision.notice == HookNotice::Post) {
        PostMessageW(mainWindow, WM_HOOK_MAXIMIZE, 0, reinterpret_cast<LPARAM>(window));
    }
    return decision.refuse;
}

} // namespace

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
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
