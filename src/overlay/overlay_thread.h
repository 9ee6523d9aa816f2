// The second UI thread that owns the relative-position frame: four strip windows that
// outline where the view lies in the virtual area. The main thread drives it with thread
// messages only and never touches its windows.
#pragma once

#include <windows.h>

constexpr UINT WM_BORDER_HIDE = 0x0401;
constexpr UINT WM_BORDER_SHOW = 0x0402;

struct BorderFrameRecord {
    HBRUSH brush; // pattern brush of the checkerboard; made once, deleted at exit
    HWND leftStrip;
    HWND topStrip;
    HWND rightStrip;
    HWND bottomStrip;
    UINT_PTR hideTimer; // the running thread timer that hides the frame; 0 when none
};
extern BorderFrameRecord BorderFrame;
// The instance the hide timer reaches, a window-less thread timer carrying no data of
// its own; null once the program has released the frame at exit.
extern BorderFrameRecord* CurrentBorderFrame;

// The thread's start routine, given &BorderFrame: makes its message queue, then the
// brush, the class and the four hidden strips, then runs the message loop until WM_QUIT.
// Returns 1, at once for a null record.
DWORD WINAPI overlayThreadProc(LPVOID frame);

// Starts the thread on &BorderFrame and returns once its queue exists, so that a message
// posted at once is not lost; sets overlayThread and overlayThreadId (0 when it did not
// start).
void startOverlayThread();
