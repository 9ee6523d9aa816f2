// The tray menu as the user meets it: menu 129 from the linked resources, shown by the
// real code in the real menu loop and read while it is open; the clicks on the icon,
// pinning the pointer, and the warning when the menu cannot be loaded.
#include "box_reader.h"
#include "core/app.h"
#include "core/settings.h"
#include "core/file_saver.h"
#include "core/settings_file.h"
#include "core/view.h"
#include "res/resource.h"
#include "settingsdlg/settings_dialog.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct MenuItem {
    UINT id = 0;
    std::wstring text;
    UINT type = 0;
    UINT state = 0;
};

std::vector<MenuItem> readMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 512;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        items.push_back({info.wID, text, info.fType, info.fState});
    }
    return items;
}

const MenuItem* findItem(const std::vector<MenuItem>& items, UINT id) {
    for (const MenuItem& m : items)
        if (m.id == id && !(m.type & MFT_SEPARATOR))
            return &m;
    return nullptr;
}

TEST(TrayMenuResource, TwoColumnsOfHelpPagesAndCommands) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY));
    ASSERT_TRUE(menu);
    wchar_t name[32] = {};
    GetMenuStringW(menu, 0, name, 32, MF_BYPOSITION);
    EXPECT_STREQ(name, L"trackmenu");
    const std::vector<MenuItem> items = readMenu(GetSubMenu(menu, 0));
    DestroyMenu(menu);

    const struct {
        const wchar_t* text; // null: separator
        UINT id;
        bool greyed;
        bool columnBreak;
    } want[] = {
        {L"取扱説明書", 32777, true, false},
        {L"はじめに(&F)...", 166, false, false},
        {L"使い方(&U)...", 167, false, false},
        {L"削除(I)...", 168, false, false},
        {L"ウィンドウが無い(&W)...", 169, false, false},
        {L"制限(&L)...", 171, false, false},
        {L"止めたい(&T)...", 170, false, false},
        {L"ファイル(&O)...", 174, false, false},
        {L"環境(&R)...", 173, false, false},
        {L"連絡(&A)...", 175, false, false},
        {nullptr, 0, false, false},
        {L"取り消し(&C)\tEsc", 2, false, false},
        {L"除外ウィンドウ(&P)...", 130, false, false},
        {L"設定とバージョン情報(&A)...", 104, false, true},
        {nullptr, 0, false, false},
        {L"仮想全域を表示(&W)...\t左クリック", 165, false, false},
        {nullptr, 0, false, false},
        {L"ウィンドウの整列", 32774, true, false},
        {L"重ねて表示(&S)", 32772, false, false},
        {L"大きさを保持して重ねて表示", 32773, false, false},
        {L"上下に並べて表示(&H)", 163, false, false},
        {L"左右に並べて表示(&E)", 164, false, false},
        {nullptr, 0, false, false},
        {L"「切」 にする(&O)\tScroll Lock", 132, false, false},
        {L"Orvalisを終了(&X)", 105, false, false},
        {nullptr, 0, false, false},
        {L"十字カーソル", 106, false, false},
        {L"十字カーソル 目盛付", 107, false, false},
    };
    ASSERT_EQ(items.size(), std::size(want));
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuItem& m = items[i];
        if (!want[i].text) {
            EXPECT_TRUE(m.type & MFT_SEPARATOR) << "item " << i;
            continue;
        }
        EXPECT_EQ(m.text, want[i].text) << "item " << i;
        EXPECT_EQ(m.id, want[i].id) << "item " << i;
        EXPECT_EQ((m.state & MFS_GRAYED) != 0, want[i].greyed) << "item " << i;
        // The vertical bar between the columns: MF_MENUBARBREAK on the first item of
        // the second column and nowhere else.
        EXPECT_EQ((m.type & MFT_MENUBARBREAK) != 0, want[i].columnBreak) << "item " << i;
        EXPECT_FALSE(m.state & MFS_CHECKED) << "item " << i;
    }
}

// The owner window of the shown menu: it reads the menu when it opens, notes where the
// menu window stands, and closes it from a timer inside the menu loop.
struct Shown {
    bool opened = false;
    std::vector<MenuItem> items;
    RECT menuRect{};
    int ticks = 0;
};
Shown shown;

BOOL CALLBACK findMenuWindow(HWND w, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32768") != 0 || !IsWindowVisible(w))
        return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

LRESULT CALLBACK ownerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITMENUPOPUP) {
        shown.opened = true;
        shown.items = readMenu(reinterpret_cast<HMENU>(wParam));
        SetTimer(w, 1, 20, nullptr);
    } else if (msg == WM_TIMER && wParam == 1) {
        HWND menuWindow = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findMenuWindow,
                          reinterpret_cast<LPARAM>(&menuWindow));
        // Read the menu window once it shows; give up after two seconds either way.
        if (menuWindow || ++shown.ticks > 100) {
            if (menuWindow)
                GetWindowRect(menuWindow, &shown.menuRect);
            KillTimer(w, 1);
            EndMenu();
        }
    }
    return DefWindowProcW(w, msg, wParam, lParam);
}

