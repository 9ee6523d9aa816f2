// Orvalis.view through the real file calls and the saver thread: what a start reads back,
// what it ignores, and how often a burst of moves writes it.
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
    void put(const std::string& bytes) const {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(f);
    }
    int storedX() const {
        const std::optional<ViewRecord> r = readViewRecord(path.c_str());
        return r ? r->origin.x : -1;
    }
};

TEST_F(ViewFileTest, AStartReadsWhatTheLastMoveRecordedAndIgnoresAnythingElse) {
    recordViewAt(path.c_str());
    finishFileSaves();
    const std::optional<ViewRecord> stored = readViewRecord(path.c_str());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->origin, (Point{2048, 768}));
    EXPECT_EQ(stored->columns, 3);
    EXPECT_EQ(stored->rows, 2);
    EXPECT_EQ(stored->screen, (Size{1024, 768}));
    EXPECT_TRUE(sameViewSession(stored->session, currentViewSession()));
    EXPECT_EQ(resumedViewOrigin(stored, currentViewSession(), 3, 2, {1024, 768}, {}),
              (Point{2048, 768}));

    // A cut, a longer or a foreign file is no record; nothing is taken from it.
    std::string whole(kViewRecordBytes, '\0');
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD got = 0;
    ReadFile(f, whole.data(), kViewRecordBytes, &got, nullptr);
    CloseHandle(f);
    ASSERT_EQ(got, kViewRecordBytes);
    for (const std::string& bad : {whole.substr(0, 51), whole + "x", std::string(52, 'x')}) {
        put(bad);
        EXPECT_FALSE(readViewRecord(path.c_str())) << bad.size() << " bytes";
    }
    DeleteFileW(path.c_str());
    EXPECT_FALSE(readViewRecord(path.c_str()));
}

// A push held against the edge for 600 ms, one move every 20 ms: the file is written at
// most once per half second, and the last move is in it when the burst ends.
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
