// How fast an edge push reaches the windows of another process, against the same windows
// moved by one deferred batch issued here directly, for 10, 50 and 200 windows; and how
// much processor time the program takes while idle. Prints figures; never fails.
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
// it moves (windowpeer.cpp). Waiting on the log costs the window server nothing, so the
// wait does not slow down the batch it measures, whoever issues it.
struct MoveLog {
    HANDLE mapping = nullptr;
    volatile LONGLONG* slots = nullptr;
    size_t count = 0;

    explicit MoveLog(size_t n) : count(n) {
        const wchar_t* name = L"OrvBenchMoveLog";
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     static_cast<DWORD>(sizeof(LONGLONG) * n), name);
        if (mapping)
            slots = static_cast<volatile LONGLONG*>(
                MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONGLONG) * n));
        SetEnvironmentVariableW(L"ORV_PEER_MOVE_LOG", slots ? name : nullptr);
    }
    ~MoveLog() {
        SetEnvironmentVariableW(L"ORV_PEER_MOVE_LOG", nullptr);
        if (slots) UnmapViewOfFile(const_cast<LONGLONG*>(slots));
        if (mapping) CloseHandle(mapping);
    }
    void clear() {
        for (size_t i = 0; i < count; ++i) slots[i] = 0;
    }
};

double counterMs(LONGLONG ticks) {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(freq.QuadPart);
}

// Waits until every window has reported a move, then checks that each stands where it is
// expected; returns the time from t0 to the last move, or -1.
double waitAllAt(const MoveLog& log, const std::vector<HWND>& ws, const std::vector<int>& expect,
                 double t0) {
    const double deadline = t0 + 5000;
    LONGLONG last = 0;
    for (;;) {
        bool all = true;
        last = 0;
        for (size_t i = 0; i < log.count && all; ++i) {
            all = log.slots[i] != 0;
            last = std::max<LONGLONG>(last, LONGLONG{log.slots[i]});
        }
        if (all) break;
        if (nowMs() > deadline) {
            std::fprintf(stderr, "  not every window moved\n");
            return -1;
        }
        Sleep(1);
    }
    pumpFor(20); // a late second move would still change a slot
    for (size_t i = 0; i < ws.size(); ++i)
        if (leftOf(ws[i]) != expect[i]) {
            std::fprintf(stderr, "  window %zu at %d, expected %d\n", i, leftOf(ws[i]), expect[i]);
            return -1;
        }
    for (size_t i = 0; i < log.count; ++i)
        last = std::max<LONGLONG>(last, LONGLONG{log.slots[i]});
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
    if (!log.slots)
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
        std::fprintf(stderr, "t0 %.3f\n", t0);
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

double processCpuMs(HANDLE process) {
    FILETIME c, e, k, u;
    if (!GetProcessTimes(process, &c, &e, &k, &u))
        return 0;
    auto v = [](FILETIME f) {
        return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    return static_cast<double>(v(k) + v(u)) / 10000.0;
}

// The bare 33 ms wait-and-drain loop, alone, over the same time.
double idleLoopCpuPercent(int seconds) {
    Process loop = startProcess(binDir() + L"idle_loop.exe");
    if (!loop.process)
        return -1;
    pumpFor(1000);
    const double c0 = processCpuMs(loop.process), t0 = nowMs();
    pumpFor(static_cast<DWORD>(seconds) * 1000);
    const double c1 = processCpuMs(loop.process), t1 = nowMs();
    if (HWND w = findWindowOfProcess(loop.pid, L"Static"))
        PostMessageW(w, WM_QUIT, 0, 0);
    PostThreadMessageW(GetThreadId(loop.process), WM_QUIT, 0, 0);
    loop.kill();
    loop.close();
    return 100.0 * (c1 - c0) / (t1 - t0);
}

double idleCpuPercent(int seconds) {
    OrvalisRun run;
    SettingsRecord s;
    run.prepare(settingsBytes(s));
    if (!run.start())
        return -1;
    setCursor(500, 400);
    pumpFor(1000);
    auto cpu = [&] { return processCpuMs(run.proc.process); };
    const double c0 = cpu(), t0 = nowMs();
    pumpFor(static_cast<DWORD>(seconds) * 1000);
    const double c1 = cpu(), t1 = nowMs();
    run.stop();
    return 100.0 * (c1 - c0) / (t1 - t0);
}

} // namespace

int main(int argc, char** argv) {
    int idleSeconds = 30;
    if (argc > 1)
        idleSeconds = atoi(argv[1]);
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
    const double idle = idleCpuPercent(idleSeconds);
    std::printf("idle CPU over %d s: %.3f %% of one core\n", idleSeconds, idle);
    std::printf("the bare 33 ms loop alone over %d s: %.3f %% of one core\n", idleSeconds,
                idleLoopCpuPercent(idleSeconds));
    return 0;
}
