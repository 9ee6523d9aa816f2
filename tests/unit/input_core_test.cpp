// The keyboard drain's decisions: Ctrl-hold, the chosen lock key, other keys.
#include "core/input_core.h"
#include "core/settings.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyboardDecision, CtrlHoldSwitchesOnAndBackOff) {
    // Movement off, Ctrl pressed: on, and remembered as held.
    KeyDecision d = decideKey(kScanLeftCtrl, true, 1, kToggleScrollLock, 0, 0);
    EXPECT_EQ(d.effect, KeyEffect::SwitchOn);
    EXPECT_EQ(d.ctrlHeld, 1);
    // Auto-repeat presses while on change nothing.
    d = decideKey(kScanLeftCtrl, true, 1, kToggleScrollLock, 1, 1);
    EXPECT_EQ(d.effect, KeyEffect::None);
    EXPECT_EQ(d.ctrlHeld, 1);
    // Release (right Ctrl counts too): off again.
    d = decideKey(kScanRightCtrl, false, 1, kToggleScrollLock, 1, 1);
    EXPECT_EQ(d.effect, KeyEffect::SwitchOff);
    EXPECT_EQ(d.ctrlHeld, 0);
    // Switched on some other way: a Ctrl release does not switch it off.
    d = decideKey(kScanLeftCtrl, false, 1, kToggleScrollLock, 1, 0);
    EXPECT_EQ(d.effect, KeyEffect::None);
    // Without Ctrl-hold mode Ctrl is ignored, not even hiding the frame.
    d = decideKey(kScanLeftCtrl, true, 0, kToggleScrollLock, 0, 0);
    EXPECT_EQ(d.effect, KeyEffect::None);
    EXPECT_EQ(d.ctrlHeld, 0);
}

TEST(KeyboardDecision, OnlyTheChosenLockKeyCounts) {
    struct Case {
        unsigned scan;
        int toggleKey;
        KeyEffect effect;
    } cases[] = {
        {kScanScrollLock, kToggleScrollLock, KeyEffect::FollowLockKey},
        {kScanCapsLock, kToggleCapsLock, KeyEffect::FollowLockKey},
        {kScanNumLock, kToggleNumLock, KeyEffect::FollowLockKey},
        // Caps Lock with Scroll Lock chosen: nothing at all, not even the frame.
        {kScanCapsLock, kToggleScrollLock, KeyEffect::None},
        {kScanScrollLock, kToggleNone, KeyEffect::None},
        {kScanNumLock, kToggleCapsLock, KeyEffect::None},
        // Any other key hides the frame.
        {0x1E /* A */, kToggleScrollLock, KeyEffect::HideBorder},
        {0x2A /* left Shift */, kToggleNone, KeyEffect::HideBorder},
    };
    for (const auto& c : cases)
        for (bool pressed : {true, false}) {
            const KeyDecision d = decideKey(c.scan, pressed, 1, c.toggleKey, 1, 0);
            EXPECT_EQ(d.effect, c.effect) << "scan " << c.scan << " pressed " << pressed;
            EXPECT_EQ(d.ctrlHeld, 0);
        }
    EXPECT_EQ(lockKeyOf(kScanScrollLock), kToggleScrollLock);
    EXPECT_EQ(lockKeyOf(0x1E), 0);
}

} // namespace
