// The window peer program seen from a test.
#include "peer_windows.h"

#include "core/settings.h"

namespace e2e {

namespace {
struct CountCtx {
    DWORD pid;
    size_t count;
};
BOOL CALLBACK countPeerWindows(HWND w, LPARAM lp) {
    auto* ctx = reinterpret_cast<CountCtx*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[32];
    if (pid == ctx->pid && GetClassNameW(w, cls, 32) && lstrcmpW(cls, L"OrvPeerWindow") == 0 &&
        IsWindowVisible(w))
        ++ctx->count;
    return TRUE;
}
} // namespace

bool WindowPeer::start(const std::vector<std::wstring>& windowArgs, DWORD timeoutMs) {
    std::wstring args;
    for (const auto& s : windowArgs)
        args += L"\"" + s + L"\" ";
    expected = windowArgs.size();
    proc = startProcess(binDir() + L"windowpeer.exe", args);
    if (!proc.process)
        return false;
    return waitUntil(
        [&] {
            CountCtx ctx{proc.pid, 0};
            EnumWindows(countPeerWindows, reinterpret_cast<LPARAM>(&ctx));
            return ctx.count == expected;
        },
        timeoutMs);
}

HWND WindowPeer::find(const wchar_t* title) const {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"OrvPeerWindow", title))) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == proc.pid)
            return w;
    }
    return nullptr;
}

RECT WindowPeer::rect(const wchar_t* title) const {
    RECT r{-99999, -99999, -99999, -99999};
    if (HWND w = find(title))
        GetWindowRect(w, &r);
    return r;
}

void WindowPeer::stop() {
    if (!proc.running()) {
        proc.close();
        return;
    }
    if (HWND w = findWindowOfProcess(proc.pid, L"OrvPeerWindow"))
        PostMessageW(w, WM_CLOSE, 0, 0);
    if (proc.wait(5000) == STILL_ACTIVE)
        proc.kill();
    proc.close();
}

std::vector<unsigned char> settingsBytes(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

} // namespace e2e
