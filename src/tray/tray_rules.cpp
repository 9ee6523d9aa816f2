// The tray's decisions.
#include "tray/tray_rules.h"

#include "tray/tray_text.h"

TrayAction trayActionFor(unsigned mouseMessage, int pointerPinned, int trayClickTogglesScroll) {
    switch (mouseMessage) {
    case kTrayMouseMove: return TrayAction::Tooltip;
    case kTrayLeftUp:
        if (pointerPinned)
            return TrayAction::Unpin;
        return trayClickTogglesScroll ? TrayAction::ToggleScroll : TrayAction::OpenOverview;
    case kTrayRightUp: return pointerPinned ? TrayAction::Unpin : TrayAction::ShowMenu;
    case kTrayMiddleUp: return pointerPinned ? TrayAction::Unpin : TrayAction::Pin;
    default: return TrayAction::None;
    }
}

TrayMenuState trayMenuState(int managedWindowCount, bool settingsDialogOpen,
                            const SettingsRecord& settings) {
    TrayMenuState m;
    m.greyArrange = managedWindowCount <= 0;
    m.greySettings = settingsDialogOpen;
    m.checkCross = settings.crossCursor != 0;
    m.overviewText = overviewItemText(settings.trayClickTogglesScroll);
    m.toggleText = toggleItemText(settings.scrollEnabled, settings.toggleKey);
    return m;
}
