// Storage of the process's run-time handles.
#include "core/app.h"

HINSTANCE appInstance;
wchar_t caption[100];
wchar_t className[100];
HANDLE instanceMutex;
DWORD ownProcessId;
HWND MainWindow;
HWND ActiveDesktopWindow;
HANDLE pointerEvent;
HANDLE keyboardEvent;
HANDLE overlayThread;
DWORD overlayThreadId;
HMODULE user32Module;
PrintWindowProc printWindowEntry;

void resetAppState() {
    appInstance = nullptr;
    caption[0] = className[0] = 0;
    instanceMutex = nullptr;
    ownProcessId = 0;
    MainWindow = nullptr;
    ActiveDesktopWindow = nullptr;
    pointerEvent = keyboardEvent = nullptr;
    overlayThread = nullptr;
    overlayThreadId = 0;
    user32Module = nullptr;
    printWindowEntry = nullptr;
}

int showMessage(const wchar_t* text, UINT type) {
    return MessageBoxW(MainWindow, text, caption, type);
}

void postToOverlayThread(UINT message) {
    if (overlayThreadId != 0) PostThreadMessageW(overlayThreadId, message, 0, 0);
}