struct TitledWindowSearch {
    DWORD pid;
    bool found;
};
BOOL CALLBACK findTitledWindow(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<TitledWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == f->pid && IsWindowVisible(w) && GetWindowTextLengthW(w) > 0)
        f->found = true;
    return !f->found;
}

struct TrayMenuTest : ::testing::Test {
    HWND window = nullptr;
    HWND fakeDialog = nullptr;
    PROCESS_INFORMATION other{};

    static void SetUpTestSuite() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ownerProc;
        wc.lpszClassName = L"OrvalisTrayOwnerUnderTest";
        RegisterClassExW(&wc);
    }
    void SetUp() override {
        resetAppState();
        resetTrayIcon();
        appInstance = GetModuleHandleW(nullptr);
        lstrcpyW(caption, L"Orvalis");
        Settings = SettingsRecord{};
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        ViewOrigin = {0, 0};
        pointerPinned = 0;
        SettingsDialog = nullptr;
        shown = Shown{};
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"OrvalisTrayOwnerUnderTest", L"Orvalis", 0, 0,
                                 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        MainWindow = window;
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        ClipCursor(nullptr);
        pointerPinned = 0;
        SettingsDialog = nullptr;
        if (fakeDialog)
            DestroyWindow(fakeDialog);
        if (other.hProcess) {
            TerminateProcess(other.hProcess, 0);
            WaitForSingleObject(other.hProcess, 5000);
            CloseHandle(other.hProcess);
            CloseHandle(other.hThread);
        }
        DestroyWindow(window);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        finishFileSaves();
        wchar_t path[260];
        if (settingsFilePath(path))
            DeleteFileW(path);
        resetTrayIcon();
    }
    bool settingsFileExists() const {
        wchar_t path[260];
        finishFileSaves();
        return settingsFilePath(path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    }
    // Sets the pointer and waits until it reads back.
    static bool pointerAt(int x, int y) {
        SetCursorPos(x, y);
        const ULONGLONG deadline = GetTickCount64() + 2000;
        for (;;) {
            POINT p;
            if (GetCursorPos(&p) && p.x == x && p.y == y)
                return true;
            if (GetTickCount64() > deadline)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    // A titled window of another process: notepad of the test desktop's system.
    bool startOtherProgram() {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        wchar_t cmd[] = L"notepad.exe";
        if (!CreateProcessW(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &other)) {
            other = {}; // what a failed start leaves there is no handle of ours to close
            return false;
        }
        WaitForInputIdle(other.hProcess, 10000);
        const ULONGLONG deadline = GetTickCount64() + 10000;
        while (GetTickCount64() < deadline) {
            TitledWindowSearch find{other.dwProcessId, false};
            EnumWindows(findTitledWindow, reinterpret_cast<LPARAM>(&find));
            if (find.found)
                return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    }
};

TEST_F(TrayMenuTest, RightClickShowsTheMenuCentredOnThePointerWithTodaysState) {
    ASSERT_TRUE(pointerAt(500, 400));
    onTrayNotify(WM_RBUTTONUP);
    ASSERT_TRUE(shown.opened);
    // No window of another program: nothing to cascade or tile; keeping sizes stays.
    const struct {
        UINT id;
        bool greyed;
    } states[] = {{32772, true}, {163, true},  {164, true},  {32773, false},
                  {104, false},  {106, false}, {107, false}, {32777, true}};
    for (const auto& s : states) {
        const MenuItem* m = findItem(shown.items, s.id);
        ASSERT_TRUE(m) << s.id;
        EXPECT_EQ((m->state & MFS_GRAYED) != 0, s.greyed) << s.id;
    }
    EXPECT_FALSE(findItem(shown.items, 106)->state & MFS_CHECKED);
    EXPECT_EQ(findItem(shown.items, 165)->text, L"仮想全域を表示(&W)...\t左クリック");
    EXPECT_EQ(findItem(shown.items, 132)->text, L"「切」 にする(&O)\tScroll Lock");

    const int cx = (shown.menuRect.left + shown.menuRect.right) / 2;
    const int cy = (shown.menuRect.top + shown.menuRect.bottom) / 2;
    EXPECT_NEAR(cx, 500, 1);
    EXPECT_NEAR(cy, 400, 1);
    // Afterwards the owner gets a null message, so the menu is not left half-closed.
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, window, WM_NULL, WM_NULL, PM_REMOVE));
}

TEST_F(TrayMenuTest, MenuFollowsTheSettingsTheDialogAndOtherProgramsWindows) {
    Settings.scrollEnabled = 0;
    Settings.trayClickTogglesScroll = 1;
    Settings.toggleKey = kToggleCapsLock;
    Settings.crossCursor = 1;
    fakeDialog = CreateWindowExW(0, L"Static", L"設定", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    SettingsDialog = fakeDialog;
    ASSERT_TRUE(startOtherProgram());

    onTrayNotify(WM_RBUTTONUP);
    ASSERT_TRUE(shown.opened);
    EXPECT_TRUE(findItem(shown.items, 104)->state & MFS_GRAYED);
    for (UINT id : {32772u, 32773u, 163u, 164u})
        EXPECT_FALSE(findItem(shown.items, id)->state & MFS_GRAYED) << id;
    EXPECT_TRUE(findItem(shown.items, 106)->state & MFS_CHECKED);
    EXPECT_FALSE(findItem(shown.items, 107)->state & MFS_CHECKED);
    EXPECT_EQ(findItem(shown.items, 165)->text, L"仮想全域を表示(&W)...");
    EXPECT_EQ(findItem(shown.items, 132)->text, L"「入」 にする(&O)\tCaps Lock");

    // Each showing starts from the resource again: nothing sticks from the last one.
    Settings.toggleKey = kToggleNone;
    Settings.crossCursor = 0;
    SettingsDialog = nullptr;
    shown = Shown{};
    onTrayNotify(WM_RBUTTONUP);
    ASSERT_TRUE(shown.opened);
    EXPECT_FALSE(findItem(shown.items, 104)->state & MFS_GRAYED);
    EXPECT_FALSE(findItem(shown.items, 106)->state & MFS_CHECKED);
    EXPECT_EQ(findItem(shown.items, 132)->text, L"「入」 にする(&O)");
}

TEST_F(TrayMenuTest, LeftClickTogglesMovementOnlyWhenSetTo) {
    onTrayNotify(WM_LBUTTONUP); // opens the overview: movement stays as it is
    EXPECT_EQ(Settings.scrollEnabled, 1);
    EXPECT_FALSE(settingsFileExists());

    Settings.trayClickTogglesScroll = 1;
    onTrayNotify(WM_LBUTTONUP);
    EXPECT_EQ(Settings.scrollEnabled, 0);
    ASSERT_TRUE(settingsFileExists());
    wchar_t path[260];
    ASSERT_TRUE(settingsFilePath(path));
    SettingsRecord stored;
    ASSERT_EQ(readSettingsFile(path, stored), FileRead::Read);
    EXPECT_EQ(stored.scrollEnabled, 0);
    EXPECT_EQ(trayGlyphLayout().state, 0); // the picture follows
    onTrayNotify(WM_LBUTTONUP);
    EXPECT_EQ(Settings.scrollEnabled, 1);

    // Button-down, double clicks and other buttons do nothing.
    for (LPARAM m : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONDOWN,
                     WM_MBUTTONDBLCLK, WM_XBUTTONUP})
        onTrayNotify(m);
    EXPECT_EQ(Settings.scrollEnabled, 1);
    EXPECT_EQ(pointerPinned, 0);
    EXPECT_FALSE(shown.opened);
}

TEST_F(TrayMenuTest, MiddleClickPinsThePointerAndAnyNextClickFreesIt) {
    ASSERT_TRUE(pointerAt(300, 200));
    onTrayNotify(WM_MBUTTONUP);
    EXPECT_EQ(pointerPinned, 1);
    RECT clip{};
    GetClipCursor(&clip);
    EXPECT_EQ(clip.left, 300);
    EXPECT_EQ(clip.top, 200);
    EXPECT_EQ(clip.right, 301);
    EXPECT_EQ(clip.bottom, 201);

    // While pinned a right click only frees the pointer: no menu.
    onTrayNotify(WM_RBUTTONUP);
    EXPECT_EQ(pointerPinned, 0);
    EXPECT_FALSE(shown.opened);
    GetClipCursor(&clip);
    EXPECT_GT(clip.right - clip.left, 1);

    // A left click while pinned frees it without toggling; a middle click too.
    Settings.trayClickTogglesScroll = 1;
    onTrayNotify(WM_MBUTTONUP);
    ASSERT_EQ(pointerPinned, 1);
    onTrayNotify(WM_LBUTTONUP);
    EXPECT_EQ(pointerPinned, 0);
    EXPECT_EQ(Settings.scrollEnabled, 1);
    EXPECT_FALSE(settingsFileExists());
    onTrayNotify(WM_MBUTTONUP);
    ASSERT_EQ(pointerPinned, 1);
    onTrayNotify(WM_MBUTTONUP);
    EXPECT_EQ(pointerPinned, 0);
}

TEST_F(TrayMenuTest, MouseMoveSetsTheTooltip) {
    ViewOrigin = {RealScreenSize.w / 2, 0};
    onTrayNotify(WM_MOUSEMOVE);
    EXPECT_STREQ(lastTrayTooltip(),
                 L"Orvalis 「入」\n　　　　　　━　1.5 / 2\n　　　　　　┃　1.0 / 2");
}

TEST_F(TrayMenuTest, AMissingMenuIsReportedAndNothingShows) {
    appInstance = GetModuleHandleW(L"kernel32.dll"); // a module without menu 129
    boxText.clear();
    boxCaption.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, dismissBox);
    onTrayNotify(WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxText, L"通知領域用のメニューを読みこめませんでした。");
    EXPECT_EQ(boxCaption, L"Orvalis");
    EXPECT_FALSE(shown.opened);
}

} // namespace
