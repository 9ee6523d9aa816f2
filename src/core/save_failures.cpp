// The balloon for a failed save. The file on disk stays as it was; what the user changed
// lives on in memory until the program ends, and the balloon says so.
#include "core/save_failures.h"

#include "core/file_saver.h"
#include "core/settings_file.h"
#include "exclusion/exclusion_file.h"
#include "tray/tray_icon.h"
#include "tray/tray_text.h"

#include <windows.h>

namespace {

struct Told {
    bool settings = false;
    bool exclusions = false;
};
Told told;

bool samePath(const std::wstring& a, const wchar_t* b) {
    return lstrcmpiW(a.c_str(), b) == 0;
}

void tell(bool& done, const wchar_t* title, const std::wstring& path) {
    if (done)
        return;
    done = true;
    const std::wstring text = balloonTextWithPath(
        L"このファイルに書き込めないため、変更はプログラムを終えるまでしか残りません。", path);
    showTrayBalloon(title, text.c_str(), BalloonIcon::Warning);
}

} // namespace

void tellFailedSaves() {
    wchar_t settingsPath[260] = {};
    wchar_t rulesPath[260] = {};
    const bool haveSettings = settingsFilePath(settingsPath);
    const bool haveRules = exclusionFilePath(rulesPath);
    for (const std::wstring& path : takeFailedSaves()) {
        if (haveSettings && samePath(path, settingsPath))
            tell(told.settings, L"設定を保存できませんでした", path);
        else if (haveRules && samePath(path, rulesPath))
            tell(told.exclusions, L"除外ウィンドウを保存できませんでした", path);
    }
}

void resetSaveFailures() {
    told = Told{};
    takeFailedSaves();
}
