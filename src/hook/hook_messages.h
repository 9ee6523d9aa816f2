// Numbers of the private messages between the hook library, the main program and the
// desktop's icon list view. Portable, so the core's dispatch tables can name them too.
#pragma once

// Posted by the CBT hook to the main window.
inline constexpr unsigned WM_HOOK_ACTIVATE = 0x80C8; // wParam: the window
inline constexpr unsigned WM_HOOK_DESTROY = 0x80C9;  // wParam: the window
inline constexpr unsigned WM_HOOK_MINIMIZE = 0x80CA; // wParam: the window, lParam: packed left/top
inline constexpr unsigned WM_HOOK_MAXIMIZE = 0x80CB; // wParam: 0, lParam: the window (refused)

// Sent by the main program to the desktop list view, handled by the icon hook.
inline constexpr unsigned WM_ICONS_SHIFT = 0x812C;   // move every icon by (-wParam, -lParam)
inline constexpr unsigned WM_ICONS_SAVE = 0x812D;    // save positions plus the view origin
inline constexpr unsigned WM_ICONS_RESTORE = 0x812E; // restore positions minus the view origin
