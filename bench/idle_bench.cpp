// What the program costs while nothing happens, beside two references run at the same
// time: a bare 33 ms wait-and-drain loop and a thread that only waits forever. For each,
// the processor time and how often each thread ran, as the kernel counts them
// (/proc/<pid>/task/*/schedstat: time on the processor in ns, time waiting to run, times
// run). Further arguments are commands posted to the program first (104 the settings
// dialog, 130 the exclusion window, 106 the cross cursor...), to see what a window of its
// own costs while it stays open. Prints figures; never fails.
#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace e2e;

namespace {

std::string readSmallFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return {};
    std::string out(4096, '\0');
    DWORD got = 0;
    const BOOL ok = ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(f);
    out.resize(ok ? got : 0);
    return out;
}

bool isDigits(const wchar_t* s) {
    return *s >= L'0' && *s <= L'9';
}

// The Linux process id of the one live process whose command line holds `marker` (a
// folder or an argument only that process has), read through the drive that maps the
// root; empty when there is none or more than one. Another program of the same name
// does not count.
std::wstring unixPidOf(const std::string& marker) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(L"Z:\\proc\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::wstring found;
    int matches = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !isDigits(fd.cFileName))
            continue;
        const std::wstring dir = std::wstring(L"Z:\\proc\\") + fd.cFileName;
        if (readSmallFile(dir + L"\\cmdline").find(marker) == std::string::npos)
            continue;
        // "pid (comm) state ...": a process that has just ended lingers as a zombie.
        const std::string stat = readSmallFile(dir + L"\\stat");
        const size_t close = stat.rfind(") ");
        if (close == std::string::npos || stat[close + 2] == 'Z' || stat[close + 2] == 'X')
            continue;
        found = fd.cFileName;
        ++matches;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    if (matches != 1)
        std::fprintf(stderr, "  %d live processes with \"%s\" in their command line\n", matches,
                     marker.c_str());
    return matches == 1 ? found : std::wstring();
}

struct ThreadCount {
    std::wstring tid;
    double cpuMs = 0;
    double runs = 0;
};

// Every thread of the process now; the main thread is the one whose id is the process's.
std::vector<ThreadCount> sample(const std::wstring& pid) {
    std::vector<ThreadCount> out;
    const std::wstring dir = L"Z:\\proc\\" + pid + L"\\task\\";
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    do {
        if (!isDigits(fd.cFileName))
            continue;
        const std::string s = readSmallFile(dir + fd.cFileName + L"\\schedstat");
        char* end = nullptr;
        ThreadCount t;
        t.tid = fd.cFileName;
        t.cpuMs = std::strtod(s.c_str(), &end) / 1e6;
        std::strtod(end, &end); // time spent waiting for a processor
        t.runs = std::strtod(end, nullptr);
        out.push_back(t);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return out;
}

struct Subject {
    const char* what;
    std::wstring pid;
    std::vector<ThreadCount> before;
};

struct Figures {
    double cpuPercent = -1;
    double mainRunsPerSecond = -1;
    double otherRunsPerSecond = -1;
    int threads = 0;
};

Figures compare(const Subject& s, const std::vector<ThreadCount>& after, double seconds) {
    Figures f;
    if (s.before.empty() || after.empty())
        return f;
    double cpu = 0, mainRuns = 0, otherRuns = 0;
    for (const ThreadCount& a : after) {
        ThreadCount b; // a thread born meanwhile started from nothing
        for (const ThreadCount& x : s.before)
            if (x.tid == a.tid)
                b = x;
        cpu += a.cpuMs - b.cpuMs;
        (a.tid == s.pid ? mainRuns : otherRuns) += a.runs - b.runs;
    }
    f.cpuPercent = 100.0 * cpu / (seconds * 1000.0);
    f.mainRunsPerSecond = mainRuns / seconds;
    f.otherRunsPerSecond = otherRuns / seconds;
    f.threads = static_cast<int>(after.size());
    return f;
}

std::string narrow(const std::wstring& w) {
    return std::string(w.begin(), w.end()); // folder names here are ASCII
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    // A fresh session's desktop comes up with the first window and then centres the
    // pointer: let that happen before anything is measured.
    HWND warm = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
    ShowWindow(warm, SW_SHOWNOACTIVATE);
    pumpFor(1500);
    DestroyWindow(warm);
    setCursor(500, 400);

    OrvalisRun run;
    run.prepare(settingsBytes(SettingsRecord{}));
    if (!run.start()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    for (int i = 2; i < argc; ++i)
        PostMessageW(run.mainWindow, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[i])), 0);
    // The references carry an argument of their own in their command lines.
    const std::wstring self = std::to_wstring(GetCurrentProcessId());
    Process loop = startProcess(binDir() + L"idle_loop.exe", L"loop-" + self);
    Process forever = startProcess(binDir() + L"idle_loop.exe", L"forever-" + self);
    Sleep(3000); // start-up's own work is over

    std::vector<Subject> subjects = {
        {"the program", unixPidOf(narrow(run.dir.path.substr(run.dir.path.rfind(L"orv-")))), {}},
        {"a bare 33 ms wait-and-drain loop", unixPidOf("loop-" + narrow(self)), {}},
        {"a thread that only waits forever", unixPidOf("forever-" + narrow(self)), {}},
    };
    for (Subject& s : subjects)
        if (!s.pid.empty())
            s.before = sample(s.pid);
    const double t0 = nowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000); // nothing of this process wakes meanwhile
    const double elapsed = (nowMs() - t0) / 1000.0;
    std::vector<Figures> figures;
    for (const Subject& s : subjects)
        figures.push_back(s.pid.empty() ? Figures{} : compare(s, sample(s.pid), elapsed));

    std::printf("idle over %d s, side by side (the kernel's counts):\n", seconds);
    std::printf("  %-34s %8s %12s %13s %8s\n", "", "% core", "main runs/s", "others runs/s",
                "threads");
    for (size_t i = 0; i < subjects.size(); ++i)
        std::printf("  %-34s %8.4f %12.2f %13.2f %8d\n", subjects[i].what, figures[i].cpuPercent,
                    figures[i].mainRunsPerSecond, figures[i].otherRunsPerSecond,
                    figures[i].threads);
    if (figures[0].cpuPercent >= 0 && figures[2].cpuPercent > 0)
        std::printf("  the program against the waiting thread: %.2f x\n",
                    figures[0].cpuPercent / figures[2].cpuPercent);
    else if (figures[2].cpuPercent == 0)
        std::printf("  the waiting thread took no time the kernel counts: no ratio\n");

    run.stop();
    loop.kill();
    loop.close();
    forever.kill();
    forever.close();
    return 0;
}
