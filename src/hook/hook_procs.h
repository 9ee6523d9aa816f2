// The two hook procedures of ovl.dll, set by InstallHook (ovl_main.cpp). They run on
// foreign threads in foreign processes: they read the shared state, post, and pass on.
#pragma once

#include <windows.h>

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK IconHookProc(int code, WPARAM wParam, LPARAM lParam);
