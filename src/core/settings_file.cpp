// Orvalis.dat through Win32 file calls. The new file is written beside the old one and
// swapped in by one rename on the saver thread, so a crash or a full disk never leaves the
// user without it, and a save never holds up the main thread.
#include "core/settings_file.h"

#include "core/app.h"
#include "core/file_saver.h"

#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <new>

namespace {

// Set when the file exists but could not be read: the defaults in memory are not the
// user's settings, and writing them would replace the user's with them.
bool savesRefused = false;

unsigned saveCalls = 0;

// Bigger files are not settings files at all, but they are not deleted either.
constexpr std::uint64_t kLargestRead = 65536;

std::array<std::uint8_t, kSettingsFileBytes> encodedBytes(const SettingsRecord& s) {
    return settingsBytesFromImage(encodeSettings(s));
}

std::array<std::uint8_t, kSettingsFileBytes> asArray(const std::vector<std::uint8_t>& bytes) {
    std::array<std::uint8_t, kSettingsFileBytes> a{};
    std::copy(bytes.begin(), bytes.end(), a.begin());
    return a;
}

// A temporary file is whole when it is what the program writes for the record it holds.
bool wholeSettingsFile(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() == kSettingsFileBytes &&
           encodedBytes(decodeSettings(settingsImageFromBytes(asArray(bytes)))) == asArray(bytes);
}

} // namespace

bool settingsFilePath(wchar_t (&path)[260]) {
    DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260)
        return false;
    return PathRenameExtensionW(path, L".dat") != FALSE;
}

FileRead readSettingsFile(const wchar_t* path, SettingsRecord& out) {
    std::vector<std::uint8_t> bytes;
    const FileRead result = readFileWhole(path, kLargestRead, wholeSettingsFile, bytes);
    if (result != FileRead::Read)
        return result;
    if (bytes.size() != kSettingsFileBytes) {
        DeleteFileW(path); // not a settings file; the next save writes a fresh one
        return FileRead::Missing;
    }
    out = decodeSettings(settingsImageFromBytes(asArray(bytes)));
    return FileRead::Read;
}

bool writeSettingsFile(const wchar_t* path, const SettingsRecord& s) {
    const auto bytes = encodedBytes(s);
    return replaceFileWhole(path, bytes.data(), bytes.size());
}

FileRead loadSettingsFile(const wchar_t* path, SettingsRecord& out) {
    const FileRead result = readSettingsFile(path, out);
    savesRefused = result == FileRead::Unreadable;
    return result;
}

bool saveSettingsFile(const wchar_t* path, const SettingsRecord& s) {
    if (savesRefused)
        return false;
    const auto bytes = encodedBytes(s);
    try {
        queueFileSave(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), false, false);
    } catch (const std::bad_alloc&) {
        // dropped like a failed save
    }
    return true;
}

void resetSettingsFileState() {
    savesRefused = false;
}

void loadSettings() {
    wchar_t path[260];
    if (!settingsFilePath(path))
        return;
    if (loadSettingsFile(path, Settings) == FileRead::Unreadable)
        showMessage(L"設定ファイルを読み込めなかったため、\n設定の変更は保存しません。",
                    MB_ICONWARNING);
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
