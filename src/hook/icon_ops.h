// The three desktop-icon operations, run by the icon hook on the desktop list view's own
// thread, where the list view's item positions and texts are reachable.
#pragma once

#include <windows.h>

// Moves every icon by (-dx, -dy).
void shiftIcons(HWND listView, int dx, int dy);
// Writes every icon's label and position plus the view origin into iconpos.dat.
void saveIconPositions(HWND listView, int originX, int originY);
// Puts the icons of iconpos.dat back at their positions minus the view origin.
void restoreIconPositions(HWND listView, int originX, int originY);
