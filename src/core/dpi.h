// The DPI of the monitor a window is on, and system metrics and fonts at that DPI. The
// per-monitor functions are looked up at run time: where the system lacks them, every
// monitor has the system's DPI. Main thread only.
#pragma once

#include <windows.h>

// The DPI of the monitor `window` is on; for a null window, the system's DPI.
int windowDpi(HWND window);
// GetSystemMetrics(index) at `dpi`.
int metricForDpi(int index, int dpi);
// The system's status-bar font at `dpi`, or null; the caller deletes it.
HFONT statusFontForDpi(int dpi);
// The stock GUI font's face at `dpi`, or null; the caller deletes it.
HFONT guiFontForDpi(int dpi);
// The width of `text` on one line in `font` (0 when it cannot be measured).
int textWidth(HWND window, HFONT font, const wchar_t* text);
