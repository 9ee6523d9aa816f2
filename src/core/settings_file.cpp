// Orvalis.dat through Win32 file calls. The new file is written beside the old one and
// swapped in by one rename, so a crash or a full disk never leaves the user without it.
#include "core/settings_file.h"

#include "core/app.h"
#include "core/file_replace.h"

#include <shlwapi.h>
#include <windows.h>

bool settingsFilePath(wchar_t (&path)[260]) {
    DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260)
        return false;
    return PathRenameExtensionW(path, L".dat") != FALSE;
}

bool readSettingsFile(const wchar_t* path, SettingsRecord& out) {
    HANDLE f =
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    if (GetFileSize(f, nullptr) != kSettingsFileBytes) {
        CloseHandle(f);
        DeleteFileW(path); // the next save writes a fresh file
        return false;
    }
    std::array<std::uint8_t, kSettingsFileBytes> bytes{};
    DWORD got = 0;
    BOOL ok = ReadFile(f, bytes.data(), kSettingsFileBytes, &got, nullptr);
    CloseHandle(f);
    // A short read leaves zeros, which decode field by field like any damaged file.
    if (!ok)
        return false;
    out = decodeSettings(settingsImageFromBytes(bytes));
    return true;
}

bool writeSettingsFile(const wchar_t* path, const SettingsRecord& s) {
    const auto bytes = settingsBytesFromImage(encodeSettings(s));
    return replaceFileWhole(path, bytes.data(), bytes.size());
}

void loadSettings() {
    wchar_t path[260];
    if (!settingsFilePath(path))
        return;
    readSettingsFile(path, Settings);
}

void saveSettings() {
    wchar_t path[260];
    if (!settingsFilePath(path)) {
        showMessage(L"設定ファイル名の作成に失敗したため、\n設定ファイルを書き出せませんでした。",
                    MB_ICONWARNING);
        return;
    }
    writeSettingsFile(path, Settings); // a file that cannot be written is not reported
}
