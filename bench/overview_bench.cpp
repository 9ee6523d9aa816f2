// The overview's cost over windows of another process: the time from command 165 to the
// first complete paint (the command's SendMessage returns once the window has been shown
// and painted), coarse and fine, with 10 and 50 windows, in the real program; then, in
// this process, where the fine rebuild's time goes and what a cached repaint costs.
// Prints figures; never fails.
#include "harness.h"
#include "peer_windows.h"

#include "core/app.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overview/overview_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::vector<std::wstring> windowArgs(int count) {
    std::vector<std::wstring> args;
    for (int i = 0; i < count; ++i)
        args.push_back(L"w" + std::to_wstring(100 + i) + L"," +
                       std::to_wstring(40 + (i % 10) * 60) + L"," +
                       std::to_wstring(30 + (i / 10) * 90) + L",300,200");
    return args;
}

SettingsRecord area(int coarse) {
    SettingsRecord s;
    s.columns = 3;
    s.rows = 2;
    s.startPosition = u'7';
    s.coarseOverview = coarse;
    return s;
}

// Median of `rounds` openings by command 165 in the real program.
double commandToPaintMs(int coarse, int rounds) {
    OrvalisRun run;
    run.prepare(settingsBytes(area(coarse)));
    if (!run.start())
        return -1;
    setCursor(600, 300);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        DWORD_PTR r = 0;
        const double t0 = nowMs();
        SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 165, 0, SMTO_BLOCK, 20000, &r);
        times.push_back(nowMs() - t0);
        HWND overview = findWindowOfProcess(run.proc.pid, L"OVLOutline");
        SendMessageTimeoutW(overview, WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, &r);
        setCursor(600, 300);
    }
    run.stop();
    return median(times);
}

double printMs = 0;
int printCalls = 0;
BOOL WINAPI timedPrintWindow(HWND w, HDC dc, UINT flags) {
    const double t0 = nowMs();
    const BOOL ok = PrintWindow(w, dc, flags);
    printMs += nowMs() - t0;
    ++printCalls;
    return ok;
}

// What any such window costs before it draws a thing: a popup of the same styles with a
// status bar, created, shown, painted empty and destroyed.
double bareWindowMs() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"OverviewBenchBare";
    RegisterClassExW(&wc);
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        const double t0 = nowMs();
        HWND w =
            CreateWindowExW(WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName,
                            nullptr, WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME, 300, 200, 512, 384,
                            nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"msctls_statusbar32", L"bench", WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, w,
                        nullptr, nullptr, nullptr);
        ShowWindow(w, SW_SHOWNORMAL);
        UpdateWindow(w);
        times.push_back(nowMs() - t0);
        DestroyWindow(w);
        pumpFor(20);
    }
    return median(times);
}

void inProcessFigures(int windows) {
    appInstance = GetModuleHandleW(nullptr);
    ownProcessId = GetCurrentProcessId();
    printWindowEntry = timedPrintWindow;
    Settings = area(0);
    RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ViewOrigin = {};
    std::vector<double> collect;
    for (int i = 0; i < 20; ++i) {
        const double t0 = nowMs();
        collectWindows(0);
        collect.push_back(nowMs() - t0);
    }
    std::printf("  in this process: a bare popup with a status bar, shown and painted: %.2f ms\n",
                bareWindowMs());
    for (int coarse = 0; coarse <= 1; ++coarse) {
        Settings.coarseOverview = coarse;
        std::vector<double> open, print, repaint;
        for (int i = 0; i < 9; ++i) {
            printMs = 0;
            const double t0 = nowMs();
            openOverview();
            open.push_back(nowMs() - t0);
            print.push_back(printMs);
            for (int k = 0; k < 5; ++k) {
                const double t1 = nowMs();
                RedrawWindow(OverviewWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                repaint.push_back(nowMs() - t1);
            }
            DestroyWindow(OverviewWindow);
            pumpFor(20);
        }
        std::printf("  in this process, %s, %d windows: open and first paint %.2f ms "
                    "(capture %.2f ms of it), collection %.2f ms, cached repaint %.2f ms\n",
                    coarse ? "coarse" : "fine  ", windows, median(open), median(print),
                    median(collect), median(repaint));
    }
}

} // namespace

int main() {
    std::printf("overview: command 165 to first complete paint, real program, "
                "3 x 2 area (median of 15 openings)\n");
    for (int windows : {10, 50}) {
        WindowPeer peer;
        if (!peer.start(windowArgs(windows), 30000)) {
            std::printf("peer did not start\n");
            return 0;
        }
        const double coarse = commandToPaintMs(1, 15);
        const double fine = commandToPaintMs(0, 15);
        std::printf("  %2d windows: coarse %.2f ms, fine %.2f ms\n", windows, coarse, fine);
        inProcessFigures(windows);
        resetOverviewState();
        peer.stop();
    }
    return 0;
}
