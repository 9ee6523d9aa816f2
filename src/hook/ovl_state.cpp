// Definitions of the hook library's state; see ovl_state.h. The shared variables need
// initialisers: the section's initial values come from the library file.
#include "hook/ovl_state.h"

#include "hook/ovl.h"

// One copy of a variable for all processes. GCC marks the section shared through the
// attribute; Microsoft's compiler declares the section's attributes once and allocates in it.
#if defined(_MSC_VER)
#pragma section(".share", read, write, shared)
#define OVL_SHARED __declspec(allocate(".share"))
#else
#define OVL_SHARED __attribute__((section(".share"), shared))
#endif

extern "C" {
OVL_SHARED int d_bHookRet = 0;
OVL_SHARED int d_bPreventMaximize = 1;
}

OVL_SHARED HHOOK d_hCbtHook = nullptr;
OVL_SHARED HHOOK d_hIconHook = nullptr;
OVL_SHARED HWND d_hListView = nullptr;
OVL_SHARED HWND d_hMainWnd = nullptr;
OVL_SHARED DWORD d_dwMainProcessId = 0;

// A module handle is an address in the process that loaded the library, and the library
// may sit at another address elsewhere; a shared copy would hand InstallHook whatever the
// last process to attach wrote. The icon-file path is per process so that no other
// process can redirect where the desktop's process writes.
HINSTANCE d_hInstance = nullptr;
wchar_t d_szIconPosPath[kIconPathCapacity] = {};

OwnHooks ownHooks;

bool isMainWindowOf(HWND window, DWORD processId) {
    if (window == nullptr || processId == 0 || !IsWindow(window))
        return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId)
        return false;
    wchar_t name[sizeof kMainWindowClass / sizeof(wchar_t) + 1];
    const int length = GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return length == static_cast<int>(sizeof kMainWindowClass / sizeof(wchar_t)) - 1 &&
           lstrcmpW(name, kMainWindowClass) == 0;
}

HWND findMainWindowOf(DWORD processId) {
    if (processId == 0)
        return nullptr;
    const HWND parents[] = {nullptr, HWND_MESSAGE}; // top-level, then message-only
    for (HWND parent : parents) {
        HWND w = nullptr;
        while ((w = FindWindowExW(parent, w, kMainWindowClass, nullptr)) != nullptr) {
            if (isMainWindowOf(w, processId))
                return w;
        }
    }
    return nullptr;
}
