// The settings dialog in the real program: opened from the tray menu with the mouse, its
// menu item greyed while it is open, the keyboard moving through its controls by the
// program's own main loop, and Enter applying and writing the settings file.
#include "harness.h"

#include "core/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

std::vector<unsigned char> bytesOf(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

std::string printable(const std::vector<unsigned char>& bytes) {
    std::string s;
    for (size_t i = 0; i < bytes.size(); i += 2)
        s += bytes[i] ? static_cast<char>(bytes[i]) : '_';
    return s;
}

HWND visibleWindowOf(DWORD pid, const wchar_t* cls) {
    HWND w = findWindowOfProcess(pid, cls);
    return w && IsWindowVisible(w) ? w : nullptr;
}

// The control that has the keyboard in the program's main thread.
int focusedId(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || !info.hwndFocus ||
        GetParent(info.hwndFocus) != dialog)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

TEST(SettingsDialogRun, OpensFromTheTrayMenuTabsThroughItsControlsAndEnterApplies) {
    OrvalisRun run;
    const SettingsRecord start; // 2 x 2, movement by Ctrl, Scroll Lock
    run.prepare(bytesOf(start));
    ASSERT_TRUE(run.start());
    const POINT at{600, 400};
    setCursor(at.x, at.y);

    // The shell's right-click notification opens the menu where the pointer is; the
    // first item of its second column is the dialog's.
    const auto openMenu = [&] {
        PostMessageW(run.mainWindow, 0x8064 /* WM_TRAYICON */, 1, WM_RBUTTONUP);
        return waitUntil([&] { return visibleWindowOf(run.proc.pid, L"#32768") != nullptr; });
    };
    ASSERT_TRUE(openMenu()) << "no tray menu";
    RECT menu{};
    GetWindowRect(visibleWindowOf(run.proc.pid, L"#32768"), &menu);
    leftClickAt(menu.right - 20, menu.top + 10);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = visibleWindowOf(run.proc.pid, L"#32770")); }))
        << "the dialog did not open";
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EXPECT_STREQ(title, L"Orvalis 設定とバージョン情報");
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_NEAR((r.left + r.right) / 2, at.x, 2) << "not centred where the menu opened";
    EXPECT_NEAR((r.top + r.bottom) / 2, at.y, 2);

    // Tab goes from tab stop to tab stop: one per radio group, each check box.
    leftClickAt(r.left + 60, r.top + 8); // the caption: the dialog has the keyboard
    ASSERT_TRUE(waitUntil([&] { return focusedId(dialog) == 1106; }))
        << "first control has no focus: " << focusedId(dialog);
    keyTap(VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return focusedId(dialog) == 1110; })) << focusedId(dialog);
    keyTap(VK_TAB);
    ASSERT_TRUE(waitUntil([&] { return focusedId(dialog) == 1010; })) << focusedId(dialog);
    keyTap(VK_SPACE); // "Ctrl を押している間だけ" off, at once
    const auto ctrlHoldShown = [&] {
        return SendDlgItemMessageW(dialog, 1010, BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    ASSERT_TRUE(waitUntil([&] { return !ctrlHoldShown(); })) << "Space did not reach the box";
    run.barrier();
    saveScreenshot(shotDir() + L"settings_dialog.png");
    run.barrier();
    EXPECT_EQ(readFile(run.settingsPath()), bytesOf(start)) << "saved before apply";

    // While the dialog exists its menu item is greyed: a click on it chooses nothing and
    // the menu stays open (the menu of another process cannot be read under Wine).
    ASSERT_TRUE(openMenu());
    GetWindowRect(visibleWindowOf(run.proc.pid, L"#32768"), &menu);
    leftClickAt(menu.right - 20, menu.top + 10);
    pumpFor(500);
    EXPECT_TRUE(visibleWindowOf(run.proc.pid, L"#32768")) << "the greyed item was chosen";
    keyTap(VK_ESCAPE);
    ASSERT_TRUE(waitUntil([&] { return visibleWindowOf(run.proc.pid, L"#32768") == nullptr; }));
    EXPECT_EQ(visibleWindowOf(run.proc.pid, L"#32770"), dialog);

    leftClickAt(r.left + 60, r.top + 8);
    ASSERT_TRUE(waitUntil([&] { return focusedId(dialog) == 1010; }));
    ASSERT_FALSE(ctrlHoldShown());
    keyTap(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(dialog); })) << "Enter did not apply";
    SettingsRecord want = start;
    want.ctrlHoldMode = 0;
    EXPECT_TRUE(waitUntil([&] { return readFile(run.settingsPath()) == bytesOf(want); }))
        << "the file holds: " << printable(readFile(run.settingsPath()));

    EXPECT_TRUE(run.stop());
}

} // namespace
