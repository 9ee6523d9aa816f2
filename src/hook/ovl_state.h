// The hook library's state, private to ovl.dll. The hook records live in the section
// ".share", one copy for every process that has the library loaded: the main program
// writes them through InstallHook and UninstallHook, hook procedures anywhere read them.
// What only means something inside one process (module handle, file path) is per process.
#pragma once

#include <windows.h>

#include "hook/icon_path.h"

// Shared; the two exported flags are declared in ovl.h.
extern HHOOK d_hCbtHook;
extern HHOOK d_hIconHook;
extern HWND d_hListView;
extern HWND d_hMainWnd;
extern DWORD d_dwMainProcessId;

// Per process: set by this process's attach notification, before any hook runs here.
extern HINSTANCE d_hInstance;
extern wchar_t d_szIconPosPath[kIconPathCapacity];

// Per process, and set only in the main program's: the hooks and windows that this very
// process installed. Every process that maps the library can write the shared records;
// these it cannot, so InstallHook and UninstallHook go by them.
struct OwnHooks {
    HHOOK cbtHook = nullptr;
    HHOOK iconHook = nullptr;
    HWND mainWindow = nullptr;
    HWND listView = nullptr;
};
extern OwnHooks ownHooks;

// The main program's window class; the hooks post to nothing else.
inline constexpr wchar_t kMainWindowClass[] = L"ZerdaneOrvalis";

// True when `window` is a window of process `processId` with the main program's class:
// what a value in the shared section must be before anything is posted to it.
bool isMainWindowOf(HWND window, DWORD processId);

// The main window of `processId`, looked up afresh (top-level and message-only windows),
// or null when that process has none (it ended, or never was the main program).
HWND findMainWindowOf(DWORD processId);

// Every write to the shared records is one interlocked exchange. A handle is 32 bits on
// x86, where the pointer exchange is the 32-bit one; on x64 handles are 64 bits wide and
// need the pointer-sized exchange. Returns the previous value.
template <typename Handle> Handle exchangeShared(Handle& slot, Handle value) {
    return static_cast<Handle>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), value));
}

// Replaces `expected` by `value` only while the slot still holds `expected`; true when it
// did. A hook procedure that acts on what it read must not undo what a newer main program
// wrote meanwhile.
template <typename Handle> bool replaceShared(Handle& slot, Handle expected, Handle value) {
    return InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), value,
                                             expected) == expected;
}

inline bool replaceShared(DWORD& slot, DWORD expected, DWORD value) {
    return static_cast<DWORD>(InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&slot),
                                                         static_cast<LONG>(value),
                                                         static_cast<LONG>(expected))) == expected;
}

inline void storeShared(DWORD& slot, DWORD value) {
    // DWORD and LONG are the unsigned and signed 32-bit long of Windows.
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&slot), static_cast<LONG>(value));
}
