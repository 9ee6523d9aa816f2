// The run-time handles of the process: instance, caption, main window, input events,
// overlay thread, the looked-up PrintWindow entry. Set by start-up, released by shut-down;
// main thread only. Win32 tests put them back with resetAppState().
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern wchar_t caption[100];   // string 101: window title and message-box caption
extern wchar_t className[100]; // string 109: main window class and mutex name
extern HANDLE instanceMutex;
extern DWORD ownProcessId;
extern HWND MainWindow;
extern HWND ActiveDesktopWindow;
extern HANDLE pointerEvent;  // wait index 0
extern HANDLE keyboardEvent; // wait index 1
extern HANDLE overlayThread;
extern DWORD overlayThreadId;
extern HMODULE user32Module;
using PrintWindowProc = BOOL(WINAPI*)(HWND, HDC, UINT);
extern PrintWindowProc printWindowEntry;

void resetAppState();

// Shows a message box owned by the main window with the program's caption.
int showMessage(const wchar_t* text, UINT type);

// Posts a thread message to the overlay thread when it runs.
void postToOverlayThread(UINT message);
