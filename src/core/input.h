// Pointer and keyboard input through DirectInput 8 (buffered, background, non-exclusive,
// with event notification) and the one movement switch.
#pragma once

#include <windows.h>

extern HWND grabWindow; // window under the pointer when a middle-button grab began

int initInput();     // 1 on success; on failure what was made is left for releaseInput
void releaseInput(); // safe to call after a partial initInput

void drainPointer();
// While a middle-button grab lasts, this timer keeps the pointer pinned.
constexpr UINT_PTR kGrabPinTimer = 520;
void onGrabPinTimer(UINT_PTR timerId);
void drainKeyboard();

// The movement switch: closes the overview and the delay indicator, and on a real change
// redraws the tray icon and writes the settings file.
void setScrollEnabled(int on);

// True for the taskbar and its children, but not for the notification area.
bool isTaskbarWindow(HWND w);

void resetInputState(); // tests
