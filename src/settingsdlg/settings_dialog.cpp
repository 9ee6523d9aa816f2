// The settings dialog window (template 103): it reads its controls into a FormState, lets
// settings_form.cpp decide, and writes the controls, the live settings, the hook library's
// flags and the tray picture back. Opened by command 104 on the main thread; saves the
// settings file only on apply, and never applies or restores when the exit sequence
// destroys it.
#include "settingsdlg/settings_dialog.h"

#include "core/app.h"
#include "core/edge_core.h"
#include "core/settings_file.h"
#include "core/view.h"
#include "core/view_file.h"
#include "core/viewport.h"
#include "hook/ovl.h"
#include "mainwnd/hand_off.h"
#include "res/resource.h"
#include "settingsdlg/settings_form.h"
#include "settingsdlg/start_pictures.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <new>
#include <string>

HWND SettingsDialog;
SettingsDialogRecord SettingsDialogState;
const wchar_t* const kMakerPage = L"https://orvalis.example/";

namespace {

constexpr UINT kRescalePictures = WM_APP + 1;

void shellOpenPage(HWND owner, const wchar_t* address) {
    ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

// Every button the form tracks: check boxes, option buttons and the grid.
constexpr int kButtons[] = {
    kIdTrayOverview, kIdTrayToggle,    kIdEdgeMiddle,       kIdCtrlHold,     kIdKeyNum,
    kIdKeyScroll,    kIdKeyNone,       kIdKeyCaps,          kIdStartTaskbar, kIdStartBottomLeft,
    kIdStartTopLeft, kIdStartTopRight, kIdStartBottomRight, kIdStartCentre,  kIdReverse,
    kIdEdgePointer,  kIdContinue,      kIdDelayNoMove,      kIdMoveByScreen, kIdTrackByScreen,
    kIdTrackWhenOff, kIdNewToEmpty,    kIdShiftToggles,     kIdDisplayNone,  kIdDisplayOverview,
    kIdDisplayFrame, kIdMoveIcons,     kIdKeepIcons,        kIdFine,         kIdCoarse,
};
// Controls whose enabled state the form decides.
constexpr int kSwitchable[] = {kIdFine,       kIdCoarse,        kIdContinue,
                               kIdTrackLevel, kIdTrackLabelLow, kIdTrackLabelHigh};

template <typename F> void forEachButton(F f) {
    for (int id : kButtons)
        f(id);
    for (int id = kIdGridFirst; id <= kIdGridLast; ++id)
        f(id);
}

int trackbarPosition(HWND d, int id) {
    return static_cast<int>(SendDlgItemMessageW(d, id, TBM_GETPOS, 0, 0));
}

FormState readForm(HWND d) {
    FormState f;
    forEachButton([&](int id) { f.check(id, IsDlgButtonChecked(d, id) == BST_CHECKED); });
    for (int id : kSwitchable)
        f.enable(id, IsWindowEnabled(GetDlgItem(d, id)) != FALSE);
    f.acceleration = trackbarPosition(d, kIdAcceleration);
    f.delay = trackbarPosition(d, kIdDelay);
    f.trackLevel = trackbarPosition(d, kIdTrackLevel);
    return f;
}

// Writes what differs from `before`; with `all` every control.
void writeForm(HWND d, const FormState& before, const FormState& after, bool all) {
    forEachButton([&](int id) {
        if (all || before.isChecked(id) != after.isChecked(id))
            CheckDlgButton(d, id, after.isChecked(id) ? BST_CHECKED : BST_UNCHECKED);
    });
    for (int id : kSwitchable)
        if (all || before.isEnabled(id) != after.isEnabled(id))
            EnableWindow(GetDlgItem(d, id), after.isEnabled(id));
    const struct {
        int id;
        int before, after;
    } bars[] = {{kIdAcceleration, before.acceleration, after.acceleration},
                {kIdDelay, before.delay, after.delay},
                {kIdTrackLevel, before.trackLevel, after.trackLevel}};
    for (const auto& b : bars)
        if (all || b.before != b.after)
            SendDlgItemMessageW(d, b.id, TBM_SETPOS, TRUE, b.after);
}

// The product version of the program's own module, as the dialog shows it; empty when
// there is none.
std::wstring productVersion() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return {};
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[size]);
    if (!data || !GetFileVersionInfoW(path, 0, size, data.get()))
        return {};
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.get(), L"\\StringFileInfo\\041104b0\\ProductVersion", &value,
                        &length) ||
        !value || length == 0)
        return {};
    return versionText(static_cast<const wchar_t*>(value));
}

