// How fast an edge push reaches the windows of another process, against the same windows
// moved by one deferred batch issued here directly, for 10, 50 and 200 windows. Prints
// figures; never fails.
#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

std::vector<HWND> peerWindows(const WindowPeer& peer, int n) {
    std::vector<HWND> out;
    for (int i = 0; i < n; ++i)
        out.push_back(peer.find(std::to_wstring(i).c_str()));
    return out;
}

int leftOf(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r.left;
}

// Each peer window writes the performance counter into its slot of this shared log when
// it first moves, and the last one sets the event (windowpeer.cpp). The benchmark sleeps
// on the event meanwhile: a waiter that polled the window server, or even woke every
// millisecond, would slow down the batch it measures when the program issues it.
struct MoveLog {
    HANDLE mapping = nullptr;
    HANDLE done = nullptr;
    volatile LONGLONG* log = nullptr; // [0] windows moved, [1 + i] when window i moved
    size_t count = 0;

    explicit MoveLog(size_t n) : count(n) {
        const wchar_t* name = L"OrvBenchMoveLog";
        const auto bytes = static_cast<DWORD>(sizeof(LONGLONG) * (n + 1));
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes, name);
        if (mapping)
            log = static_cast<volatile LONGLONG*>(
                MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, bytes));
        done = CreateEventW(nullptr, FALSE, FALSE, L"OrvBenchMoveLog.done");
        SetEnvironmentVariableW(L"ORV_PEER_MOVE_LOG", ready() ? name : nullptr);
    }
    ~MoveLog() {
        SetEnvironmentVariableW(L"ORV_PEER_MOVE_LOG", nullptr);
        if (log)
            UnmapViewOfFile(const_cast<LONGLONG*>(log));
        if (mapping)
            CloseHandle(mapping);
        if (done)
            CloseHandle(done);
    }
    bool ready() const { return log && done; }
    void clear() {
        for (size_t i = 0; i <= count; ++i)
            log[i] = 0;
        ResetEvent(done);
    }
    LONGLONG movedAt(size_t i) const { return log[1 + i]; }
};

// Waits until every window has reported a move, then checks that each stands where it is
// expected; returns the time from t0 to the last move, or -1.
double waitAllAt(const MoveLog& log, const std::vector<HWND>& ws, const std::vector<int>& expect,
                 double t0) {
    if (WaitForSingleObject(log.done, 5000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "  not every window moved\n");
        return -1;
    }
    LONGLONG last = 0;
    for (size_t i = 0; i < log.count; ++i)
        last = std::max(last, log.movedAt(i));
    pumpFor(20);
    for (size_t i = 0; i < ws.size(); ++i)
        if (leftOf(ws[i]) != expect[i]) {
            std::fprintf(stderr, "  window %zu at %d, expected %d\n", i, leftOf(ws[i]), expect[i]);
            return -1;
        }
    return counterMs(last) - t0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Figures {
    int windows;
    double push;
    double direct;
};

Figures measure(int n) {
    setCursor(0, 700);
    std::vector<std::wstring> windowArgs;
    for (int i = 0; i < n; ++i)
        windowArgs.push_back(std::to_wstring(i) + L"," + std::to_wstring(100 + (i % 20) * 30) +
                             L"," + std::to_wstring(60 + (i / 20) * 25) + L",160,90");
    MoveLog log(static_cast<size_t>(n));
    if (!log.ready())
        return {n, -1, -1};
    WindowPeer peer;
    if (!peer.start(windowArgs, 30000))
        return {n, -1, -1};
    std::vector<HWND> ws = peerWindows(peer, n);
    for (int i = 0; i < n; ++i)
        if (!ws[i] || !IsWindow(ws[i]))
            std::fprintf(stderr, "  window %d missing\n", i);

    SettingsRecord s;
    s.columns = 5;
    s.rows = 1;
    s.startPosition = u'9'; // far right: room for many pushes to the left
    OrvalisRun run;
    run.prepare(settingsBytes(s));
    if (!run.start() || !run.waitInputReady())
        return {n, -1, -1};

    const int rounds = 25;
    std::vector<double> push, direct;
    for (int r = 0; r < rounds; ++r) {
        std::vector<int> expect;
        for (HWND w : ws)
            expect.push_back(leftOf(w) + 3);
        log.clear();
        const double t0 = nowMs();
        moveRelative(-3, 0);
        push.push_back(waitAllAt(log, ws, expect, t0));
        run.barrier();
        pumpFor(100);

        expect.clear();
        for (HWND w : ws)
            expect.push_back(leftOf(w) - 3);
        log.clear();
        const double t1 = nowMs();
        HDWP batch = BeginDeferWindowPos(static_cast<int>(ws.size()));
        for (size_t i = 0; i < ws.size() && batch; ++i) {
            RECT rc;
            GetWindowRect(ws[i], &rc);
            batch = DeferWindowPos(batch, ws[i], nullptr, rc.left - 3, rc.top, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
        if (!batch || !EndDeferWindowPos(batch))
            std::fprintf(stderr, "  batch failed: %lu\n", GetLastError());
        direct.push_back(waitAllAt(log, ws, expect, t1));
        run.barrier();
        pumpFor(100);
    }
    run.stop();
    return {n, median(push), median(direct)};
}

} // namespace

int main() {
    // A fresh session's desktop comes up with the first window and then centres the
    // pointer: let that happen before anything is measured.
    HWND warm = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
    ShowWindow(warm, SW_SHOWNOACTIVATE);
    pumpFor(1500);
    DestroyWindow(warm);
    std::printf("%-8s %14s %14s %8s\n", "windows", "push->moved ms", "direct batch ms", "ratio");
    for (int n : {10, 50, 200}) {
        const Figures f = measure(n);
        std::printf("%-8d %14.2f %14.2f %8.2f\n", f.windows, f.push, f.direct,
                    f.direct > 0 ? f.push / f.direct : 0.0);
        std::fflush(stdout);
    }
    return 0;
}
