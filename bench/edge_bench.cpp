// How fast an edge push reaches the windows of another process, against the same windows
// moved by one deferred batch issued here directly, for 10, 50 and 200 windows; and how
// much processor time the program takes while idle. Prints figures; never fails.
#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"

#include <algorithm>
#include <cstdlib>
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

std::string readSmallFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return {};
    char buf[512];
    DWORD got = 0;
    const BOOL ok = ReadFile(f, buf, sizeof buf - 1, &got, nullptr);
    CloseHandle(f);
    return ok ? std::string(buf, got) : std::string();
}

// The Linux process id of the process this benchmark started: the one live process whose
// command line holds `marker`, a text given to that process alone (its own folder, or a
// token made for it). The Windows process id is not seen from Linux, and a name would also
// match any other program of that name. Empty when there is none or more than one.
std::wstring unixPidOf(const std::wstring& marker) {
    char wanted[MAX_PATH * 3];
    const int n = WideCharToMultiByte(CP_UTF8, 0, marker.c_str(), -1, wanted, sizeof wanted,
                                      nullptr, nullptr);
    if (n <= 1)
        return {};
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring found;
    int matches = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] < L'0' ||
            fd.cFileName[0] > L'9')
            continue;
        // The arguments, each ended by a zero; a process that has ended has none.
        std::string line = readSmallFile(std::wstring(L"Z:\\proc\\") + fd.cFileName + L"\\cmdline");
        for (char& c : line)
            c = c == '\0' ? ' ' : c;
        if (line.find(wanted) == std::string::npos)
            continue;
        found = fd.cFileName;
        ++matches;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    if (matches != 1)
        std::fprintf(stderr, "  %d live processes started as %ls\n", matches, marker.c_str());
    return matches == 1 ? found : std::wstring();
}

// The kernel's own count of a process's time on the processor, in ms: the first field of
// each thread's schedstat (nanoseconds). GetProcessTimes cannot be used here: this system
// gives no times for another process, or counts timer ticks, which a program that wakes
// every 33 ms meets more often than its share of time.
double kernelCpuMs(const std::wstring& pid) {
    const std::wstring dir = L"Z:\\proc\\" + pid + L"\\task\\";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return -1;
    double ns = 0;
    do {
        if (fd.cFileName[0] >= L'0' && fd.cFileName[0] <= L'9')
            ns += std::strtod(readSmallFile(dir + fd.cFileName + L"\\schedstat").c_str(), nullptr);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return ns / 1e6;
}

// % of one core over `seconds`, or -1 when the process cannot be found.
double idleOver(const std::wstring& marker, int seconds) {
    const std::wstring pid = unixPidOf(marker);
    if (pid.empty())
        return -1;
    const double k0 = kernelCpuMs(pid), t0 = nowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000); // nothing of ours wakes meanwhile
    const double k1 = kernelCpuMs(pid), t1 = nowMs();
    return k0 < 0 || k1 < 0 ? -1 : 100.0 * (k1 - k0) / (t1 - t0);
}

// The bare loop of idle_loop.exe, or one of its parts alone.
double idleLoop(const wchar_t* mode, int seconds) {
    // A token on the command line that only this start carries; the loop ignores it.
    static int starts = 0;
    const std::wstring token =
        L"run-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++starts);
    Process loop = startProcess(binDir() + L"idle_loop.exe", std::wstring(mode) + L" " + token);
    if (!loop.process)
        return -1;
    Sleep(1500);
    const double f = idleOver(token, seconds);
    loop.kill();
    loop.close();
    return f;
}

double idleProgram(int seconds) {
    OrvalisRun run;
    SettingsRecord s;
    run.prepare(settingsBytes(s));
    if (!run.start())
        return -1;
    setCursor(500, 400);
    Sleep(1000);
    const double f = idleOver(run.exePath(), seconds); // a folder of this run's own
    run.stop();
    return f;
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
    const bool idleOnly = argc > 2 && std::string(argv[2]) == "idle";
    if (!idleOnly)
        std::printf("%-8s %14s %14s %8s\n", "windows", "push->moved ms", "direct batch ms",
                    "ratio");
    for (int n : {10, 50, 200}) {
        if (idleOnly)
            break;
        const Figures f = measure(n);
        std::printf("%-8d %14.2f %14.2f %8.2f\n", f.windows, f.push, f.direct,
                    f.direct > 0 ? f.push / f.direct : 0.0);
        std::fflush(stdout);
    }
    std::printf("idle over %d s, %% of one core (the kernel's count):\n", idleSeconds);
    auto line = [](const char* what, double f) {
        std::printf("  %-34s %6.3f\n", what, f);
        std::fflush(stdout);
    };
    line("the program", idleProgram(idleSeconds));
    line("a bare 33 ms wait-and-drain loop", idleLoop(L"", idleSeconds));
    line("its 33 ms wait alone", idleLoop(L"wait", idleSeconds));
    line("Sleep(33) alone", idleLoop(L"sleep", idleSeconds));
    return 0;
}
