// What the cross cursors' windows share: their extended style, their class registration
// and their creation, shown without activation. Main thread only.
#pragma once

#include "core/geometry.h"

#include <windows.h>

// Topmost, click-through, no taskbar button, layered, never activated.
constexpr DWORD kOverlayExStyle =
    WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
// Following the pointer: no activation, and no repaint of what only moved.
constexpr UINT kOverlayMoveFlags = SWP_NOACTIVATE | SWP_NOREDRAW;

// Registers a class of the program's module that repaints whole on resizing; a class
// left from an earlier opening is fine.
void registerOverlayClass(const wchar_t* name, WNDPROC proc);
// Creates an overlay window over `r` and shows it without activation; null on failure.
HWND createOverlayWindow(const wchar_t* cls, const Rect& r, const wchar_t* title);
