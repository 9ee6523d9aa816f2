// A soak of the real program: random creations, activations, minimizes, restores,
// maximizes and destructions of windows in three other processes while the pointer keeps
// pushing at the screen edges. The program must stay alive and answering, and its memory
// must not grow with the number of events, only with the windows alive at the end, and
// each of its per-window lists must name only windows that still exist.
// The short run belongs to the default suite; the long one (10 000 events) runs with
//   e2e_tests.exe --gtest_also_run_disabled_tests --gtest_filter=Soak.DISABLED_*
#include "harness.h"
#include "mainwnd/main_window.h"
#include "peer_windows.h"
#include "peers/trackpeer_client.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

using namespace e2e;

namespace {

SIZE_T privateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof(counters)))
        return 0;
    // Wine leaves the private figure out; its page-file figure counts the same pages.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int topLevelWindows() {
    int n = 0;
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

// One of the program's per-window lists as its main window reports it: entries in the low
// word, entries naming a gone window in the high word; -1 without an answer.
long listSize(HWND main, int which) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(main, WM_LIST_SIZE, which, 0, SMTO_BLOCK, 5000, &r))
        return -1;
    return static_cast<long>(r);
}

// Every list names only windows that still exist once the last reports are handled, so
// none can be longer than the live windows.
void expectListsFollowTheLiveWindows(HWND main) {
    const char* names[] = {"known windows", "minimized positions", "saved normal rectangles",
                           "collector memory"};
    for (int which = 0; which < 4; ++which) {
        long r = -1;
        // Activations of minimized windows each hold the program up to half a second, so
        // the last reports may still be queued.
        waitUntil([&] { return (r = listSize(main, which)) >= 0 && HIWORD(r) == 0; }, 20000);
        ASSERT_GE(r, 0) << names[which];
        EXPECT_EQ(HIWORD(r), 0) << names[which] << " keep windows that are gone";
        EXPECT_LE(LOWORD(r), topLevelWindows()) << names[which];
        fprintf(stderr, "soak: %s %d\n", names[which], LOWORD(r));
    }
    fprintf(stderr, "soak: top-level windows %d\n", topLevelWindows());
}

struct SoakFigures {
    int events = 0;
    double ms = 0;
    SIZE_T memoryAfterWarmUp = 0;
    SIZE_T memoryAtEnd = 0;
    int slowestAnswerMs = 0;
};

void soak(int events, SoakFigures& f) {
    SettingsRecord s;
    s.columns = 3;
    s.rows = 3;
    s.startPosition = u'5';
    setCursor(0, 400);
    TrackPeer peers[3];
    for (TrackPeer& p : peers)
        ASSERT_TRUE(p.start());
    OrvalisRun run;
    run.prepare(settingsBytes(s));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(peers[0].waitForHook());

    std::mt19937 random(20261207);
    std::vector<HWND> live[3];
    const double start = nowMs();
    bool leftEdge = true;
    for (int i = 0; i < events; ++i) {
        TrackPeer& peer = peers[random() % 3];
        std::vector<HWND>& windows = live[&peer - peers];
        const int action = static_cast<int>(random() % 8);
        if (windows.size() < 2 || (action == 0 && windows.size() < 8)) {
            wchar_t title[32];
            swprintf(title, 32, L"soak %d", i);
            const int x = static_cast<int>(random() % 800), y = static_cast<int>(random() % 500);
            if (HWND w = peer.create(x, y, 200, 150, title))
                windows.push_back(w);
            continue;
        }
        const size_t pick = random() % windows.size();
        const HWND w = windows[pick];
        switch (action) {
        case 1: peer.show(w, SW_MINIMIZE); break;
        case 2: peer.show(w, SW_RESTORE); break;
        case 3: peer.show(w, SW_MAXIMIZE); break;
        case 4:
            peer.destroy(w);
            windows.erase(windows.begin() + static_cast<long>(pick));
            break;
        default: peer.activate(w); break;
        }
        if (i % 25 == 0) {
            // Push at an edge; every so often from the other side, so that the view keeps
            // moving instead of resting against a border.
            if (i % 500 == 0) {
                leftEdge = !leftEdge;
                setCursor(leftEdge ? 0 : GetSystemMetrics(SM_CXSCREEN) - 1, 400);
            }
            moveRelative(leftEdge ? -40 : 40, 0);
            const double asked = nowMs();
            ASSERT_TRUE(run.barrier(10000)) << "no answer after event " << i;
            f.slowestAnswerMs = std::max(f.slowestAnswerMs, static_cast<int>(nowMs() - asked));
            ASSERT_TRUE(run.proc.running()) << "ended after event " << i;
        }
        if (i == events / 10)
            f.memoryAfterWarmUp = privateBytes(run.proc.process);
    }
    // One program ends without destroying its windows, so no report tells of them; then
    // one more push, so that the collector's memory is as of the last event.
    TerminateProcess(peers[2].process.process, 0);
    WaitForSingleObject(peers[2].process.process, 5000);
    moveRelative(leftEdge ? -40 : 40, 0);
    ASSERT_TRUE(run.barrier(10000));
    ASSERT_NO_FATAL_FAILURE(expectListsFollowTheLiveWindows(run.mainWindow));
    f.events = events;
    f.ms = nowMs() - start;
    f.memoryAtEnd = privateBytes(run.proc.process);
    fprintf(stderr,
            "soak: %d events in %.0f ms, private memory %llu KiB after warm-up, %llu KiB at end, "
            "slowest answer %d ms\n",
            f.events, f.ms, static_cast<unsigned long long>(f.memoryAfterWarmUp / 1024),
            static_cast<unsigned long long>(f.memoryAtEnd / 1024), f.slowestAnswerMs);
    EXPECT_TRUE(run.stop());
}

// The memory may move by what a few windows and the heap's own growth take, not by what
// every event would leave behind.
constexpr SIZE_T kMemorySlack = 2 * 1024 * 1024;

TEST(Soak, ShortRunStaysAliveAndFlat) {
    SoakFigures f;
    ASSERT_NO_FATAL_FAILURE(soak(400, f));
    ASSERT_GT(f.memoryAfterWarmUp, 0u);
    EXPECT_LT(f.memoryAtEnd, f.memoryAfterWarmUp + kMemorySlack);
}

TEST(Soak, DISABLED_TenThousandEvents) {
    SoakFigures f;
    ASSERT_NO_FATAL_FAILURE(soak(10000, f));
    ASSERT_GT(f.memoryAfterWarmUp, 0u);
    EXPECT_LT(f.memoryAtEnd, f.memoryAfterWarmUp + kMemorySlack);
}

} // namespace
