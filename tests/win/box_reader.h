// Reads and dismisses the message box the code under test shows on this thread: start
// SetTimer(nullptr, 0, 20, dismissBox) before the call that shows it. The settings
// dialog, itself of the dialog class, is never taken for the box.
#pragma once

#include "settingsdlg/settings_dialog.h"

#include <windows.h>

#include <string>

inline std::wstring boxText, boxCaption;
inline HWND boxOwner;

inline BOOL CALLBACK findBox(HWND w, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || w == SettingsDialog)
        return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

inline void CALLBACK dismissBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findBox, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    boxText = text;
    GetWindowTextW(box, text, 256);
    boxCaption = text;
    boxOwner = GetWindow(box, GW_OWNER);
    KillTimer(nullptr, timer);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}
