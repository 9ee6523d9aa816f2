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

// Every write to the shared records is one interlocked exchange. A handle is 32 bits on
// x86, where the pointer exchange is the 32-bit one; on x64 handles are 64 bits wide and
// need the pointer-sized exchange. Returns the previous value.
template <typename Handle> Handle exchangeShared(Handle& slot, Handle value) {
    return static_cast<Handle>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&slot), value));
}

inline void storeShared(DWORD& slot, DWORD value) {
    // DWORD and LONG are the unsigned and signed 32-bit long of Windows.
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&slot), static_cast<LONG>(value));
}
