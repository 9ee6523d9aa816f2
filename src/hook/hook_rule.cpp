// The hook library's decision rules; see hook_rule.h. Compiled into ovl.dll as well as
// the core, so nothing here may allocate, throw or touch global state.
#include "hook/hook_rule.h"

#include "hook/hook_messages.h"

HookNotice decideWindowEvent(const WindowEventFacts& facts) {
    if (facts.ownProcess) {
        return HookNotice::None;
    }
    return facts.mainWindowAlive ? HookNotice::Post : HookNotice::Uninstall;
}

bool isMinimizeCode(int showCode) {
    return showCode == kShowMinimized || showCode == kMinimize || showCode == kShowMinNoActive ||
           showCode == kForceMinimize;
}

bool minMaxMayMatter(int showCode, bool preventMaximize) {
    return isMinimizeCode(showCode) || (showCode == kMaximize && preventMaximize);
}

MinMaxDecision decideMinMax(const MinMaxFacts& facts) {
    if (facts.ownProcess || !facts.topLevel) {
        return {};
    }
    const HookNotice notice = facts.mainWindowAlive ? HookNotice::Post : HookNotice::Uninstall;
    if (isMinimizeCode(facts.showCode)) {
        // Without the rectangle there is no position worth reporting; the minimize goes
        // ahead either way, and the hooks stay until an event that can be reported.
        return {false, facts.rectAvailable ? notice : HookNotice::None};
    }
    if (facts.showCode == kMaximize && facts.preventMaximize) {
        // Refused even when the main program is gone: nobody has had a chance yet to
        // turn the maximize into something the virtual area can move.
        return {true, notice};
    }
    return {};
}

IconRequest iconRequestFor(const IconHookFacts& facts) {
    if (!facts.requestsEnabled || facts.code != 0 || !facts.hasMessage || !facts.forListView) {
        return IconRequest::None;
    }
    switch (facts.message) {
    case WM_ICONS_SHIFT: return IconRequest::Shift;
    case WM_ICONS_SAVE: return IconRequest::Save;
    case WM_ICONS_RESTORE: return IconRequest::Restore;
    default: return IconRequest::None;
    }
}
