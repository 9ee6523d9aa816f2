// The library's entry point and its two exported functions, called by the main program's
// main thread. They go by this process's own record of what it installed, never by the
// shared section alone, which every process that maps the library can write.
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

namespace {

// Hooks the thread of `listView` for the icon requests; null when there is none or the
// hook cannot be set (the icon requests then have no effect).
HHOOK hookIconThread(HWND listView) {
    const DWORD threadId = listView != nullptr ? GetWindowThreadProcessId(listView, nullptr) : 0;
    return threadId != 0 ? SetWindowsHookExW(WH_CALLWNDPROCRET, IconHookProc, d_hInstance, threadId)
                         : nullptr;
}

// A restarted shell brings a new desktop list view on a new thread: the icon hook moves
// there, and the icon requests go to the new list view.
void followListView(HWND listView) {
    const HHOOK iconHook = hookIconThread(listView);
    if (ownHooks.iconHook != nullptr)
        UnhookWindowsHookEx(ownHooks.iconHook);
    exchangeShared(d_hListView, listView);
    exchangeShared(d_hIconHook, iconHook);
    ownHooks.iconHook = iconHook;
    ownHooks.listView = listView;
}

// The shared record describes this process's own hooks and main window exactly.
bool recordIsOurs() {
    return ownHooks.cbtHook != nullptr && d_hCbtHook == ownHooks.cbtHook &&
           d_hIconHook == ownHooks.iconHook && d_hMainWnd == ownHooks.mainWindow &&
           d_hListView == ownHooks.listView && d_dwMainProcessId == GetCurrentProcessId() &&
           IsWindow(ownHooks.mainWindow);
}

// Takes this process's hooks off and clears the shared values that still name them.
BOOL removeOwnHooks() {
    const BOOL removed = UnhookWindowsHookEx(ownHooks.cbtHook);
    if (ownHooks.iconHook != nullptr)
        UnhookWindowsHookEx(ownHooks.iconHook);
    replaceShared(d_hCbtHook, ownHooks.cbtHook, HHOOK{});
    replaceShared(d_hIconHook, ownHooks.iconHook, HHOOK{});
    replaceShared(d_hMainWnd, ownHooks.mainWindow, HWND{});
    replaceShared(d_dwMainProcessId, GetCurrentProcessId(), DWORD{0});
    ownHooks = OwnHooks{};
    return removed;
}

} // namespace

extern "C" BOOL InstallHook(HWND mainWindow, HWND listView) {
    // No list view given (a shell that is just coming back) keeps the one served so far.
    if (listView == nullptr) {
        listView = ownHooks.listView;
    }
    // Already installed by this very process, and the shared record still says so. The
    // record alone proves nothing: any process can write a non-null hook there.
    if (recordIsOurs()) {
        if (listView != ownHooks.listView) {
            followListView(listView);
        }
        return TRUE;
    }
    // Installed here before but the record was changed, or the window it served is gone:
    // the hooks are set afresh, for the first main window if it still stands.
    if (ownHooks.cbtHook != nullptr) {
        if (IsWindow(ownHooks.mainWindow)) {
            mainWindow = ownHooks.mainWindow;
        }
        removeOwnHooks();
    }
    if (mainWindow == nullptr) {
        return FALSE;
    }
    // The target is in place before the hook exists: the first event may come at once.
    // Whatever an earlier program (or any other process) left in the record is replaced;
    // that program's hooks, if it is gone, went with it.
    DWORD processId = 0;
    GetWindowThreadProcessId(mainWindow, &processId);
    exchangeShared(d_hIconHook, HHOOK{});
    exchangeShared(d_hMainWnd, mainWindow);
    storeShared(d_dwMainProcessId, processId);
    exchangeShared(d_hListView, listView);

    const HHOOK cbtHook = SetWindowsHookExW(WH_CBT, CbtHookProc, d_hInstance, 0);
    if (cbtHook == nullptr) {
        exchangeShared(d_hCbtHook, HHOOK{});
        exchangeShared(d_hMainWnd, HWND{});
        storeShared(d_dwMainProcessId, 0);
        exchangeShared(d_hListView, HWND{});
        return FALSE;
    }
    const HHOOK iconHook = hookIconThread(listView);
    ownHooks = {cbtHook, iconHook, mainWindow, listView};
    exchangeShared(d_hIconHook, iconHook);
    exchangeShared(d_hCbtHook, cbtHook);
    return TRUE;
}

extern "C" BOOL UninstallHook(void) {
    // Only the process that installed the hooks removes them: a call from anywhere else
    // (or after a failed install) finds nothing of its own and changes nothing.
    if (ownHooks.cbtHook == nullptr) {
        return TRUE;
    }
    return removeOwnHooks();
}
