// The modeless settings and version dialog: opened by the main window's command 104,
// fed its keyboard by the main loop, destroyed by the exit sequence. Main thread only.
#pragma once

#include "core/geometry.h"
#include "core/settings.h"

#include <windows.h>

extern HWND SettingsDialog; // null while closed; the main loop gives it its keyboard

// The one dialog's record: where it opens, the values it puts back on close, its window,
// and the settings saves counted when it opened.
struct SettingsDialogRecord {
    Point position;
    SettingsRecord snapshot;
    HWND dialog = nullptr;
    unsigned savesAtOpen = 0;
};
extern SettingsDialogRecord SettingsDialogState;

// Opens the dialog centred on the point where the tray menu was last opened and returns
// it; an open dialog is brought to the front instead.
HWND showSettingsDialog();

// Opens the maker's page from the maker line; owner is the dialog. Replaceable so that
// tests see the launch without starting a browser.
using PageOpener = void (*)(HWND owner, const wchar_t* address);
extern PageOpener openMakerPage;
extern const wchar_t* const kMakerPage;

// Turning the icon move on: tells the user when the desktop arranges its icons by itself,
// in a box owned by `owner` (the dialog), never by the shell's list view, whose hung
// thread would hold the box up.
void checkDesktopIcons(HWND owner);
