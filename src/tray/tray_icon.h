// The notification-area icon: its picture of the virtual area and its tooltip.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAYICON = 0x8064;
constexpr UINT kTrayIconId = 1;
constexpr UINT kNotifyIconDataSize = 936; // the layout the shell has understood longest

extern UINT taskbarCreatedMessage; // registered after the first successful add; 0 before

void addTrayIcon();
void updateTrayIcon();