void showVersion(HWND d) {
    wchar_t text[256] = {};
    GetDlgItemTextW(d, kIdGroupProduct, text, 256);
    const std::wstring version = productVersion();
    if (text[0] && !version.empty())
        SetDlgItemTextW(d, kIdGroupProduct, (std::wstring(text) + L" " + version).c_str());
}

// Grows the dialog until its client area holds every control with the template's margin.
void holdEveryControl(HWND d) {
    RECT client{}, margin{0, 0, 5, 5};
    if (!GetClientRect(d, &client) || !MapDialogRect(d, &margin))
        return;
    RECT all{};
    for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
        UnionRect(&all, &all, &r);
    }
    const Size now{client.right, client.bottom};
    const Size need = clientToHold(now, {all.left, all.top, all.right, all.bottom},
                                   {margin.right, margin.bottom});
    RECT outer{};
    if (need == now || !GetWindowRect(d, &outer))
        return;
    SetWindowPos(d, nullptr, 0, 0, outer.right - outer.left + need.w - now.w,
                 outer.bottom - outer.top + need.h - now.h,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void openDialog(HWND d) {
    SettingsDialogState.dialog = d;
    showVersion(d);
    scaleStartPictures(d);
    holdEveryControl(d);
    SetClassLongPtrW(
        d, GCLP_HICON,
        reinterpret_cast<LONG_PTR>(LoadIconW(appInstance, MAKEINTRESOURCEW(IDI_ORVALIS))));

    RECT r{};
    GetWindowRect(d, &r);
    const Point at = dialogPosition(SettingsDialogState.position,
                                    {r.right - r.left + 1, r.bottom - r.top + 1}, WorkArea);

    SendDlgItemMessageW(d, kIdAcceleration, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendDlgItemMessageW(d, kIdDelay, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendDlgItemMessageW(d, kIdTrackLevel, TBM_SETRANGE, FALSE, MAKELPARAM(0, 9));
    const FormState form = formFromSettings(Settings, printWindowEntry != nullptr);
    writeForm(d, form, form, true);
    SettingsDialogState.snapshot = Settings;
    SettingsDialogState.savesAtOpen = settingsSaveCount();

    SetWindowPos(d, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A smaller area may leave the view on a screen that no longer exists: bring it back in,
// windows and all, before the tray picture is drawn.
void keepViewInsideArea() {
    const Point maxView{(Settings.columns - 1) * RealScreenSize.w,
                        (Settings.rows - 1) * RealScreenSize.h};
    const Point step = clampToArea({0, 0}, ViewOrigin, maxView);
    if (step.x != 0 || step.y != 0)
        shiftView(step.x, step.y, nullptr);
}

void applyAndClose(HWND d) {
    applyForm(readForm(d), Settings);
    storeHookFlag(d_bPreventMaximize, preventMaximizeFor(Settings.columns, Settings.rows));
    keepViewInsideArea();
    recordView(); // the next start compares the record's area with these settings
    updateTrayIcon();
    saveSettings();
    handOffActivation(d, CloseCause::Asked);
    DestroyWindow(d);
}

void restoreAndClose(HWND d) {
    restoreSnapshot(Settings, SettingsDialogState.snapshot);
    storeHookFlag(d_bPreventMaximize, preventMaximizeFor(Settings.columns, Settings.rows));
    storeHookFlag(d_bHookRet, Settings.moveIcons);
    recordView();
    updateTrayIcon();
    // A save while the dialog was open (a toggle key, a cursor command, the overview's
    // close) wrote the values just put back; the file must not keep them for the next run.
    if (settingsSaveCount() != SettingsDialogState.savesAtOpen)
        saveSettings();
    handOffActivation(d, CloseCause::Asked);
    DestroyWindow(d);
}

void onClick(HWND d, int id) {
    if (id == IDOK)
        return applyAndClose(d);
    if (id == IDCANCEL)
        return restoreAndClose(d);
    FormState form = readForm(d);
    const FormState before = form;
    const FormEffect effect = clickControl(form, Settings, id);
    writeForm(d, before, form, false);
    if (effect.hookRetChanged)
        storeHookFlag(d_bHookRet, Settings.moveIcons);
    if (effect.checkDesktopIcons)
        checkDesktopIcons(d);
}

void onTrackbar(HWND d, HWND bar) {
    FormState form = readForm(d);
    const FormState before = form;
    moveTrackbar(form, Settings, GetDlgCtrlID(bar));
    writeForm(d, before, form, false);
}

// The maker line has no notify style, so a click on it reaches the dialog only as the
// mouse message that comes with WM_SETCURSOR. Over the line the pointer is a hand.
bool onSetCursor(HWND d, LPARAM lParam) {
    const DWORD at = GetMessagePos();
    const POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    RECT line{};
    if (LOWORD(lParam) != HTCLIENT || !GetWindowRect(GetDlgItem(d, kIdMakerLine), &line) ||
        !PtInRect(&line, p))
        return false;
    if (HIWORD(lParam) == WM_LBUTTONUP)
        openMakerPage(d, kMakerPage);
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

HICON dialogIcon(WPARAM which) {
    if (which == ICON_BIG)
        return LoadIconW(appInstance, MAKEINTRESOURCEW(IDI_ORVALIS));
    return static_cast<HICON>(LoadImageW(appInstance, MAKEINTRESOURCEW(IDI_ORVALIS_SMALL),
                                         IMAGE_ICON, 16, 16, LR_SHARED));
}

INT_PTR handle(HWND d, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: openDialog(d); return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0)
            onClick(d, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        // The close box: not every dialog manager turns it into IDCANCEL by itself.
        restoreAndClose(d);
        return TRUE;
    case WM_HSCROLL:
        if (lParam)
            onTrackbar(d, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_SETCURSOR:
        // Elsewhere the controls and the dialog keep their own pointers.
        return onSetCursor(d, lParam);
    case WM_GETICON:
        SetWindowLongPtrW(d, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(dialogIcon(wParam)));
        return TRUE;
    case WM_GETMINMAXINFO: {
        // At a high DPI on a small screen the dialog is larger than the screen; the
        // default limit would cut its last column off instead of letting it reach past.
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lParam);
        mmi->ptMaxTrackSize = {SHRT_MAX, SHRT_MAX};
        return TRUE;
    }
    case WM_DPICHANGED:
        // The dialog manager resizes the dialog and its controls after this returns; the
        // pictures follow once it has.
        PostMessageW(d, kRescalePictures, 0, 0);
        return FALSE;
    case kRescalePictures:
        scaleStartPictures(d);
        holdEveryControl(d);
        return TRUE;
    case WM_NCDESTROY:
        releaseStartPictures();
        SettingsDialogState.dialog = nullptr;
        SettingsDialog = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK settingsDialogProc(HWND d, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_NCDESTROY)
        SettingsDialog = d;
    try {
        return handle(d, msg, wParam, lParam);
    } catch (...) {
        return FALSE; // an allocation that failed leaves the dialog as it was
    }
}

} // namespace

PageOpener openMakerPage = shellOpenPage;

HWND showSettingsDialog() {
    if (IsWindow(SettingsDialog)) {
        SetForegroundWindow(SettingsDialog);
        return SettingsDialog;
    }
    SettingsDialogState.position = {trayMenuPoint.x, trayMenuPoint.y};
    return CreateDialogParamW(appInstance, MAKEINTRESOURCEW(IDD_SETTINGS), MainWindow,
                              settingsDialogProc, 0);
}

void checkDesktopIcons(HWND owner) {
    HWND listView = findDesktopListView();
    if (!listView)
        return;
    const LONG_PTR style = GetWindowLongPtrW(listView, GWL_STYLE);
    DWORD_PTR extended = 0;
    // The shell's list view may hang: then it counts as not snapping to the grid.
    if (!SendMessageTimeoutW(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, SMTO_ABORTIFHUNG, 2000,
                             &extended))
        extended = 0;
    const wchar_t* text =
        desktopIconMessage((style & LVS_AUTOARRANGE) != 0, (extended & LVS_EX_SNAPTOGRID) != 0);
    if (text)
        MessageBoxW(owner, text, caption, MB_ICONINFORMATION);
}
