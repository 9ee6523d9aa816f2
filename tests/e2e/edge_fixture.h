// A run of the program over two windows of another process (the window peer), with the
// pointer placed before the program starts and input known to arrive.
#pragma once

#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"

#include <gtest/gtest.h>

namespace e2e {

// 2 x 2 real screens, starting in the centre: (512, 384), room to move every way.
inline SettingsRecord centred() {
    SettingsRecord s;
    s.columns = 2;
    s.rows = 2;
    s.startPosition = u'5';
    return s;
}

struct EdgeTest : ::testing::Test {
    WindowPeer peer;
    OrvalisRun run;
    RECT a0{}, b0{};

    // Places the pointer first (so that reaching the start spot is no push), then starts
    // the peer's two windows and the program.
    // `exclusionFile` (when not empty) is written beside the program as its exclusion list.
    void begin(const SettingsRecord& s, POINT pointer = {0, 600},
               const std::vector<unsigned char>& exclusionFile = {}) {
        setCursor(pointer.x, pointer.y);
        ASSERT_TRUE(peer.start({L"A,300,100,200,150", L"B,600,120,200,150"}));
        a0 = peer.rect(L"A");
        b0 = peer.rect(L"B");
        run.prepare(settingsBytes(s));
        if (!exclusionFile.empty()) {
            ASSERT_TRUE(writeFile(run.dir.path + L"除外ウィンドウ.dat", exclusionFile));
        }
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(run.waitInputReady());
    }
    int movedX(const wchar_t* t, const RECT& r0) const { return peer.rect(t).left - r0.left; }
    int movedY(const wchar_t* t, const RECT& r0) const { return peer.rect(t).top - r0.top; }
    bool waitMovedX(int dx, DWORD ms = 3000) {
        return waitUntil([&] { return movedX(L"A", a0) == dx && movedX(L"B", b0) == dx; }, ms);
    }
    // Steps of (dx, 0) 4 ms apart until the windows move; the number of steps, 0 when 40
    // did not move them. The program times a step when it handles it, later on a loaded
    // machine, so the steps a fast push needs are not a fixed number.
    int pushUntilMoved(int dx) {
        for (int i = 1; i <= 40; ++i) {
            moveRelative(dx, 0);
            pumpFor(4);
            if (movedX(L"A", a0) != 0)
                return i;
        }
        return waitUntil([&] { return movedX(L"A", a0) != 0; }, 1000) ? 40 : 0;
    }
    // Nothing more arrives: the program has handled all input and the windows are still.
    void settle() {
        run.barrier();
        pumpFor(250);
        run.barrier();
    }
};

} // namespace e2e
