// The real program's start, single instance, settings file and exit.
#include "harness.h"

#include "core/settings.h"
#include "exclusion/exclusion_codec.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

std::vector<unsigned char> bytesOf(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

bool fileBecomes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    return waitUntil([&] { return readFile(path) == bytes; }, 3000);
}

TEST(Startup, DefaultsWithoutFileAndToggleWritesThem) {
    OrvalisRun run;
    run.prepare();
    ASSERT_TRUE(run.start()) << "main window did not come up";
    // Nothing is written at start.
    EXPECT_TRUE(readFile(run.settingsPath()).empty());

    // The movement toggle writes the whole record: the defaults with movement off.
    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 132, 0, SMTO_BLOCK, 5000, &r));
    auto expected = bytesOf(SettingsRecord{});
    expected[0] = '0';
    // The save lands a moment later: the saver thread writes it, not the main thread.
    EXPECT_TRUE(fileBecomes(run.settingsPath(), expected));

    // Toggled back on, the file follows.
    ASSERT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 132, 0, SMTO_BLOCK, 5000, &r));
    EXPECT_TRUE(fileBecomes(run.settingsPath(), bytesOf(SettingsRecord{})));

    EXPECT_TRUE(run.stop()) << "WM_CLOSE did not end the process";
    // The exit writes nothing: the last toggle's file stands.
    EXPECT_EQ(readFile(run.settingsPath()), bytesOf(SettingsRecord{}));
}

TEST(Startup, SecondInstanceExitsAtOnceShowingNothing) {
    OrvalisRun first;
    first.prepare();
    ASSERT_TRUE(first.start());

    TempDir other;
    for (const wchar_t* name : {L"Orvalis.exe", L"ovl.dll"})
        CopyFileW((binDir() + name).c_str(), (other.path + name).c_str(), FALSE);
    Process second = startProcess(other.path + L"Orvalis.exe");
    ASSERT_TRUE(second.process);
    EXPECT_EQ(second.wait(10000), 0u);
    // It made no window and wrote no file.
    EXPECT_EQ(findWindowOfProcess(second.pid, nullptr), nullptr);
    EXPECT_TRUE(readFile(other.path + L"Orvalis.dat").empty());
    second.close();

    // The first one still runs and answers.
    EXPECT_TRUE(first.proc.running());
    EXPECT_TRUE(first.barrier());
    EXPECT_TRUE(first.stop());
}

TEST(Startup, StoredSettingsAreLoadedAndDamagedFilesKeptAside) {
    SettingsRecord stored;
    stored.scrollEnabled = 0;
    stored.columns = 3;
    stored.rows = 1;
    stored.delay = 30;
    stored.startPosition = u'9';
    {
        OrvalisRun run;
        run.prepare(bytesOf(stored));
        ASSERT_TRUE(run.start());
        DWORD_PTR r = 0;
        ASSERT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 132, 0, SMTO_BLOCK, 5000, &r));
        SettingsRecord expected = stored;
        expected.scrollEnabled = 1;
        EXPECT_TRUE(fileBecomes(run.settingsPath(), bytesOf(expected)));
        EXPECT_TRUE(run.stop());
    }
    {
        // An 83-byte file holds no whole record: the defaults apply, and the file stays until
        // the first save, which keeps it as "Orvalis.dat.bak".
        OrvalisRun run;
        const std::vector<unsigned char> cut(83, '0');
        run.prepare(cut);
        ASSERT_TRUE(run.start());
        EXPECT_EQ(readFile(run.settingsPath()), cut);
        DWORD_PTR r = 0;
        ASSERT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 132, 0, SMTO_BLOCK, 5000, &r));
        auto expected = bytesOf(SettingsRecord{});
        expected[0] = '0';
        EXPECT_TRUE(fileBecomes(run.settingsPath(), expected));
        EXPECT_TRUE(run.stop());
        EXPECT_EQ(readFile(run.settingsPath() + L".bak"), cut);
    }
}

