// Orvalis.dat through the real file calls: round trip, other lengths, failed writes; the
// balloons of a first start and of a failed save.
#include "core/app.h"
#include "core/file_saver.h"
#include "core/save_failures.h"
#include "core/settings_file.h"
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_file.h"
#include "mainwnd/main_window.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct SettingsFileTest : ::testing::Test {
    std::wstring dir;
    std::wstring path;
    void SetUp() override {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir = std::wstring(tmp) + L"orv-settings-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
        path = dir + L"Orvalis.dat";
    }
    void TearDown() override {
        finishFileSaves();
        resetSettingsFileState();
        for (const wchar_t* name : {L"Orvalis.dat", L"Orvalis.dat.new", L"Orvalis.dat.bak"}) {
            std::wstring p = dir + name;
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(p.c_str());
            RemoveDirectoryW(p.c_str());
        }
        RemoveDirectoryW(dir.c_str());
    }
    std::vector<unsigned char> bytes() const {
        std::vector<unsigned char> out;
        HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return out;
        out.resize(GetFileSize(f, nullptr));
        DWORD got = 0;
        ReadFile(f, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
        CloseHandle(f);
        return out;
    }
    void put(const std::vector<unsigned char>& b) const {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &n, nullptr);
        CloseHandle(f);
    }
    bool exists() const { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(SettingsFileTest, RoundTripThroughTheFile) {
    SettingsRecord s;
    s.columns = 4;
    s.rows = 3;
    s.delay = 70;
    s.startPosition = u'9';
    s.overviewWidth = 640;
    ASSERT_TRUE(writeSettingsFile(path.c_str(), s));
    const auto b = bytes();
    ASSERT_EQ(b.size(), 84u);
    const auto expected = settingsBytesFromImage(encodeSettings(s));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), expected.begin()));
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back, s);
    // No temporary file is left behind.
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A file of another length is never deleted: its record is read when it holds a whole
// one, and the first save keeps it as "Orvalis.dat.bak" before writing 84 bytes.
TEST_F(SettingsFileTest, FilesOfAnotherLengthAreKeptAndAWholeRecordIsRead) {
    SettingsRecord users;
    users.columns = 4;
    users.rows = 3;
    users.moveIcons = 1;
    const auto record = settingsBytesFromImage(encodeSettings(users));
    std::vector<unsigned char> longer(record.begin(), record.end());
    longer.insert(longer.end(), 84, '\n');
    const std::wstring backup = path + L".bak";
    for (size_t size : {83u, 85u}) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> file(longer.begin(), longer.begin() + size);
        put(file);
        SettingsRecord s;
        s.trackLevel = 9; // stays unless a whole record is read
        EXPECT_EQ(loadSettingsFile(path.c_str(), s), FileRead::Read);
        SettingsRecord expected;
        expected.trackLevel = 9;
        EXPECT_EQ(s, size >= 84 ? users : expected);
        EXPECT_EQ(bytes(), file) << "changed at start";

        s.scrollEnabled = 0; // a toggle
        EXPECT_TRUE(saveSettingsFile(path.c_str(), s));
        finishFileSaves();
        SettingsRecord back;
        ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
        EXPECT_EQ(back, s);
        EXPECT_EQ(bytes().size(), 84u);
        std::wstring saved = path;
        path = backup;
        EXPECT_EQ(bytes(), file) << "not kept aside";
        path = saved;
        DeleteFileW(backup.c_str());
        resetSettingsFileState();
    }
    DeleteFileW(path.c_str());
    SettingsRecord none;
    EXPECT_EQ(loadSettingsFile(path.c_str(), none), FileRead::Missing);
    EXPECT_EQ(none, SettingsRecord{});
    // An 84-byte file is replaced by a save, with no backup.
    put(std::vector<unsigned char>(record.begin(), record.end()));
    EXPECT_EQ(loadSettingsFile(path.c_str(), none), FileRead::Read);
    EXPECT_TRUE(saveSettingsFile(path.c_str(), SettingsRecord{}));
    finishFileSaves();
    EXPECT_EQ(GetFileAttributesW(backup.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFileTest, FailedWriteLeavesThePreviousFileWhole) {
    SettingsRecord old;
    old.columns = 3;
    ASSERT_TRUE(writeSettingsFile(path.c_str(), old));
    const auto before = bytes();

    SettingsRecord next;
    next.columns = 5;
    // The file is held open without sharing: the replacement cannot happen.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(writeSettingsFile(path.c_str(), next));
    CloseHandle(held);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);

    // The temporary file cannot even be created: a folder stands in its place.
    ASSERT_TRUE(CreateDirectoryW((path + L".new").c_str(), nullptr));
    EXPECT_FALSE(writeSettingsFile(path.c_str(), next));
    RemoveDirectoryW((path + L".new").c_str());
    EXPECT_EQ(bytes(), before);

    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.columns, 3);
}

