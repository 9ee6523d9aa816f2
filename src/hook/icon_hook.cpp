// The icon hook: a WH_CALLWNDPROCRET hook on the desktop list view's thread that turns the
// main program's three private requests into the icon operations. It sees every message
// returning from that thread's window procedures, so the first test rejects the rest.
#include "hook/hook_procs.h"

#include "hook/hook_rule.h"
#include "hook/icon_ops.h"
#include "hook/ovl.h"
#include "hook/ovl_state.h"

namespace {

// The stored handle may outlive the list view and come back on some other window of the
// thread; only a list view can be asked about icons.
bool isListView(HWND hwnd) {
    wchar_t name[16];
    return GetClassNameW(hwnd, name, 16) == 13 && lstrcmpW(name, L"SysListView32") == 0;
}

} // namespace

LRESULT CALLBACK IconHookProc(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    IconHookFacts facts;
    facts.requestsEnabled = d_bHookRet != 0;
    facts.code = code;
    facts.hasMessage = call != nullptr;
    if (facts.requestsEnabled && code == HC_ACTION && call != nullptr) {
        facts.forListView = call->hwnd == d_hListView;
        facts.message = call->message;
    }

    // The parameters are the sender's ints; only their low 32 bits count.
    IconRequest request = iconRequestFor(facts);
    if (request != IconRequest::None && !isListView(call->hwnd)) {
        request = IconRequest::None;
    }
    switch (request) {
    case IconRequest::Shift:
        shiftIcons(call->hwnd, static_cast<int>(call->wParam), static_cast<int>(call->lParam));
        break;
    case IconRequest::Save:
        saveIconPositions(call->hwnd, static_cast<int>(call->wParam),
                          static_cast<int>(call->lParam));
        break;
    case IconRequest::Restore:
        restoreIconPositions(call->hwnd, static_cast<int>(call->wParam),
                             static_cast<int>(call->lParam));
        break;
    case IconRequest::None: break;
    }
    return CallNextHookEx(d_hIconHook, code, wParam, lParam);
}
