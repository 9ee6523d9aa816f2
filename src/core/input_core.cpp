// The keyboard drain's decisions.
#include "core/input_core.h"

#include "core/settings.h"

int lockKeyOf(unsigned scan) {
    switch (scan) {
    case kScanCapsLock: return kToggleCapsLock;
    case kScanNumLock: return kToggleNumLock;
    case kScanScrollLock: return kToggleScrollLock;
    default: return 0;
    }
}

KeyDecision decideKey(unsigned scan, bool pressed, int ctrlHoldMode, int toggleKey,
                      int scrollEnabled, int ctrlHeld) {
    if (scan == kScanLeftCtrl || scan == kScanRightCtrl) {
        if (!ctrlHoldMode) return {KeyEffect::None, ctrlHeld};
        // Only a Ctrl press that switched movement on may switch it off again on release.
        if (scrollEnabled && !pressed && ctrlHeld) return {KeyEffect::SwitchOff, 0};
        if (!scrollEnabled && pressed) return {KeyEffect::SwitchOn, 1};
        return {KeyEffect::None, ctrlHeld};
    }
    if (const int lock = lockKeyOf(scan)) {
        // Press and release alike: the lit state decides, so the switch cannot drift.
        if (lock == toggleKey) return {KeyEffect::FollowLockKey, ctrlHeld};
        return {KeyEffect::None, ctrlHeld};
    }
    return {KeyEffect::HideBorder, ctrlHeld};
}
