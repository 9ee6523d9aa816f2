// Mouse actions on the tray icon, its context menu and the help pages. Called by the
// main window for WM_TRAYICON and the help commands. Main thread only; the menu runs a
// modal loop inside onTrayNotify, during which the main window keeps its messages.
#pragma once

#include <windows.h>

extern int pointerPinned; // the pointer is held by a middle click on the tray icon
// Where the menu was last opened (the pointer then, or (0, 0) when it could not be
// read): the settings dialog opens centred on it.
extern POINT trayMenuPoint;

void onTrayNotify(LPARAM mouseMessage);

// Loads menu 129, adjusts it to the current state, shows it centred on the pointer and
// gives the keyboard focus back to the notification area.
void showTrayMenu();

// Holds the pointer on its one pixel (pointerPinned = 1 when that worked); unpinning
// frees it.
void pinPointer();
void unpinPointer();

// Starts the help viewer on a page of the help file beside the program.
void openHelpPage(const wchar_t* page);
