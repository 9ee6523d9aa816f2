// Decisions of the input drains that need no device: what a keyboard record does to the
// movement switch, and whether a chain of class names is the taskbar.
#pragma once

// Scan codes the drain looks at.
constexpr unsigned kScanLeftCtrl = 0x1D;
constexpr unsigned kScanRightCtrl = 0x9D;
constexpr unsigned kScanCapsLock = 0x3A;
constexpr unsigned kScanNumLock = 0x45;
constexpr unsigned kScanScrollLock = 0x46;

enum class KeyEffect {
    None,          // ignored
    SwitchOn,      // setScrollEnabled(1)
    SwitchOff,     // setScrollEnabled(0)
    FollowLockKey, // movement off while the chosen lock key is lit, on otherwise
    HideBorder,    // any other key: hide the relative-position frame
};

struct KeyDecision {
    KeyEffect effect = KeyEffect::None;
    int ctrlHeld = 0; // the new value of the Ctrl-hold flag
};

KeyDecision decideKey(unsigned scanCode, bool pressed, int ctrlHoldMode, int toggleKey,
                      int scrollEnabled, int ctrlHeld);

// The virtual-key code of the lock key a scan code stands for, 0 for any other key.
int lockKeyOf(unsigned scanCode);
