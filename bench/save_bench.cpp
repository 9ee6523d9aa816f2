// The main thread's time per settings save: saveSettings() as the tray menu, a toggle key
// or Ctrl in hold mode calls it, timed around the call alone. Three cases: the file free;
// another program reading it (open with full sharing) throughout; and a burst of saves
// without waiting, as Ctrl pressed and released quickly gives. Between the single saves
// the bench waits until the save is on disk, so each one is a real write. Then the main
// thread's cost of recording a shift (recordView(), which shiftView calls after every move
// of the view): single records, each written before the next, and a burst as a long push
// gives, which the saver writes at most twice a second.
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/view.h"
#include "core/view_file.h"
#if __has_include("core/file_saver.h")
#include "core/file_saver.h"
#define WAIT_FOR_DISK() finishFileSaves()
#else
#define WAIT_FOR_DISK() ((void)0)
#endif

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s median %8.3f ms   p90 %8.3f ms   max %8.3f ms   (%zu saves)\n", what,
                ms[ms.size() / 2], ms[ms.size() * 9 / 10], ms.back(), ms.size());
}

// Times `call` alone, `count` times; `change` gives each call something new to save.
template <typename Change, typename Call>
std::vector<double> timeCalls(int count, bool waitBetween, Change change, Call call) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        change(i);
        const double t0 = nowMs();
        call();
        ms.push_back(nowMs() - t0);
        if (waitBetween)
            WAIT_FOR_DISK();
    }
    WAIT_FOR_DISK();
    return ms;
}

std::vector<double> timeSaves(int count, bool waitBetween) {
    return timeCalls(
        count, waitBetween, [](int) { Settings.scrollEnabled = !Settings.scrollEnabled; },
        saveSettings);
}

std::vector<double> timeRecords(int count, bool waitBetween) {
    return timeCalls(
        count, waitBetween, [](int i) { ViewOrigin.x = i; }, recordView);
}

} // namespace

int main() {
    wchar_t path[260];
    if (!settingsFilePath(path))
        return 1;
    saveSettings();
    WAIT_FOR_DISK();
    report("file free", timeSaves(200, true));

    HANDLE reader =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    report("another program reading it", timeSaves(10, false));
    CloseHandle(reader);
    WAIT_FOR_DISK();

    report("burst of 200", timeSaves(200, false));
    DeleteFileW(path);

    wchar_t viewPath[260];
    if (!viewRecordPath(viewPath))
        return 1;
    Settings.columns = 5;
    Settings.rows = 5;
    RealScreenSize = {1024, 768};
    report("view record, each written", timeRecords(200, true));
    report("view record, burst of 200", timeRecords(200, false));
    DeleteFileW(viewPath);
    return 0;
}
