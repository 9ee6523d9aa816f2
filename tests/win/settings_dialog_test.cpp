// The settings dialog built from the linked template 103 and driven through its controls
// as a user does: where it opens and what it shows, clicks and trackbar moves that act at
// once, apply writing the settings file, close putting everything back, the maker line
// and the desktop-icon check.
#include "box_reader.h"
#include "core/app.h"
#include "core/file_saver.h"
#include "core/input.h"
#include "core/settings.h"
#include "core/settings_file.h"
#include "core/file_saver.h"
#include "core/view.h"
#include "core/view_file.h"
#include "hook/ovl.h"
#include "res/resource.h"
#include "settingsdlg/settings_dialog.h"
#include "settingsdlg/settings_form.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

extern "C" BOOL WINAPI SetShellWindow(HWND);

namespace {

std::vector<std::wstring> openedPages;
void recordPage(HWND, const wchar_t* address) {
    openedPages.push_back(address);
}

std::wstring textOf(HWND w) {
    wchar_t text[256] = {};
    GetWindowTextW(w, text, 256);
    return text;
}

struct SettingsDialogTest : ::testing::Test {
    HWND owner = nullptr;
    HWND dialog = nullptr;

    void SetUp() override {
        resetAppState();
        resetTrayIcon();
        appInstance = GetModuleHandleW(nullptr);
        lstrcpyW(caption, L"Orvalis");
        printWindowEntry = reinterpret_cast<PrintWindowProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "PrintWindow")));
        Settings = SettingsRecord{};
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        WorkArea = {work.left, work.top, work.right, work.bottom};
        ViewOrigin = {0, 0};
        owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"Orvalis", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, nullptr, nullptr);
        MainWindow = owner;
        openedPages.clear();
        openMakerPage = recordPage;
        storeHookFlag(d_bHookRet, 0);
        storeHookFlag(d_bPreventMaximize, 1);
        deleteSettingsFile();
    }
    void TearDown() override {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        DestroyWindow(owner);
        EXPECT_EQ(SettingsDialog, nullptr) << "a destroyed dialog left its handle behind";
        deleteSettingsFile();
        resetTrayIcon();
        storeHookFlag(d_bHookRet, 0);
        storeHookFlag(d_bPreventMaximize, 1);
    }
    // Saves run on a thread of their own: the one an earlier test's apply started may
    // still be writing.
    static void deleteSettingsFile() {
        finishFileSaves();
        wchar_t path[260];
        if (settingsFilePath(path))
            DeleteFileW(path);
        if (viewRecordPath(path))
            DeleteFileW(path);
    }
    static std::vector<unsigned char> settingsFileBytes() {
        finishFileSaves();
        wchar_t path[260];
        if (!settingsFilePath(path))
            return {};
        HANDLE f =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return {};
        std::vector<unsigned char> bytes(200);
        DWORD n = 0;
        ReadFile(f, bytes.data(), 200, &n, nullptr);
        CloseHandle(f);
        bytes.resize(n);
        return bytes;
    }
    void open(POINT at = {400, 300}) {
        trayMenuPoint = at;
        dialog = showSettingsDialog();
        ASSERT_TRUE(IsWindow(dialog));
    }
    HWND item(int id) const { return GetDlgItem(dialog, id); }
    bool checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    // A click as the button itself reports it (automatic buttons toggle first).
    void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    int position(int id) const {
        return static_cast<int>(SendMessageW(item(id), TBM_GETPOS, 0, 0));
    }
    // Moves a trackbar as the keyboard does, so it reports to the dialog.
    void slide(int id, int to) {
        while (position(id) != to) {
            const int before = position(id);
            SendMessageW(item(id), WM_KEYDOWN, before < to ? VK_RIGHT : VK_LEFT, 0);
            SendMessageW(item(id), WM_KEYUP, before < to ? VK_RIGHT : VK_LEFT, 0);
            ASSERT_NE(position(id), before) << "trackbar " << id << " does not move";
        }
    }
};

