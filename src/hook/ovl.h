// The hook library's exported interface, included by the main program (which imports
// these four names from ovl.dll) and by the library itself. The main program is the only
// caller of InstallHook and UninstallHook.
#pragma once

#include <windows.h>

#include "hook/hook_messages.h"

#ifdef OVL_BUILDING
#define OVL_API __declspec(dllexport)
#else
#define OVL_API __declspec(dllimport)
#endif

extern "C" {

// Sets the global CBT hook reporting to mainWindow and, when listView is given, the icon
// hook on the list view's thread. TRUE when installed (or already installed: then the
// icon hook moves to a list view other than the one it serves, as after a shell restart).
OVL_API BOOL InstallHook(HWND mainWindow, HWND listView);

// Removes both hooks. TRUE when nothing was installed or the CBT hook came off.
OVL_API BOOL UninstallHook(void);

// Shared by every process that has the library loaded. Non-zero: the icon requests run.
OVL_API extern int d_bHookRet;
// Shared likewise. Non-zero: maximizing other programs' windows is refused and reported.
OVL_API extern int d_bPreventMaximize;

} // extern "C"

// The two flags are read by hook procedures in other processes at any moment, so every
// write is one interlocked exchange. int and LONG are both 32 bits on Windows.
inline void storeHookFlag(int& flag, int value) {
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&flag), static_cast<LONG>(value));
}
