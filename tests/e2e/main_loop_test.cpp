// The real program's main loop: it sleeps while nothing happens and still serves a posted
// command at once, and a flood of posted reports does not hold up its exit.
#include "harness.h"

#include "hook/hook_messages.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr UINT kCrossCursorCommand = 106;

HWND crossCursorOf(const Process& p) {
    return findWindowOfProcess(p.pid, L"ZROVLHorzCursor");
}

TEST(MainLoop, APostedCommandIsServedAtOnceAfterLongIdleness) {
    OrvalisRun run;
    run.prepare();
    ASSERT_TRUE(run.start());
    ASSERT_EQ(crossCursorOf(run.proc), nullptr);
    Sleep(10000); // nothing happens: no input, no message, this process waits too

    // The command opens the cross cursor's windows while it is handled; the time runs
    // from the post until they can be found from here.
    const double posted = nowMs();
    ASSERT_TRUE(PostMessageW(run.mainWindow, WM_COMMAND, kCrossCursorCommand, 0));
    double served = -1;
    while (nowMs() - posted < 2000)
        if (crossCursorOf(run.proc)) {
            served = nowMs() - posted;
            break;
        }
    ASSERT_GE(served, 0) << "the command was not served";
    EXPECT_LT(served, 50);
    std::fprintf(stderr, "posted command served after %.1f ms of a 10 s rest\n", served);
    pumpFor(300);
    EXPECT_NE(crossCursorOf(run.proc), nullptr) << "the cross cursor did not stay";
    EXPECT_TRUE(run.stop());
}

// Threads of this process post activation reports for a window of theirs, as fast as they
// can, until the program's window is gone.
struct Flood {
    HWND target;
    HWND reported;
    volatile LONG stop = 0;
    LONG posted = 0;
    HANDLE threads[3] = {};

    static DWORD WINAPI post(void* self) {
        auto* f = static_cast<Flood*>(self);
        while (!f->stop &&
               PostMessageW(f->target, WM_HOOK_ACTIVATE, reinterpret_cast<WPARAM>(f->reported), 0))
            InterlockedIncrement(&f->posted);
        return 0;
    }
    void start() {
        for (HANDLE& t : threads)
            t = CreateThread(nullptr, 0, post, this, 0, nullptr);
    }
    ~Flood() {
        stop = 1;
        for (HANDLE t : threads)
            if (t) {
                WaitForSingleObject(t, 5000);
                CloseHandle(t);
            }
    }
};

// The exit of a quiet program, for comparison.
double quietExitMs() {
    OrvalisRun run;
    run.prepare();
    if (!run.start())
        return -1;
    const double asked = nowMs();
    return run.stop() ? nowMs() - asked : -1;
}

TEST(MainLoop, AFloodOfReportsDoesNotHoldUpTheExit) {
    const double quiet = quietExitMs();
    ASSERT_GE(quiet, 0);

    HWND reported = CreateWindowExW(0, L"Static", L"reported", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                    100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(reported);
    OrvalisRun run;
    run.prepare();
    ASSERT_TRUE(run.start());
    Flood flood{run.mainWindow, reported};
    flood.start();
    Sleep(3000);

    const double asked = nowMs();
    ASSERT_TRUE(PostMessageW(run.mainWindow, WM_CLOSE, 0, 0));
    const bool ended = run.proc.wait(30000) != STILL_ACTIVE;
    const double took = nowMs() - asked;
    flood.stop = 1;
    std::fprintf(stderr, "exit after %.0f ms under a flood of %ld reports, %.0f ms quiet\n", took,
                 flood.posted, quiet);
    EXPECT_TRUE(ended);
    EXPECT_LT(took, quiet + 1000) << "the flood held up the exit";
    DestroyWindow(reported);
}

} // namespace