TEST_F(SettingsFileTest, ReadOnlyFileIsNotReplaced) {
    ASSERT_TRUE(writeSettingsFile(path.c_str(), SettingsRecord{}));
    const auto before = bytes();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    SettingsRecord next;
    next.rows = 5;
    // The user made it read-only: it stays as it is, read-only, with no temporary file.
    EXPECT_FALSE(writeSettingsFile(path.c_str(), next));
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(bytes(), before);

    // A hidden file is replaced and stays hidden.
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(writeSettingsFile(path.c_str(), next));
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.rows, 5);
}

DWORD WINAPI closeAfter25Ms(void* handle) {
    Sleep(25);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

// Another program reading the file at the moment of a save (a viewer, a backup, a test
// polling it) must not cost the new contents: the swap waits for the reader to let go.
TEST_F(SettingsFileTest, AReaderHoldingTheFileDelaysTheSaveWithoutLosingIt) {
    ASSERT_TRUE(writeSettingsFile(path.c_str(), SettingsRecord{}));
    auto openForReading = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    };
    SettingsRecord next;
    next.rows = 4;

    // Held for 25 ms: the save lands.
    HANDLE reader = openForReading();
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, closeAfter25Ms, reader, 0, nullptr);
    ASSERT_NE(closer, nullptr);
    EXPECT_TRUE(writeSettingsFile(path.c_str(), next));
    WaitForSingleObject(closer, 5000);
    CloseHandle(closer);
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.rows, 4);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);

    // Held throughout: where the system refuses the swap, the save fails whole, the old
    // contents stay and the temporary file goes.
    const auto saved = bytes();
    reader = openForReading();
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    next.rows = 5;
    const bool ok = writeSettingsFile(path.c_str(), next);
    CloseHandle(reader);
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.rows, ok ? 5 : 4);
    if (!ok) {
        EXPECT_EQ(bytes(), saved);
    }
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace

DWORD WINAPI closeAfter60Ms(void* handle) {
    Sleep(60);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

// A file held open by another program at start: a moment's hold is waited out; a longer
// one leaves the defaults in memory, and nothing the program saves during that run may
// replace the user's settings with them.
TEST_F(SettingsFileTest, AFileHeldAtStartIsNeverWrittenOverThatRun) {
    SettingsRecord users;
    users.columns = 4;
    users.rows = 3;
    users.delay = 50;
    ASSERT_TRUE(writeSettingsFile(path.c_str(), users));
    const auto before = bytes();
    auto hold = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };

    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    HANDLE closer = CreateThread(nullptr, 0, closeAfter60Ms, held, 0, nullptr);
    SettingsRecord loaded;
    EXPECT_EQ(loadSettingsFile(path.c_str(), loaded), FileRead::Read);
    WaitForSingleObject(closer, 5000);
    CloseHandle(closer);
    EXPECT_EQ(loaded, users);

    held = hold();
    SettingsRecord running;
    EXPECT_EQ(loadSettingsFile(path.c_str(), running), FileRead::Unreadable);
    EXPECT_EQ(running, SettingsRecord{});
    running.scrollEnabled = 0; // a toggle
    EXPECT_FALSE(saveSettingsFile(path.c_str(), running));
    CloseHandle(held);
    EXPECT_FALSE(saveSettingsFile(path.c_str(), running)) << "refused for the whole run";
    finishFileSaves();
    EXPECT_EQ(bytes(), before);

    resetSettingsFileState();
    EXPECT_EQ(loadSettingsFile(path.c_str(), running), FileRead::Read);
    EXPECT_TRUE(saveSettingsFile(path.c_str(), running));
    finishFileSaves();
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back, running);
}

