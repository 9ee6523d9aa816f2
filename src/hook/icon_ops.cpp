// The desktop-icon operations; see icon_ops.h. Not written yet: the requests reach these
// functions and change nothing, as when the desktop arranges its icons by itself.
#include "hook/icon_ops.h"

void shiftIcons(HWND, int, int) {}

void saveIconPositions(HWND, int, int) {}

void restoreIconPositions(HWND, int, int) {}
