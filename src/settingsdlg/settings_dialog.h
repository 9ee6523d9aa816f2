// The modeless settings and version dialog.
#pragma once

#include <windows.h>

extern HWND SettingsDialog; // null while closed; the main loop gives it its keyboard

void showSettingsDialog();
