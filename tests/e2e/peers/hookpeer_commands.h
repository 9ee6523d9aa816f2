// Commands of hookpeer.exe, the "other process" of the hook library's end-to-end test.
// Sent with SendMessageTimeoutW to its hidden window of class kHookPeerClass; when the
// send returns, the peer has acted and every hook notification it caused has been posted.
#pragma once

inline constexpr wchar_t kHookPeerClass[] = L"HookPeerCommand";

enum HookPeerCommand : unsigned {
    kPeerCreate = 0x8000 + 1, // wParam: parent or 0 → the new visible window
    kPeerMove,                // wParam: window, lParam: MAKELPARAM(x, y) as signed 16 bits
    kPeerShow,                // wParam: window, lParam: show code → ShowWindow's answer
    kPeerActivate,            // wParam: window → non-zero when it became the active window
    kPeerDestroy,             // wParam: window → DestroyWindow's answer
    kPeerLibraryBase,         // → where ovl.dll is loaded in the peer, 0 when it is not
    kPeerTamper,  // as a hostile program: writes every value of ovl.dll's shared section, with
                  // wParam (0: its command window) as the main window and lParam (0: its own
                  // id) as the main process → non-zero when the section was found
    kPeerReports, // → how many hook notifications reached the command window
};
