// The cost of one view shift (collection, exclusion tests and the deferred batch) over 50
// windows of another process, with no exclusion rules and with 128 of them: rules for
// other classes, and rules for the windows' own class whose titles never match, which
// makes every window's title be read. Prints figures; never fails.
#include "harness.h"
#include "peer_windows.h"

#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "exclusion/exclusion.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

double medianShiftMs(int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const int dx = (i % 2) ? 1 : -1;
        const double t0 = nowMs();
        shiftView(dx, 0, nullptr);
        times.push_back(nowMs() - t0);
        pumpFor(5);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main() {
    const int windows = 50;
    std::vector<std::wstring> windowArgs;
    for (int i = 0; i < windows; ++i)
        windowArgs.push_back(L"w" + std::to_wstring(100 + i) + L"," + std::to_wstring(50 + i * 15) +
                             L"," + std::to_wstring(40 + i * 10) + L",200,120");
    WindowPeer peer;
    if (!peer.start(windowArgs, 30000)) {
        std::printf("peer did not start\n");
        return 0;
    }
    Settings = SettingsRecord{};
    Settings.columns = 3;
    RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ViewOrigin = {1024, 0};

    const int rounds = 200;
    resetExclusionList();
    std::vector<double> collectTimes;
    for (int i = 0; i < 50; ++i) {
        const double t0 = nowMs();
        collectWindows(kCollectUntitled);
        collectTimes.push_back(nowMs() - t0);
    }
    std::sort(collectTimes.begin(), collectTimes.end());
    const double collectOnly = collectTimes[collectTimes.size() / 2];
    const double none = medianShiftMs(rounds);

    for (int i = 0; i < 128; ++i)
        ExclusionList.entries.push_back({L"OtherClass" + std::to_wstring(i), kNoImageIndex, L"*"});
    const double otherClasses = medianShiftMs(rounds);

    resetExclusionList();
    // Same class, titles of the same length as the windows' ("w100"...): every window's
    // title is read and compared against all 128 rules.
    for (int i = 0; i < 128; ++i)
        ExclusionList.entries.push_back(
            {L"OrvPeerWindow", kNoImageIndex, L"x" + std::to_wstring(100 + i)});
    const double sameClass = medianShiftMs(rounds);
    resetExclusionList();

    std::printf("shiftView over %d windows of another process (median of %d):\n", windows, rounds);
    std::printf("  collection alone:                   %.3f ms\n", collectOnly);
    std::printf("  no exclusion rules:                 %.3f ms\n", none);
    std::printf("  128 rules of other classes:         %.3f ms (%.2f x)\n", otherClasses,
                otherClasses / none);
    std::printf("  128 rules of the windows' class:    %.3f ms (%.2f x)\n", sameClass,
                sameClass / none);
    return 0;
}
