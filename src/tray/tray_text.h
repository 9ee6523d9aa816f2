// The texts the tray shows: the icon's tooltip, the two menu items rebuilt before each
// showing, and the help viewer's parameter. Portable; tray_icon.cpp and tray_menu.cpp
// hand them to the shell.
#pragma once

#include "core/geometry.h"

#include <string>

constexpr int kTooltipUnits = 128; // the shell's tooltip buffer, terminator included

// The tooltip: state, then the horizontal and vertical position as 1-based real-screen
// numbers with one decimal, each over the count. Truncated to fit kTooltipUnits.
void formatTrayTooltip(wchar_t (&out)[kTooltipUnits], int scrollEnabled, Point origin, Size screen,
                       int columns, int rows);

// Item 165: the "left click" hint only while a left click opens the overview.
std::wstring overviewItemText(int trayClickTogglesScroll);

// Item 132: what choosing it will do, and the lock key that does the same.
std::wstring toggleItemText(int scrollEnabled, int toggleKey);

constexpr int kHelpParameterUnits = 260; // terminator included; longer texts are cut

// "its:" + the help file (the program's path with ".chm" for its extension) + "::/" +
// page. `programPath` is null when it could not be read; then, or when the extension
// cannot be replaced within 260 units, the parameter is just "its:".
std::wstring helpViewerParameter(const wchar_t* programPath, const wchar_t* page);

constexpr int kBalloonTextUnits = 256; // the shell's balloon text buffer, terminator included

// A balloon's text that names a file: `message`, a line break, then `path`. When that is too
// long for kBalloonTextUnits, the middle of the path gives way to "…", so that its start
// (the drive) and its end (the file name) still show.
std::wstring balloonTextWithPath(const std::wstring& message, const std::wstring& path);
