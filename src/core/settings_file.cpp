// Orvalis.dat through Win32 file calls. The new file is written beside the old one and
// swapped in by one rename on the saver thread, so a crash or a full disk never leaves the
// user without it, and a save never holds up the main thread.
#include "core/settings_file.h"

#include "core/app.h"
#include "core/file_saver.h"
#include "tray/tray_icon.h"

#include <shlwapi.h>
#include <windows.h>

#include <new>

namespace {

// Set when the file exists but could not be read: the defaults in memory are not the
// user's settings, and writing them would replace the user's with them.
bool savesRefused = false;
// Set when the file found at start is not what a save writes (another length): the first
// save keeps it under a backup name before replacing it.
bool keepBeforeSave = false;

unsigned saveCalls = 0;

// Bigger files are not settings files at all, but they are not deleted either.
constexpr std::uint64_t kLargestRead = 65536;

std::array<std::uint8_t, kSettingsFileBytes> encodedBytes(const SettingsRecord& s) {
    return settingsBytesFromImage(encodeSettings(s));
}

bool wholeSettingsFile(const std::vector<std::uint8_t>& bytes) {
    return settingsBytesWhole(bytes.data(), bytes.size());
}

// Reads the file; `out` changes only when it holds a whole record.
FileRead readInto(const wchar_t* path, SettingsRecord& out, bool& keep) {
    std::vector<std::uint8_t> bytes;
    const FileRead result = readFileWhole(path, kLargestRead, wholeSettingsFile, bytes);
    keep = false;
    if (result != FileRead::Read)
        return result;
    const SettingsFileReading reading = readSettingsBytes(bytes.data(), bytes.size());
    keep = reading.keepBeforeSave;
    if (reading.hasRecord)
        out = reading.record;
    return FileRead::Read;
}

// No settings file yet: the first start. On current systems a new icon starts hidden in
// the overflow of the notification area, and nothing else of the program shows.
void showFirstStartBalloon() {
    showTrayBalloon(
        L"Orvalis は通知領域で動いています",
        L"このアイコンを右クリックするとメニューが開きます。左クリックでは仮想全域を表示します。\n"
        L"アイコンが見えないときは、タスク バーの「^」（隠れているインジケーターを表示）"
        L"を押してください。\nそこからタスク バーへドラッグすると、いつも表示されます。",
        BalloonIcon::Info);
}

} // namespace

bool settingsFilePath(wchar_t (&path)[260]) {
    DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260)
        return false;
    return PathRenameExtensionW(path, L".dat") != FALSE;
}

FileRead readSettingsFile(const wchar_t* path, SettingsRecord& out) {
    bool keep = false;
    return readInto(path, out, keep);
}

bool writeSettingsFile(const wchar_t* path, const SettingsRecord& s) {
    const auto bytes = encodedBytes(s);
    return replaceFileWhole(path, bytes.data(), bytes.size());
}

FileRead loadSettingsFile(const wchar_t* path, SettingsRecord& out) {
    const FileRead result = readInto(path, out, keepBeforeSave);
    savesRefused = result == FileRead::Unreadable;
    return result;
}

bool saveSettingsFile(const wchar_t* path, const SettingsRecord& s) {
    if (savesRefused)
        return false;
    const auto bytes = encodedBytes(s);
    try {
        queueFileSave(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), false,
                      keepBeforeSave);
        keepBeforeSave = false; // the saver keeps the file until its backup is made
    } catch (const std::bad_alloc&) {
        // dropped like a failed save
    }
    return true;
}

void resetSettingsFileState() {
    savesRefused = false;
    keepBeforeSave = false;
}

void loadSettings() {
    wchar_t path[260];
    if (!settingsFilePath(path))
        return;
    switch (loadSettingsFile(path, Settings)) {
    case FileRead::Unreadable:
        showMessage(L"設定ファイルを読み込めなかったため、\n設定の変更は保存しません。",
                    MB_ICONWARNING);
        break;
    case FileRead::Missing: showFirstStartBalloon(); break;
    case FileRead::Read: break;
    }
}

unsigned settingsSaveCount() {
    return saveCalls;
}

void saveSettings() {
    ++saveCalls;
    wchar_t path[260];
    if (!settingsFilePath(path)) {
        showMessage(L"設定ファイル名の作成に失敗したため、\n設定ファイルを書き出せませんでした。",
                    MB_ICONWARNING);
        return;
    }
    saveSettingsFile(path, Settings); // a file that cannot be written is not reported
}
