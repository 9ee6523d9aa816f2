// The notification-area icon: its picture of the virtual area and its tooltip. Called
// by start-up, the view shift, the movement switch, tiling, the settings dialog and the
// main window ("TaskbarCreated"). Main thread only.
#pragma once

#include "tray/tray_glyph.h"

#include <windows.h>

#include <shellapi.h>

constexpr UINT WM_TRAYICON = 0x8064;
constexpr UINT kTrayIconId = 1;
// The layout the shell has understood longest, with the balloon's fields: 936 bytes in
// the 32-bit build. The 64-bit build's handles are wider and the same layout is 952 bytes;
// given 936 there, the shell reads a cut title and no balloon flags.
constexpr UINT kNotifyIconDataSize = NOTIFYICONDATAW_V2_SIZE;
static_assert(sizeof(void*) != 4 || kNotifyIconDataSize == 936);

extern UINT taskbarCreatedMessage; // registered after the first successful add; 0 before

// Adds the icon with the picture of the last layout, retrying while the shell times out.
void addTrayIcon();
// Lays the picture out anew and, only when it changed, redraws and sends it.
void updateTrayIcon();
// Sends the position tooltip unless it equals the last one sent.
void updateTrayTooltip();

enum class BalloonIcon { Info, Warning };
// Shows a balloon from the icon: a title of up to 63 units and a text of up to 255 (longer
// ones are cut). False when the shell refused it, for one when there is no icon.
bool showTrayBalloon(const wchar_t* title, const wchar_t* text, BalloonIcon icon);

// The picture of `layout` as an icon of the current small-icon size; null on failure.
// The caller destroys it.
HICON drawTrayGlyph(const GlyphLayout& layout);

// The layout of the picture last sent and the last tooltip sent (tests look at them).
const GlyphLayout& trayGlyphLayout();
const wchar_t* lastTrayTooltip();
// The text of the last balloon sent and how many were sent (tests look at them).
const wchar_t* lastTrayBalloon();
int trayBalloonCount();

// Deletes the pens and the picture; called at exit.
void releaseTrayGlyph();
// Tests: releases them and forgets the layout, the tooltip, the balloons and the
// registered message.
void resetTrayIcon();
