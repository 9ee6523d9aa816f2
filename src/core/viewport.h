// The shift of every managed window and the desktop's icon list view.
#pragma once

#include <windows.h>

// The desktop's icon list view ("SysListView32" under the shell's "SHELLDLL_DefView"), or null.
HWND findDesktopListView();
void adoptExistingWindows();