TEST_F(SettingsDialogTest, OpensOnTheTrayPointWithTheTemplateAndTodaysSettings) {
    Settings.moveDisplay = u'o';
    Settings.toggleKey = kToggleCapsLock;
    Settings.delay = 30;
    ASSERT_NO_FATAL_FAILURE(open({400, 300}));
    EXPECT_EQ(SettingsDialog, dialog);
    EXPECT_EQ(textOf(dialog), L"Orvalis 設定とバージョン情報");
    EXPECT_EQ(textOf(item(kIdGroupProduct)), L"Orvalis 1.0.0"); // the version resource
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);

    RECT r{};
    GetWindowRect(dialog, &r);
    const Point want =
        dialogPosition({400, 300}, {r.right - r.left + 1, r.bottom - r.top + 1}, WorkArea);
    EXPECT_EQ(r.left, want.x);
    EXPECT_EQ(r.top, want.y);
    EXPECT_GE(r.left, WorkArea.left + 1);
    EXPECT_LE(r.bottom, WorkArea.bottom - 1);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ ゴシック");

    // Every control of the template by id: its class and its text.
    const struct {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
    } controls[] = {
        {1001, L"Static", L"Zerdane  https://orvalis.example/"},
        {1106, L"Button", L"仮想全域を表示"},
        {1107, L"Button", L"移動を入／切"},
        {1110, L"Button", L"中クリックで移動を入／切"},
        {1010, L"Button", L"Ctrl を押している間だけ 「入」"},
        {1007, L"Button", L"Num Lock"},
        {1005, L"Button", L"Scroll Lock"},
        {1004, L"Button", L"なし（Ctrl か無し）"},
        {1006, L"Button", L"Caps Lock（Shift + 英数）"},
        {1012, L"Button", L"スタート（タスク バー）寄り"},
        {1013, L"Button", L"左下"},
        {1014, L"Button", L"左上"},
        {1015, L"Button", L"右上"},
        {1016, L"Button", L"右下"},
        {1017, L"Button", L"中央"},
        {1113, L"Button", L"逆へ移動"},
        {1111, L"Button", L"辺でポインタを変更"},
        {1103, L"Button", L"ポインタが辺にある間は移動を継続"},
        {1003, L"msctls_trackbar32", L""},
        {1008, L"msctls_trackbar32", L""},
        {1119, L"Button", L"遅延分無移動"},
        {1120, L"Button", L"実画面単位移動"},
        {1116, L"Button", L"実画面単位で追跡"},
        {1117, L"Static", L"無し"},
        {1104, L"msctls_trackbar32", L""},
        {1118, L"Static", L"積極的に追跡"},
        {1105, L"Button", L"「切」 の時も追跡"},
        {1114, L"Button", L"新ウィンドウを空き画面へ表示"},
        {1115, L"Button", L"Shift で新窓移動を切り替え"},
        {1100, L"Button", L"表示しない"},
        {1101, L"Button", L"仮想全域を表示"},
        {1102, L"Button", L"相対ウィンドウを表示"},
        {1112, L"Button", L"アイコンも移動 （自動整列時除）"},
        {1121, L"Button", L"起動終了時に座標を復元保存"},
        {1108, L"Button", L"精細（XP 以降）"},
        {1109, L"Button", L"粗雑"},
        {1044, L"Button", L" "},
        {2, L"Button", L"閉じる"},
        {1, L"Button", L"適用して閉じる"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(item(c.id));
        wchar_t cls[64] = {};
        GetClassNameW(item(c.id), cls, 64);
        EXPECT_STREQ(cls, c.cls);
        EXPECT_EQ(textOf(item(c.id)), c.text);
    }
    EXPECT_EQ(GetWindowLongW(item(1044), GWL_STYLE) & (BS_TYPEMASK | BS_PUSHLIKE),
              BS_CHECKBOX | BS_PUSHLIKE);
    EXPECT_EQ(GetWindowLongW(item(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(SendMessageW(item(IDI_ORVALIS), STM_GETICON, 0, 0));

    // The controls show the live settings: the overview display greys "continue".
    EXPECT_TRUE(checked(1101));
    EXPECT_FALSE(enabled(1103));
    EXPECT_TRUE(checked(1006));
    EXPECT_EQ(position(1008), 3);
    EXPECT_TRUE(checked(gridButton(2, 2)) && !checked(gridButton(3, 2)));
    EXPECT_TRUE(enabled(1108));

    // The big icon is the program's; WM_GETICON answers for the small one too.
    EXPECT_TRUE(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));

    // A second command 104 brings back the same dialog.
    EXPECT_EQ(showSettingsDialog(), dialog);
}

TEST_F(SettingsDialogTest, ControlsActAtOnceAndApplyWritesTheFileAndTheFlags) {
    ASSERT_NO_FATAL_FAILURE(open());
    const GlyphLayout before = trayGlyphLayout();

    click(1107);    // radio, at click
    click(1113);    // check box, at click
    click(1016);    // radio read at apply
    slide(1003, 4); // trackbar, while dragging
    click(1120);    // whole-screen steps: delay at 0 moves to 1 on screen
    click(gridButton(3, 2));
    EXPECT_EQ(Settings.trayClickTogglesScroll, 1);
    EXPECT_EQ(Settings.reverseDirection, 1);
    EXPECT_EQ(Settings.acceleration, 4);
    EXPECT_EQ(Settings.moveByScreen, 1);
    EXPECT_EQ(position(1008), 1);
    EXPECT_EQ(Settings.startPosition, u't');
    EXPECT_EQ(Settings.columns, 2);
    int gridChecked = 0;
    for (int id = kIdGridFirst; id <= kIdGridLast; ++id)
        gridChecked += checked(id);
    EXPECT_EQ(gridChecked, 6);
    slide(1008, 2);
    EXPECT_EQ(Settings.delay, 20);
    EXPECT_TRUE(settingsFileBytes().empty()) << "nothing is saved before apply";

    click(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    SettingsRecord want;
    want.trayClickTogglesScroll = 1;
    want.reverseDirection = 1;
    want.startPosition = u'3';
    want.acceleration = 4;
    want.delay = 20;
    want.moveByScreen = 1;
    want.columns = 3;
    want.rows = 2;
    EXPECT_EQ(Settings, want);
    const auto image = settingsBytesFromImage(encodeSettings(want));
    EXPECT_EQ(settingsFileBytes(), std::vector<unsigned char>(image.begin(), image.end()));
    EXPECT_EQ(d_bPreventMaximize, 1);
    // The view record names the area that the next start compares with these settings.
    finishFileSaves();
    wchar_t viewPath[260];
    ASSERT_TRUE(viewRecordPath(viewPath));
    const std::optional<ViewRecord> stored = readViewRecord(viewPath);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->columns, 3);
    EXPECT_EQ(stored->rows, 2);
    // The tray picture shows the new area at once.
    EXPECT_NE(trayGlyphLayout(), before);
    EXPECT_EQ(trayGlyphLayout(),
              layoutGlyph({GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)},
                          RealScreenSize, 3, 2, ViewOrigin, 1));

    // A 1 x 1 area lets maximizing through, and a view outside it comes back in.
    ViewOrigin = {2 * RealScreenSize.w, RealScreenSize.h};
    ASSERT_NO_FATAL_FAILURE(open());
    click(gridButton(1, 1));
    click(IDOK);
    EXPECT_EQ(Settings.columns, 1);
    EXPECT_EQ(d_bPreventMaximize, 0);
    EXPECT_EQ(ViewOrigin, (Point{0, 0}));
}

TEST_F(SettingsDialogTest, CloseEscAndTheCloseBoxPutEverythingBackAndTheFileFollows) {
    Settings.acceleration = 2;
    Settings.columns = 1;
    Settings.rows = 1;
    storeHookFlag(d_bPreventMaximize, 0);
    const SettingsRecord opened = Settings;
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        ASSERT_NO_FATAL_FAILURE(open());
        slide(1003, 8);
        click(1112); // icons move: the hook library's flag follows at once
        EXPECT_EQ(d_bHookRet, 1);
        click(kIdDisplayFrame);
        click(1116);
        click(gridButton(5, 5));
        Settings.scrollEnabled = 0; // the movement switch is not the dialog's
        if (way == 0)
            click(IDCANCEL);
        if (way == 1)
            SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (way == 2) {
            // Esc as the main loop hands it over.
            SetFocus(item(1003));
            MSG msg{item(1003), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
            EXPECT_TRUE(IsDialogMessageW(dialog, &msg));
        }
        EXPECT_FALSE(IsWindow(dialog));
        SettingsRecord want = opened;
        want.scrollEnabled = 0;
        EXPECT_EQ(Settings, want);
        EXPECT_EQ(d_bHookRet, 0);
        EXPECT_EQ(d_bPreventMaximize, 0);
        EXPECT_TRUE(settingsFileBytes().empty());
        Settings.scrollEnabled = 1;
    }

    // A save while the dialog is open (the movement toggle) writes the unapplied values;
    // once they are put back, the file holds what memory holds.
    ASSERT_NO_FATAL_FAILURE(open());
    slide(1003, 10);
    setScrollEnabled(0);
    click(IDCANCEL);
    finishFileSaves();
    SettingsRecord want = opened;
    want.scrollEnabled = 0;
    EXPECT_EQ(Settings, want);
    const auto image = settingsBytesFromImage(encodeSettings(want));
    EXPECT_EQ(settingsFileBytes(), std::vector<unsigned char>(image.begin(), image.end()));
}

TEST_F(SettingsDialogTest, TheMakerLineOpensThePageAndNothingElseDoes) {
    ASSERT_NO_FATAL_FAILURE(open());
    RECT line{}, ok{};
    GetWindowRect(item(kIdMakerLine), &line);
    GetWindowRect(item(IDOK), &ok);
    // The click reaches the dialog with the pointer position of its message.
    const auto releaseAt = [&](int x, int y) {
        SetCursorPos(x, y);
        const ULONGLONG deadline = GetTickCount64() + 2000;
        POINT p{};
        while (GetCursorPos(&p) && (p.x != x || p.y != y) && GetTickCount64() < deadline)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PostMessageW(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                     MAKELPARAM(HTCLIENT, WM_LBUTTONUP));
        MSG msg;
        while (PeekMessageW(&msg, dialog, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    };
    releaseAt((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    EXPECT_TRUE(openedPages.empty());
    // The pointer may land a moment late: the release is repeated until it counts.
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (openedPages.empty() && GetTickCount64() < deadline)
        releaseAt(line.left + 5, (line.top + line.bottom) / 2);
    ASSERT_EQ(openedPages.size(), 1u);
    EXPECT_EQ(openedPages[0], L"https://orvalis.example/");
}

TEST_F(SettingsDialogTest, TurningIconsOnTellsWhenTheDesktopArrangesThemItself) {
    ASSERT_NO_FATAL_FAILURE(open());
    boxText.clear();
    // No desktop list view (Wine has no shell window): nothing to tell, the setting holds.
    ASSERT_EQ(GetShellWindow(), nullptr);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, dismissBox);
    click(1112);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(boxText.empty());
    EXPECT_EQ(Settings.moveIcons, 1);
    click(1112);

    // A desktop of this process's own that arranges and snaps its icons.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND shell = CreateWindowExW(0, L"Static", L"shell", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"SHELLDLL_DefView";
    RegisterClassExW(&wc);
    HWND defView = CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD, 0, 0, 10, 10, shell,
                                   nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_ICON | LVS_AUTOARRANGE, 0, 0,
                                10, 10, defView, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_SNAPTOGRID, LVS_EX_SNAPTOGRID);
    if (!SetShellWindow(shell) || GetShellWindow() != shell) {
        DestroyWindow(shell);
        GTEST_SKIP() << "another shell window owns the desktop";
    }
    timer = SetTimer(nullptr, 0, 20, dismissBox);
    click(1112);
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxText, desktopIconMessage(true, true));
    EXPECT_EQ(boxCaption, L"Orvalis");
    EXPECT_EQ(boxOwner, dialog); // not the shell's list view, which may hang
    EXPECT_EQ(Settings.moveIcons, 1);
    EXPECT_EQ(d_bHookRet, 1);
    DestroyWindow(shell);
}

} // namespace
