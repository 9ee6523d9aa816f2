// The overview's cost over windows of another process: the time from command 165 to the
// first complete paint (the command's SendMessage returns once the window has been shown
// and painted), coarse and fine, with 10 and 50 windows, in the real program; then, in
// this process, where the time goes: a bare window of the same kind, each step a coarse
// plate takes per window, the opening in its steps, the collection, the fine captures and
// what a cached repaint costs. Prints figures; never fails.
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

// Microseconds per window of each step a coarse rebuild takes for a window, over the
// windows the overview shows (median of 5 passes over all of them), and what a bitmap
// compatible with the screen would cost instead of the 32-bit DIB section the overview
// draws into.
struct StepTimer {
    std::vector<double> passes;
    double sum = 0;
    double t0 = 0;
    void start() { t0 = nowMs(); }
    void stop() { sum += nowMs() - t0; }
    void endPass(size_t count) {
        passes.push_back(count ? sum * 1000 / static_cast<double>(count) : 0);
        sum = 0;
    }
};

HBITMAP dibSection(HDC dc, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void perWindowSteps() {
    collectWindows(kCollectRectLater | kCollectTitleLater);
    const std::vector<HWND> windows(ManagedWindowList.windows,
                                    ManagedWindowList.windows + ManagedWindowList.count);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP target = dibSection(screen, 512, 384);
    HDC targetDc = CreateCompatibleDC(screen);
    HGDIOBJ oldTarget = SelectObject(targetDc, target);
    SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory, TRANSPARENT);
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    StepTimer rect, text, askIcon, classIcon, appIcon, measure, draw, icon, bitmap, compatible,
        edge, blit;
    for (int pass = 0; pass < 5; ++pass) {
        for (HWND w : windows) {
            RECT r;
            rect.start();
            GetWindowRect(w, &r);
            rect.stop();
            wchar_t title[256];
            text.start();
            GetWindowTextW(w, title, 256);
            text.stop();
            DWORD_PTR h = 0;
            askIcon.start();
            SendMessageTimeoutW(w, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 200, &h);
            askIcon.stop();
            classIcon.start();
            HICON c = reinterpret_cast<HICON>(GetClassLongPtrW(w, GCLP_HICONSM));
            classIcon.stop();
            appIcon.start();
            HICON shared = static_cast<HICON>(
                LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, cx, cy, LR_SHARED));
            appIcon.stop();
            HICON shown = h ? reinterpret_cast<HICON>(h) : c ? c : shared;
            compatible.start();
            HBITMAP display = CreateCompatibleBitmap(screen, 50, 34);
            SelectObject(memory, SelectObject(memory, display));
            DeleteObject(display);
            compatible.stop();
            bitmap.start();
            HBITMAP plate = dibSection(screen, 50, 34);
            HGDIOBJ old = SelectObject(memory, plate);
            bitmap.stop();
            RECT face{0, 0, 50, 34};
            edge.start();
            DrawEdge(memory, &face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
            edge.stop();
            RECT m{30, 0, 40, 34};
            measure.start();
            DrawTextW(memory, title, -1, &m, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
            measure.stop();
            icon.start();
            DrawIconEx(memory, 4, 9, shown, cx, cy, 0, nullptr, DI_NORMAL);
            icon.stop();
            RECT t{5, 9, 45, 25};
            draw.start();
            DrawTextW(memory, title, -1, &t,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_END_ELLIPSIS);
            draw.stop();
            blit.start();
            BitBlt(targetDc, 100, 100, 50, 34, memory, 0, 0, SRCCOPY);
            blit.stop();
            bitmap.start();
            SelectObject(memory, old);
            DeleteObject(plate);
            bitmap.stop();
        }
        for (StepTimer* s : {&rect, &text, &askIcon, &classIcon, &appIcon, &measure, &draw, &icon,
                             &bitmap, &compatible, &edge, &blit})
            s->endPass(windows.size());
    }
    std::printf("  per window, coarse (us): rectangle %.0f, title %.0f, icon question %.0f, "
                "class icon %.0f, application icon %.0f, bitmap %.0f (compatible one %.0f), "
                "edge %.0f, title measured %.0f, icon drawn (not from tiles) %.0f, title drawn "
                "%.0f, copy %.0f\n",
                median(rect.passes), median(text.passes), median(askIcon.passes),
                median(classIcon.passes), median(appIcon.passes), median(bitmap.passes),
                median(compatible.passes), median(edge.passes), median(measure.passes),
                median(icon.passes), median(draw.passes), median(blit.passes));
    SelectObject(targetDc, oldTarget);
    DeleteDC(targetDc);
    DeleteObject(target);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// The opening in its steps, with the class the first opening registered: creation
// (status bar included), showing (sizing, activation, pointer warp) and the first paint,
// which here asks the programs itself (no prefetch while the window is shown).
void openingSteps() {
    std::vector<double> create, show, paint;
    for (int i = 0; i < 9; ++i) {
        OverviewState.needsRebuild = 1;
        const double t0 = nowMs();
        HWND w = CreateWindowExW(WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"OVLOutline",
                                 nullptr, WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME, 256, 192, 512,
                                 384, nullptr, nullptr, appInstance, nullptr);
        const double t1 = nowMs();
        ShowWindow(w, SW_SHOWNORMAL);
        const double t2 = nowMs();
        UpdateWindow(w);
        const double t3 = nowMs();
        create.push_back(t1 - t0);
        show.push_back(t2 - t1);
        paint.push_back(t3 - t2);
        DestroyWindow(w);
        pumpFor(20);
    }
    std::printf("    in steps, the plates asked while painting: created %.2f ms, shown %.2f ms, "
                "first paint %.2f ms\n",
                median(create), median(show), median(paint));
}

void inProcessFigures(int windows) {
    appInstance = GetModuleHandleW(nullptr);
    ownProcessId = GetCurrentProcessId();
    printWindowEntry = timedPrintWindow;
    Settings = area(0);
    RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ViewOrigin = {};
    std::vector<double> collect[2];
    for (int i = 0; i < 20; ++i)
        for (int coarse = 0; coarse <= 1; ++coarse) {
            const double t0 = nowMs();
            collectWindows(kCollectRectLater | (coarse ? kCollectTitleLater : 0));
            collect[coarse].push_back(nowMs() - t0);
        }
    std::printf("  in this process: a bare popup with a status bar, shown and painted: %.2f ms\n",
                bareWindowMs());
    perWindowSteps();
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
                    median(collect[coarse]), median(repaint));
        openingSteps();
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
