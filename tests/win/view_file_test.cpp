// Orvalis.view through the real file calls and the saver thread: what a start reads back
// and how often a burst of moves writes it. Damaged records are the codec's (unit tests).
#include "core/file_saver.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/view_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

namespace {

struct ViewFileTest : ::testing::Test {
    std::wstring dir, path;
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir = std::wstring(tmp) + L"orv-view-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        path = dir + L"Orvalis.view";
        Settings = SettingsRecord{};
        Settings.columns = 3;
        Settings.rows = 2;
        RealScreenSize = {1024, 768};
        ViewOrigin = {2048, 768};
    }
    void TearDown() override {
        finishFileSaves();
        DeleteFileW(path.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    int storedX() const {
        const std::optional<ViewRecord> r = readViewRecord(path.c_str());
        return r ? r->origin.x : -1;
    }
};

TEST_F(ViewFileTest, AStartReadsWhatTheLastMoveRecorded) {
    recordViewAt(path.c_str());
    finishFileSaves();
    const std::optional<ViewRecord> stored = readViewRecord(path.c_str());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->origin, (Point{2048, 768}));
    EXPECT_EQ(stored->columns, 3);
    EXPECT_EQ(stored->rows, 2);
    EXPECT_EQ(stored->screen, (Size{1024, 768}));
    // Read again a moment later, this session still reads as the one that wrote it.
    Sleep(50);
    EXPECT_TRUE(sameViewSession(stored->session, currentViewSession()));
}

// A long push, a move every 20 ms or so: the file is written at most once per half
// second, and the last move is in it when the burst ends.
TEST_F(ViewFileTest, ABurstOfMovesWritesTheRecordAFewTimesEndingWithTheLast) {
    ViewOrigin.x = 0;
    recordViewAt(path.c_str());
    ASSERT_TRUE([&] {
        for (int i = 0; i < 200 && storedX() != 0; ++i)
            Sleep(5);
        return storedX() == 0;
    }());
    std::set<int> seen;
    const ULONGLONG start = GetTickCount64();
    for (int step = 1; step <= 30; ++step) {
        ViewOrigin.x = step;
        recordViewAt(path.c_str());
        for (int poll = 0; poll < 4; ++poll) {
            seen.insert(storedX());
            Sleep(5);
        }
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    while (storedX() != 30 && GetTickCount64() - start < elapsed + 3000) {
        seen.insert(storedX());
        Sleep(5);
    }
    seen.erase(-1); // read while the new file was being swapped in
    seen.erase(0);
    EXPECT_EQ(storedX(), 30);
    EXPECT_LE(seen.size(), 2 + elapsed / kViewRecordIntervalMs) << "over " << elapsed << " ms";

    // The exit's wait writes a save that is still waiting its turn at once.
    ViewOrigin.x = 31;
    recordViewAt(path.c_str());
    finishFileSaves();
    EXPECT_EQ(storedX(), 31);
    Sleep(kViewRecordIntervalMs + 100);
    EXPECT_EQ(storedX(), 31); // and nothing older comes after it
}

} // namespace
