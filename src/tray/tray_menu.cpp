// The tray's mouse actions, the context menu and the help viewer. What a click does and
// how the menu looks this time are decided in tray_rules.cpp; this file carries it out.
#include "tray/tray_menu.h"

#include "core/app.h"
#include "core/input.h"
#include "core/settings.h"
#include "core/viewport.h"
#include "overview/overview_window.h"
#include "res/resource.h"
#include "settingsdlg/settings_dialog.h"
#include "tray/tray_icon.h"
#include "tray/tray_rules.h"
#include "tray/tray_text.h"

#include <shellapi.h>

#include <string>

int pointerPinned;
POINT trayMenuPoint;

namespace {

void setItemText(HMENU menu, UINT id, const std::wstring& text) {
    wchar_t buffer[512];
    lstrcpynW(buffer, text.c_str(), 512);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = buffer;
    SetMenuItemInfoW(menu, id, FALSE, &item);
}

void greyItem(HMENU menu, UINT id) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
}

void adjustMenu(HMENU menu) {
    collectWindows(0);
    const TrayMenuState state =
        trayMenuState(ManagedWindowList.count, IsWindow(SettingsDialog) != FALSE, Settings);
    if (state.greyArrange) {
        greyItem(menu, IDM_CASCADE);
        greyItem(menu, IDM_TILE_VERTICAL);
        greyItem(menu, IDM_TILE_HORIZONTAL);
    }
    if (state.greySettings)
        greyItem(menu, IDM_SETTINGS);
    setItemText(menu, IDM_OVERVIEW, state.overviewText);
    setItemText(menu, IDM_TOGGLE_SCROLL, state.toggleText);
    CheckMenuItem(menu, IDM_CROSS_CURSOR,
                  MF_BYCOMMAND | (state.checkCross ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

void showTrayMenu() {
    POINT at;
    if (!GetCursorPos(&at))
        at = {0, 0};
    trayMenuPoint = at;
    HMENU menu = LoadMenuW(appInstance, MAKEINTRESOURCEW(IDM_TRAY));
    if (!menu) {
        showMessage(L"通知領域用のメニューを読みこめませんでした。", MB_ICONWARNING);
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (!popup) {
        DestroyMenu(menu);
        showMessage(L"通知領域用のサブ メニューを読みこめませんでした。", MB_ICONWARNING);
        return;
    }
    adjustMenu(popup);

    // The menu closes when the user clicks elsewhere only if its owner is in front; the
    // chosen command arrives as WM_COMMAND posted to the main window.
    SetForegroundWindow(MainWindow);
    TrackPopupMenuEx(popup, TPM_CENTERALIGN | TPM_VCENTERALIGN, at.x, at.y, MainWindow, nullptr);
    DestroyMenu(menu);
    PostMessageW(MainWindow, WM_NULL, 0, 0);

    NOTIFYICONDATAW nid{};
    nid.cbSize = kNotifyIconDataSize;
    nid.hWnd = MainWindow;
    nid.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_SETFOCUS, &nid);
}

void pinPointer() {
    POINT at;
    if (!GetCursorPos(&at))
        return;
    SetForegroundWindow(MainWindow);
    const RECT spot{at.x, at.y, at.x + 1, at.y + 1};
    if (ClipCursor(&spot))
        pointerPinned = 1;
}

void unpinPointer() {
    pointerPinned = 0;
    ClipCursor(nullptr);
}

void onTrayNotify(LPARAM mouseMessage) {
    switch (trayActionFor(static_cast<unsigned>(mouseMessage), pointerPinned,
                          Settings.trayClickTogglesScroll)) {
    case TrayAction::None: break;
    case TrayAction::Tooltip: updateTrayTooltip(); break;
    case TrayAction::Unpin: unpinPointer(); break;
    case TrayAction::ToggleScroll: setScrollEnabled(!Settings.scrollEnabled); break;
    case TrayAction::OpenOverview: openOverview(); break;
    case TrayAction::ShowMenu: showTrayMenu(); break;
    case TrayAction::Pin: pinPointer(); break;
    }
}

void openHelpPage(const wchar_t* page) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path that filled the buffer may have been cut: it names no file.
    const bool readable = n > 0 && n < MAX_PATH;
    const std::wstring parameter = helpViewerParameter(readable ? path : nullptr, page);
    ShellExecuteW(MainWindow, nullptr, L"hh", parameter.c_str(), nullptr, SW_SHOW);
}
