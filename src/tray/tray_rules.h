// The tray's decisions: what a mouse notification on the icon does, how the menu is
// adjusted before it shows, and how long adding the icon is retried. Portable;
// tray_menu.cpp and tray_icon.cpp carry them out.
#pragma once

#include "core/settings.h"

#include <string>

// Mouse messages the shell reports for the icon (the low word of lParam).
constexpr unsigned kTrayMouseMove = 0x200;
constexpr unsigned kTrayLeftUp = 0x202;
constexpr unsigned kTrayRightUp = 0x205;
constexpr unsigned kTrayMiddleUp = 0x208;

enum class TrayAction { None, Tooltip, Unpin, ToggleScroll, OpenOverview, ShowMenu, Pin };

// A click while the pointer is pinned only unpins it; button-down and double clicks do
// nothing.
TrayAction trayActionFor(unsigned mouseMessage, int pointerPinned, int trayClickTogglesScroll);

// The menu as it shows this time.
struct TrayMenuState {
    bool greyArrange = false;  // 32772, 163, 164: nothing to arrange (32773 stays)
    bool greySettings = false; // 104: the dialog is already open
    bool checkCross = false;   // 106
    std::wstring overviewText; // 165
    std::wstring toggleText;   // 132
};
TrayMenuState trayMenuState(int managedWindowCount, bool settingsDialogOpen,
                            const SettingsRecord& settings);

// Adding the icon while the shell does not answer: try again every 2 s, 90 attempts in
// all (three minutes); any other error ends the attempts at once.
constexpr int kTrayAddAttempts = 90;
constexpr unsigned kTrayAddRetryMs = 2000;
constexpr unsigned kErrorTimeout = 1460; // ERROR_TIMEOUT

// tryAdd() returns 0 on success, else the error code; wait(ms) waits. Returns whether an
// attempt succeeded.
template <typename TryAdd, typename Wait> bool addWithRetries(TryAdd tryAdd, Wait wait) {
    for (int attempt = 1;; ++attempt) {
        const unsigned error = tryAdd();
        if (error == 0)
            return true;
        if (error != kErrorTimeout || attempt >= kTrayAddAttempts)
            return false;
        wait(kTrayAddRetryMs);
    }
}
