// Mouse actions on the tray icon, its context menu and the help pages.
#pragma once

#include <windows.h>

extern int pointerPinned; // the pointer is held by a middle click on the tray icon

void onTrayNotify(LPARAM mouseMessage);
void openHelpPage(const wchar_t* page);
