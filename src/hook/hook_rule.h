// What the hook library does with each event it sees: report it, ignore it, refuse it, or
// remove the hooks because the main program is gone. Portable and allocation-free: the
// hook procedures (cbt_hook.cpp, icon_hook.cpp) gather the facts and apply the answer.
#pragma once

// Show codes of HCBT_MINMAX that matter here (the SW_ values of the Windows headers).
inline constexpr int kShowMinimized = 2;
inline constexpr int kMaximize = 3;
inline constexpr int kMinimize = 6;
inline constexpr int kShowMinNoActive = 7;
inline constexpr int kForceMinimize = 11;

// What happens towards the main program after an event.
enum class HookNotice {
    None,      // nothing is posted
    Post,      // the event's message is posted to the main window
    Uninstall, // the main window is gone: the hooks' record is cleared, nothing is posted
};

// Activation and destruction of a window.
struct WindowEventFacts {
    bool ownProcess = false;      // the window belongs to the main program's process
    bool mainWindowAlive = false; // the stored main window is still a window
};

HookNotice decideWindowEvent(const WindowEventFacts& facts);

// A minimize or maximize about to happen.
struct MinMaxFacts {
    int showCode = 0;
    bool preventMaximize = false; // d_bPreventMaximize is non-zero
    bool ownProcess = false;
    bool topLevel = false;      // no parent, or the desktop window is the parent
    bool rectAvailable = false; // the window rectangle before the change could be read
    bool mainWindowAlive = false;
};

struct MinMaxDecision {
    bool refuse = false; // the hook answers 1: the change does not take place
    HookNotice notice = HookNotice::None;
    friend bool operator==(const MinMaxDecision&, const MinMaxDecision&) = default;
};

bool isMinimizeCode(int showCode);

// False for every show code that is allowed silently whatever the window: the hook then
// answers without asking the system anything about the window.
bool minMaxMayMatter(int showCode, bool preventMaximize);

MinMaxDecision decideMinMax(const MinMaxFacts& facts);

// The icon hook: which desktop-icon request a returning message asks for.
enum class IconRequest { None, Shift, Save, Restore };

struct IconHookFacts {
    bool requestsEnabled = false; // d_bHookRet is non-zero
    int code = 0;                 // the hook code; only HC_ACTION (0) carries a message
    bool hasMessage = false;      // the CWPRETSTRUCT pointer is non-null
    bool forListView = false;     // the message went to the stored desktop list view
    unsigned message = 0;
};

IconRequest iconRequestFor(const IconHookFacts& facts);