// The save is handed to the saver thread: it returns while another program still holds
// the file, and lands once that program lets go. Saves in a burst end with the last.
TEST_F(SettingsFileTest, SavesLandAfterTheCallerHasGoneOn) {
    resetSettingsFileState();
    ASSERT_TRUE(writeSettingsFile(path.c_str(), SettingsRecord{}));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    SettingsRecord next;
    for (int columns : {3, 4, 5}) {
        next.columns = columns;
        EXPECT_TRUE(saveSettingsFile(path.c_str(), next));
    }
    CloseHandle(held); // only now can the file be replaced
    finishFileSaves();
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(path.c_str(), back), FileRead::Read);
    EXPECT_EQ(back.columns, 5);
    EXPECT_EQ(GetFileAttributesW((path + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

// What a crash or an earlier run left beside the file.
TEST_F(SettingsFileTest, LeftOverTemporaryFiles) {
    const std::wstring temp = path + L".new";
    SettingsRecord kept;
    kept.columns = 4;
    const auto whole = settingsBytesFromImage(encodeSettings(kept));
    auto putTemp = [&](const unsigned char* b, DWORD n, DWORD attributes) {
        HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        WriteFile(f, b, n, &done, nullptr);
        CloseHandle(f);
        SetFileAttributesW(temp.c_str(), attributes);
    };

    // A cut temporary file is not taken; a whole one is, and becomes the file.
    putTemp(whole.data(), 40, FILE_ATTRIBUTE_NORMAL);
    SettingsRecord s;
    EXPECT_EQ(readSettingsFile(path.c_str(), s), FileRead::Missing);
    EXPECT_EQ(s, SettingsRecord{});
    putTemp(whole.data(), 84, FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(readSettingsFile(path.c_str(), s), FileRead::Read);
    EXPECT_EQ(s, kept);
    EXPECT_EQ(bytes().size(), 84u);
    EXPECT_EQ(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);

    // A stale read-only one does not block the next save.
    putTemp(whole.data(), 10, FILE_ATTRIBUTE_READONLY);
    SettingsRecord next;
    next.rows = 5;
    EXPECT_TRUE(writeSettingsFile(path.c_str(), next));
    ASSERT_EQ(readSettingsFile(path.c_str(), s), FileRead::Read);
    EXPECT_EQ(s, next);
    EXPECT_EQ(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {

bool writeWhole(const wchar_t* path, const std::vector<std::uint8_t>& bytes) {
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
                    n == bytes.size();
    CloseHandle(f);
    return ok;
}

// The files beside the test program, as the program's own entry points use them, and a
// window of this test as the main window that the saver reports to.
struct SaveNoticeTest : ::testing::Test {
    wchar_t settingsPath[260] = {};
    wchar_t rulesPath[260] = {};
    HWND window = nullptr;
    void SetUp() override {
        ASSERT_TRUE(settingsFilePath(settingsPath));
        ASSERT_TRUE(exclusionFilePath(rulesPath));
        ASSERT_EQ(GetFileAttributesW(settingsPath), INVALID_FILE_ATTRIBUTES)
            << "a settings file is already beside the test program";
        static const ATOM mainClass = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = mainWindowProc;
            wc.lpszClassName = L"OrvalisSaveNoticeMain";
            return RegisterClassExW(&wc);
        }();
        window = CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(mainClass), L"Orvalis", 0, 0, 0, 0,
                                 0, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window;
        resetTrayIcon();
        resetSaveFailures();
        resetSettingsFileState();
        resetExclusionFileState();
        resetExclusionList();
    }
    void TearDown() override {
        finishFileSaves();
        for (const wchar_t* p : {settingsPath, rulesPath}) {
            SetFileAttributesW(p, FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(p);
        }
        DestroyWindow(window);
        MSG msg; // the main window's destruction posts a quit message
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MainWindow = nullptr;
        Settings = SettingsRecord{};
        resetTrayIcon();
        resetSaveFailures();
        resetSettingsFileState();
        resetExclusionFileState();
        resetExclusionList();
    }
    // Hands the saver's reports to the main window.
    int deliverReports() {
        int reports = 0;
        MSG msg;
        while (PeekMessageW(&msg, window, WM_SAVE_FAILED, WM_SAVE_FAILED, PM_REMOVE)) {
            ++reports;
            DispatchMessageW(&msg);
        }
        return reports;
    }
};

TEST_F(SaveNoticeTest, TheFirstStartSaysWhereTheProgramIs) {
    loadSettings();
    EXPECT_EQ(trayBalloonCount(), 1);
    EXPECT_NE(wcsstr(lastTrayBalloon(), L"右クリック"), nullptr) << "how to open the menu";
    EXPECT_NE(wcsstr(lastTrayBalloon(), L"隠れているインジケーター"), nullptr)
        << "where a new icon hides";

    resetTrayIcon();
    SettingsRecord users;
    users.columns = 3;
    ASSERT_TRUE(writeSettingsFile(settingsPath, users));
    loadSettings();
    EXPECT_EQ(Settings, users);
    EXPECT_EQ(trayBalloonCount(), 0) << "not a first start";
}

// A save refused by a read-only file: the file keeps its bytes, and one balloon per file
// says which could not be saved, however often the saves fail.
TEST_F(SaveNoticeTest, AFailedSaveIsToldOnceAndNamesTheFile) {
    const auto old = settingsBytesFromImage(encodeSettings(SettingsRecord{}));
    const std::vector<std::uint8_t> before(old.begin(), old.end());
    ASSERT_TRUE(writeWhole(settingsPath, before));
    SetFileAttributesW(settingsPath, FILE_ATTRIBUTE_READONLY);
    loadSettings();
    for (int toggle = 0; toggle < 3; ++toggle) {
        Settings.scrollEnabled = !Settings.scrollEnabled;
        saveSettings();
        finishFileSaves();
        EXPECT_GE(deliverReports(), toggle == 0 ? 1 : 0);
    }
    EXPECT_EQ(trayBalloonCount(), 1);
    EXPECT_NE(wcsstr(lastTrayBalloon(), settingsPath), nullptr) << "where";
    SettingsRecord back;
    ASSERT_EQ(readSettingsFile(settingsPath, back), FileRead::Read);
    EXPECT_EQ(back, SettingsRecord{}) << "the file changed";

    // The rules are told apart from the settings, also once.
    ASSERT_TRUE(writeWhole(rulesPath, {}));
    SetFileAttributesW(rulesPath, FILE_ATTRIBUTE_READONLY);
    ExclusionEntry e;
    e.className = L"Notepad";
    e.windowName = L"*";
    for (int save = 0; save < 2; ++save) {
        ExclusionList.entries.push_back(e);
        saveExclusions();
        finishFileSaves();
        deliverReports();
    }
    EXPECT_EQ(trayBalloonCount(), 2);
    EXPECT_NE(wcsstr(lastTrayBalloon(), rulesPath), nullptr);
}

} // namespace