TEST(Startup, MainWindowStaysHiddenAndTiny) {
    OrvalisRun run;
    run.prepare();
    ASSERT_TRUE(run.start());
    EXPECT_FALSE(IsWindowVisible(run.mainWindow));
    wchar_t title[64] = {};
    GetWindowTextW(run.mainWindow, title, 64);
    EXPECT_STREQ(title, L"Orvalis");
    EXPECT_TRUE(GetWindowLongW(run.mainWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // Unknown commands and the menu's cancel item change nothing and keep it alive.
    DWORD_PTR r = 0;
    for (WPARAM id : {2, 172, 32774})
        EXPECT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, id, 0, SMTO_BLOCK, 5000, &r));
    EXPECT_TRUE(readFile(run.settingsPath()).empty());
    EXPECT_TRUE(saveScreenshot(shotDir() + L"startup.png"));
    EXPECT_TRUE(run.stop());
}

BOOL CALLBACK appendStatic(HWND child, LPARAM out) {
    wchar_t cls[16], text[512];
    if (GetClassNameW(child, cls, 16) && lstrcmpiW(cls, L"Static") == 0 &&
        GetWindowTextW(child, text, 512) > 0)
        reinterpret_cast<std::wstring*>(out)->append(text);
    return TRUE;
}

// Both files held open by another program while the program starts: it warns once about
// the settings, and neither a toggle nor the exit writes over the user's files.
TEST(Startup, FilesHeldAtStartSurviveAToggleAndTheExit) {
    OrvalisRun run;
    SettingsRecord users;
    users.columns = 4;
    users.rows = 3;
    users.delay = 50;
    run.prepare(bytesOf(users));
    const std::wstring rulesPath = run.dir.path + L"除外ウィンドウ.dat";
    const auto rules = encodeExclusionFile({{L"Notepad", kNoImageIndex, L"*"}});
    ASSERT_TRUE(writeFile(rulesPath, {rules.begin(), rules.end()}));
    auto hold = [](const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    HANDLE heldSettings = hold(run.settingsPath());
    HANDLE heldRules = hold(rulesPath);
    ASSERT_NE(heldSettings, INVALID_HANDLE_VALUE);
    ASSERT_NE(heldRules, INVALID_HANDLE_VALUE);

    run.proc = startProcess(run.exePath());
    HWND box = nullptr;
    std::wstring text;
    ASSERT_TRUE(waitUntil(
        [&] {
            box = findWindowOfProcess(run.proc.pid, L"#32770");
            text.clear();
            if (box != nullptr && IsWindowVisible(box))
                EnumChildWindows(box, appendStatic, reinterpret_cast<LPARAM>(&text));
            return !text.empty();
        },
        15000));
    EXPECT_EQ(text, L"設定ファイルを読み込めなかったため、\n設定の変更は保存しません。");
    wchar_t title[64] = {};
    GetWindowTextW(box, title, 64);
    EXPECT_STREQ(title, L"Orvalis");
    EXPECT_TRUE(saveScreenshot(shotDir() + L"settings-unreadable.png"));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }, 5000)) << "the message stayed up";

    // The main window answers inside a message's own loop too: once it answers and the
    // program idles, start-up is over, and a second message would be up by then.
    ASSERT_TRUE(waitUntil(
        [&] {
            run.mainWindow = findWindowOfProcess(run.proc.pid, L"ZerdaneOrvalis");
            return run.mainWindow && run.barrier(200);
        },
        15000));
    WaitForInputIdle(run.proc.process, 5000);
    ASSERT_TRUE(run.barrier());
    CloseHandle(heldSettings);
    CloseHandle(heldRules);
    EXPECT_EQ(findWindowOfProcess(run.proc.pid, L"#32770"), nullptr) << "a second message";

    DWORD_PTR r = 0;
    ASSERT_TRUE(SendMessageTimeoutW(run.mainWindow, WM_COMMAND, 132, 0, SMTO_BLOCK, 5000, &r));
    EXPECT_TRUE(run.stop());
    EXPECT_EQ(readFile(run.settingsPath()), bytesOf(users));
    EXPECT_EQ(readFile(rulesPath), std::vector<unsigned char>(rules.begin(), rules.end()));
}

} // namespace
