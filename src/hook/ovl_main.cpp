// The library's entry point and its two exported functions. InstallHook and UninstallHook
// are called by the main program's main thread; UninstallHook also by a hook procedure in
// any process that finds the main window gone.
#include "hook/ovl.h"

#include "hook/hook_procs.h"
#include "hook/ovl_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        // Per-process values, written under the loader lock before any hook of this
        // process can run: plain stores.
        d_hInstance = instance;
        wchar_t name[kIconPathCapacity];
        const DWORD length = GetModuleFileNameW(instance, name, kIconPathCapacity);
        makeIconPosPath(name, length, d_szIconPosPath);
    }
    return TRUE;
}

extern "C" BOOL InstallHook(HWND mainWindow, HWND listView) {
    if (d_hCbtHook != nullptr) {
        if (IsWindow(d_hMainWnd)) {
            return TRUE;
        }
        // Left behind by a main program that ended without uninstalling (killed, or
        // crashed) while some process still maps this library: kept, it would point the
        // reports at a window that is gone, and its hooks may be gone with their program.
        UninstallHook();
    }
    if (mainWindow == nullptr) {
        return FALSE;
    }
    // The target is in place before the hook exists: the first event may come at once.
    DWORD processId = 0;
    GetWindowThreadProcessId(mainWindow, &processId);
    exchangeShared(d_hMainWnd, mainWindow);
    storeShared(d_dwMainProcessId, processId);

    exchangeShared(d_hCbtHook, SetWindowsHookExW(WH_CBT, CbtHookProc, d_hInstance, 0));
    exchangeShared(d_hListView, listView);
    if (d_hCbtHook == nullptr) {
        exchangeShared(d_hMainWnd, HWND{});
        storeShared(d_dwMainProcessId, 0);
        exchangeShared(d_hListView, HWND{});
        exchangeShared(d_hIconHook, HHOOK{});
        return FALSE;
    }

    if (listView != nullptr) {
        const DWORD threadId = GetWindowThreadProcessId(listView, nullptr);
        if (threadId != 0) {
            // A failure leaves the icon requests without effect; the main program goes on.
            exchangeShared(d_hIconHook, SetWindowsHookExW(WH_CALLWNDPROCRET, IconHookProc,
                                                          d_hInstance, threadId));
        }
    }
    return TRUE;
}

extern "C" BOOL UninstallHook(void) {
    // Taking the handle and clearing it in one exchange: when the main program and hook
    // procedures in several processes all find reasons to uninstall at once, only one of
    // them unhooks.
    const HHOOK cbtHook = exchangeShared(d_hCbtHook, HHOOK{});
    if (cbtHook == nullptr) {
        return TRUE;
    }
    const BOOL removed = UnhookWindowsHookEx(cbtHook);
    const HHOOK iconHook = exchangeShared(d_hIconHook, HHOOK{});
    if (iconHook != nullptr) {
        UnhookWindowsHookEx(iconHook);
    }
    exchangeShared(d_hMainWnd, HWND{});
    storeShared(d_dwMainProcessId, 0);
    return removed;
}
