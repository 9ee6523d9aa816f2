// The test side of trackpeer.exe: starts it, waits for its command window and the
// taskbar its tray icon keeps up, and sends it commands synchronously (with deadlines).
// Header only; included by the tracking and arrangement tests.
#pragma once

#include "harness.h"
#include "peers/trackpeer_commands.h"

#include <cwchar>

// The work area as the program sees it: the screen less the visible taskbar. Wine keeps
// the work area a process read when it started, so this process cannot simply ask.
inline RECT workArea() {
    RECT wa{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT b{};
    if (!bar || !IsWindowVisible(bar) || !GetWindowRect(bar, &b))
        return wa;
    const bool wide = b.right - b.left >= b.bottom - b.top;
    if (wide && b.top > 0)
        wa.bottom = b.top;
    else if (wide)
        wa.top = b.bottom;
    else if (b.left > 0)
        wa.right = b.left;
    else
        wa.left = b.right;
    return wa;
}

struct TrackPeer {
    e2e::Process process;
    HWND commands = nullptr;

    // Starts the peer; true once its command window answers and the taskbar is shown
    // with the work area above it.
    bool start() {
        process = e2e::startProcess(e2e::binDir() + L"trackpeer.exe");
        if (!process.process)
            return false;
        return e2e::waitUntil(
            [&] {
                commands = e2e::findWindowOfProcess(process.pid, kTrackPeerClass);
                const RECT wa = workArea();
                return commands &&
                       (wa.bottom - wa.top) * (wa.right - wa.left) <
                           GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN);
            },
            10000);
    }

    LRESULT send(UINT msg, WPARAM wParam, LPARAM lParam) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(commands, msg, wParam, lParam, SMTO_BLOCK, 5000, &result);
        return static_cast<LRESULT>(result);
    }

    // Windows come up without activation unless asked: windows activated in quick
    // succession make Wine's X11 focus handling toss the activation between them for a
    // while, which would reorder them and report activations no test asked for.
    HWND create(int x, int y, int w, int h, const wchar_t* title, int kind = kTrackPlain,
                HWND owner = nullptr, bool quiet = true) const {
        TrackWindowSpec argument{x,
                             y,
                             w,
                             h,
                             kind,
                             quiet ? 1 : 0,
                             static_cast<long long>(reinterpret_cast<INT_PTR>(owner)),
                             {}};
        wcsncpy(argument.title, title, 63);
        COPYDATASTRUCT cd{kTrackCreate, sizeof(argument), &argument};
        return reinterpret_cast<HWND>(send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd)));
    }

    static WPARAM handle(HWND w) { return reinterpret_cast<WPARAM>(w); }
    bool activate(HWND w) const { return send(kTrackActivate, handle(w), 0) != 0; }
    void show(HWND w, int command) const { send(kTrackShow, handle(w), command); }
    void move(HWND w, int x, int y) const { send(kTrackMove, handle(w), packTrackPoint(x, y)); }
    void destroy(HWND w) const { send(kTrackDestroy, handle(w), 0); }
    int queries(HWND w) const { return static_cast<int>(send(kTrackQueryCount, handle(w), 0)); }
    POINT lastMaxSize(HWND w) const {
        return unpackTrackPoint(send(kTrackQueryMaxSize, handle(w), 0));
    }
    POINT lastMaxPosition(HWND w) const {
        return unpackTrackPoint(send(kTrackQueryMaxPos, handle(w), 0));
    }
    // The program answers its first messages from inside its start-up, before its hook is
    // in place: wait until the hook has reached this peer.
    bool waitForHook() const {
        return e2e::waitUntil([&] { return send(kTrackHookLive, 0, 0) != 0; }, 10000);
    }
    int metric(int index) const { return static_cast<int>(send(kTrackMetric, index, 0)); }
    bool lastRestZero(HWND w) const { return send(kTrackQueryRestZero, handle(w), 0) != 0; }

    ~TrackPeer() {
        if (commands)
            PostMessageW(commands, WM_CLOSE, 0, 0);
        if (process.wait(5000) == STILL_ACTIVE)
            process.kill();
        process.close();
    }
};

inline RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// Waits until the window's top-left corner reads (x, y).
inline bool waitForCorner(HWND w, int x, int y, DWORD timeoutMs = 3000) {
    return e2e::waitUntil(
        [&] {
            const RECT r = rectOf(w);
            return r.left == x && r.top == y;
        },
        timeoutMs);
}
