// The second UI thread that owns the relative-position frame. The main thread drives it
// with thread messages only.
#pragma once

#include <windows.h>

constexpr UINT WM_BORDER_HIDE = 0x0401;
constexpr UINT WM_BORDER_SHOW = 0x0402;

struct BorderFrameRecord;
extern BorderFrameRecord BorderFrame;

DWORD WINAPI overlayThreadProc(LPVOID frame);
