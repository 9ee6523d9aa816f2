// Storage of the process's run-time handles.
#include "core/app.h"

#include "mainwnd/hand_off.h"

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

namespace {

HHOOK boxHook = nullptr;
int boxesShown = 0; // a box's own loop may show another

// One of the program's boxes: a dialog of the main window titled with the caption.
bool isProgramBox(HWND w) {
    wchar_t cls[8], title[100];
    return GetAncestor(w, GA_ROOT) == w && GetWindow(w, GW_OWNER) == MainWindow &&
           GetClassNameW(w, cls, 8) == 6 && lstrcmpW(cls, L"#32770") == 0 &&
           GetWindowTextW(w, title, 100) > 0 && lstrcmpW(title, caption) == 0;
}

// Any button ends a box, and its command reaches the box before the box ends: the
// activation is handed on then, as the box's owner is hidden and the system would
// otherwise pick a window of its own.
LRESULT CALLBACK beforeBoxCommand(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (m->message == WM_COMMAND && isProgramBox(m->hwnd))
            handOffActivation(m->hwnd, CloseCause::Asked);
    }
    return CallNextHookEx(boxHook, code, wParam, lParam);
}

} // namespace

int showMessage(const wchar_t* text, UINT type) {
    if (boxesShown++ == 0)
        boxHook = SetWindowsHookExW(WH_CALLWNDPROC, beforeBoxCommand, nullptr,
                                    GetCurrentThreadId()); // failed: the system picks
    const int answer = MessageBoxW(MainWindow, text, caption, type);
    if (--boxesShown == 0 && boxHook) {
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
    return answer;
}

void postToOverlayThread(UINT message) {
    if (overlayThreadId != 0) PostThreadMessageW(overlayThreadId, message, 0, 0);
}
