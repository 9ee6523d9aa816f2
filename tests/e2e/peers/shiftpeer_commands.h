// Commands of shiftpeer.exe, the "other process" of the viewport tests. It runs two UI
// threads, each with a message-only command window of class kShiftPeerClass titled
// "main" or "second"; commands are sent with SendMessageTimeoutW to either of them.
#pragma once

inline constexpr wchar_t kShiftPeerClass[] = L"ShiftPeerCommand";

// WM_COPYDATA with a UTF-16 text "x,y,w,h,flags,class,title" (dwData 0) creates a window
// on the receiving thread and returns it. Flags (any of, or "-"): m minimized, x maximized,
// h hidden, t tool window, d disabled, p popup (any size, even 0 x 0), o owned by the
// window created before it (GetParent reports the owner of a popup only).
// The title may be empty (an untitled window) and may contain commas.
enum ShiftPeerCommand : unsigned {
    // Posted: the receiving thread stops pumping messages until the event named by
    // shiftPeerReleaseName(pid) is set (at most 60 s), after setting shiftPeerBlockedName.
    kShiftPeerBlock = 0x8000 + 0x40,
    kShiftPeerQuit, // posted to "main": the program ends
};

// Names of the two events; buffer of 64 units.
inline void shiftPeerEventName(wchar_t (&out)[64], const wchar_t* what, unsigned long pid) {
    const wchar_t* prefix = L"ShiftPeer";
    int n = 0;
    for (const wchar_t* p = prefix; *p; ++p)
        out[n++] = *p;
    for (const wchar_t* p = what; *p && n < 40; ++p)
        out[n++] = *p;
    wchar_t digits[16];
    int d = 0;
    do {
        digits[d++] = static_cast<wchar_t>(L'0' + pid % 10);
        pid /= 10;
    } while (pid && d < 15);
    while (d)
        out[n++] = digits[--d];
    out[n] = 0;
}
