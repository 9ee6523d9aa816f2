// The three desktop-icon operations, run by the icon hook on the desktop list view's own
// thread, where the list view's item positions and texts are reachable. The icon file is
// d_szIconPosPath (iconpos.dat beside the library).
#pragma once

#include <windows.h>

// Moves every icon by (-dx, -dy), unless the list view arranges its icons by itself.
void shiftIcons(HWND listView, int dx, int dy);
// Replaces iconpos.dat with every icon's label and position plus the view origin; a save
// that fails at any point, a file that another program holds included, leaves the
// previous file as it was. Never waits for the file.
void saveIconPositions(HWND listView, int originX, int originY);
// Puts the icons of iconpos.dat back at their positions minus the view origin, as far as
// the file can be read, unless the list view arranges its icons by itself.
void restoreIconPositions(HWND listView, int originX, int originY);
