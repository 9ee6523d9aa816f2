// shiftpeer.exe seen from a Win32 test: a program of two UI threads whose windows the
// test makes on either thread, and whose threads it can stop pumping messages. Also the
// test's own wait that pumps this thread's messages. Header only.
#pragma once

#include "../e2e/peers/shiftpeer_commands.h"

#include <windows.h>

#include <string>

inline std::wstring binFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

inline void pumpOwnMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pumps this thread's messages until cond() holds or the deadline passes.
template <typename Cond> bool waitFor(Cond cond, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!cond()) {
        if (GetTickCount64() >= deadline)
            return cond();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpOwnMessages();
    }
    return true;
}

// Started fresh for each test and ended with it.
struct Peer {
    PROCESS_INFORMATION pi{};
    HWND command[2] = {};
    HANDLE blocked = nullptr;
    HANDLE release = nullptr;

    bool start() {
        const std::wstring exe = binFolder() + L"shiftpeer.exe";
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi)) {
            pi = {}; // what a failed start leaves there is no handle of ours to close
            return false;
        }
        const bool found = waitFor(
            [&] {
                command[0] = findCommand(L"main");
                command[1] = findCommand(L"second");
                return command[0] && command[1];
            },
            15000);
        if (!found)
            return false;
        wchar_t name[64];
        shiftPeerEventName(name, L"Blocked", pi.dwProcessId);
        blocked = OpenEventW(SYNCHRONIZE, FALSE, name);
        shiftPeerEventName(name, L"Release", pi.dwProcessId);
        release = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
        return blocked && release;
    }

    HWND findCommand(const wchar_t* title) const {
        HWND w = nullptr;
        while ((w = FindWindowExW(HWND_MESSAGE, w, kShiftPeerClass, title))) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == pi.dwProcessId)
                return w;
        }
        return nullptr;
    }

    // "x,y,w,h,flags,class,title" on thread 0 ("main") or 1 ("second").
    HWND create(const std::wstring& argument, int thread = 0) const {
        COPYDATASTRUCT data{};
        data.cbData = static_cast<DWORD>(argument.size() * sizeof(wchar_t));
        data.lpData = const_cast<wchar_t*>(argument.c_str());
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(command[thread], WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_BLOCK, 5000, &result))
            return nullptr;
        return reinterpret_cast<HWND>(result);
    }

    // The thread stops pumping; returns once it is stuck.
    bool block(int thread) const {
        PostMessageW(command[thread], kShiftPeerBlock, 0, 0);
        return WaitForSingleObject(blocked, 5000) == WAIT_OBJECT_0;
    }
    void unblock() const { SetEvent(release); }

    // A round trip to one thread, or both. A shift moves the windows of a program slow to answer
    // its probe (as any is on a loaded machine) asynchronously; those moves reach the
    // thread before this, so once it returns they are done.
    bool reached(int thread) const {
        DWORD_PTR r = 0;
        return SendMessageTimeoutW(command[thread], WM_NULL, 0, 0, SMTO_BLOCK, 5000, &r) != 0;
    }
    bool barrier() const { return reached(0) && reached(1); }

    ~Peer() {
        if (release)
            SetEvent(release);
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 10000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        if (blocked)
            CloseHandle(blocked);
        if (release)
            CloseHandle(release);
    }
};
