// The program's windows laid out at the DPI this process runs at: scripts/test runs this
// group once in the ordinary prefix (96 DPI) and once more in a prefix set to 144 DPI
// (ORVALIS_TEST_DPI tells the run which DPI it asked for). Each test opens a real window
// and checks its geometry: controls inside their dialog, texts inside their controls,
// no control over its neighbour, status texts inside their bars, labels on the screen.
#include "core/app.h"
#include "core/delay_gate.h"
#include "core/dpi.h"
#include "core/dpi_scale.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/view.h"
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_window.h"
#include "overlay/cross_cursor.h"
#include "overlay/delay_indicator.h"
#include "overlay/indicator_layout.h"
#include "overview/overview_window.h"
#include "res/resource.h"
#include "settingsdlg/settings_dialog.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"
#include "screenshot.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring classOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

std::wstring textOf(HWND w) {
    wchar_t text[512] = {};
    GetWindowTextW(w, text, 512);
    return text;
}

RECT screenRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

bool inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string show(const RECT& r) {
    char text[64];
    snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

// The width `text` takes in window w's own font (several lines: the widest).
Size textExtent(HWND w, const std::wstring& text) {
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    const int h = DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return {r.right, h};
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::wstring shotName(const wchar_t* what) {
    return std::wstring(what) + L"-" + std::to_wstring(windowDpi(nullptr)) + L".bmp";
}

struct ScaledLayoutTest : ::testing::Test {
    HWND owner = nullptr;
    Rect work;

    void SetUp() override {
        resetAppState();
        resetTrayIcon();
        appInstance = GetModuleHandleW(nullptr);
        lstrcpyW(caption, L"Orvalis");
        Settings = SettingsRecord{};
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        work = {r.left, r.top, r.right, r.bottom};
        WorkArea = work;
        ViewOrigin = {0, 0};
        owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"Orvalis", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, nullptr, nullptr);
        MainWindow = owner;
    }
    void TearDown() override {
        DestroyWindow(owner);
        resetTrayIcon();
        resetAppState();
        Settings = SettingsRecord{};
    }
};

// The run in the 144-DPI prefix must really be at 144: otherwise the group below would pass
// at 96 twice.
TEST_F(ScaledLayoutTest, RunsAtTheDpiTheTestRunAskedFor) {
    const char* asked = std::getenv("ORVALIS_TEST_DPI");
    if (!asked)
        GTEST_SKIP() << "no DPI asked for; running at " << windowDpi(nullptr);
    EXPECT_EQ(windowDpi(owner), std::atoi(asked));
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), scaleForDpi(16, std::atoi(asked)));
}

// Opened on a tray point at the bottom right: the dialog keeps its title bar on the work
// area (pinned to its top-left corner when it is larger), every control lies inside the
// client area, every text inside its control, no two controls of a group overlap, and the
// start-position pictures sit beside their option buttons at the DPI's size.
TEST_F(ScaledLayoutTest, SettingsDialogControlsAndTextsFitAtThisDpi) {
    trayMenuPoint = {work.right - 5, work.bottom - 5};
    HWND d = showSettingsDialog();
    ASSERT_TRUE(IsWindow(d));
    pump();
    screenshot(shotName(L"settings"));
    const RECT outer = screenRect(d);
    EXPECT_GE(outer.left, work.left) << show(outer);
    EXPECT_GE(outer.top, work.top) << show(outer);
    if (outer.right - outer.left + 2 <= work.right - work.left) {
        EXPECT_LE(outer.right, work.right) << show(outer);
    }
    RECT client{};
    GetClientRect(d, &client);
    MapWindowPoints(d, nullptr, reinterpret_cast<POINT*>(&client), 2);

    const int dpi = windowDpi(d);
    // A check box or option button and the gap before its text; the frame of a group box
    // around its title; a push button's edges.
    const int box = scaleForDpi(15, dpi), frame = scaleForDpi(10, dpi), edges = scaleForDpi(6, dpi);
    std::vector<HWND> controls;
    for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        controls.push_back(c);
    ASSERT_GT(controls.size(), 60u);
    for (HWND c : controls) {
        const RECT r = screenRect(c);
        const std::wstring text = textOf(c);
        EXPECT_TRUE(inside(r, client))
            << "control " << GetDlgCtrlID(c) << " " << show(r) << " outside " << show(client);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        if (classOf(c) == L"Button" && text.size() > 1) {
            const LONG kind = style & BS_TYPEMASK;
            const bool mark = kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON ||
                              kind == BS_CHECKBOX || kind == BS_RADIOBUTTON;
            const bool group = kind == BS_GROUPBOX;
            const int room = r.right - r.left - (mark ? box : group ? frame : edges);
            EXPECT_LE(textExtent(c, text).w, room)
                << "text of control " << GetDlgCtrlID(c) << " runs past its edge";
        } else if (classOf(c) == L"Static" && (style & SS_TYPEMASK) == SS_LEFT) {
            EXPECT_LE(textExtent(c, text).w, r.right - r.left)
                << "text of static " << GetDlgCtrlID(c) << " is cut";
        }
    }
    // No two controls overlap, except a group box and what it holds. A left-aligned label
    // counts as far as its text reaches: the dialog manager rounds each control's edges on
    // its own, so a label and the trackbar right after it may share their border pixel.
    auto isGroup = [](HWND c) {
        return classOf(c) == L"Button" &&
               (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    };
    auto ink = [](HWND c) {
        RECT r = screenRect(c);
        if (classOf(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT)
            r.right = std::min<LONG>(r.right, r.left + textExtent(c, textOf(c)).w);
        return r;
    };
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j) {
            if (isGroup(controls[i]) || isGroup(controls[j]))
                continue;
            const RECT a = ink(controls[i]), b = ink(controls[j]);
            RECT both{};
            EXPECT_FALSE(IntersectRect(&both, &a, &b))
                << "controls " << GetDlgCtrlID(controls[i]) << " " << show(a) << " and "
                << GetDlgCtrlID(controls[j]) << " " << show(b) << " overlap";
        }
    // The six pictures: at this DPI's size, centred on their option buttons, left of them.
    const int radios[] = {1012, 1013, 1014, 1015, 1016, 1017};
    HBITMAP natural = static_cast<HBITMAP>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(IDB_STARTPOS_TASKBAR), IMAGE_BITMAP, 0, 0, 0));
    BITMAP info{};
    ASSERT_TRUE(natural && GetObjectW(natural, sizeof(info), &info));
    DeleteObject(natural);
    int pictures = 0;
    for (HWND c : controls) {
        if (classOf(c) != L"Static" || (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        const RECT p = screenRect(c);
        const RECT radio = screenRect(GetDlgItem(d, radios[pictures++]));
        const int pictureMiddle = (p.top + p.bottom) / 2,
                  radioMiddle = (radio.top + radio.bottom) / 2;
        EXPECT_LE(std::abs(pictureMiddle - radioMiddle), 1)
            << "picture " << pictures << " " << show(p) << " beside " << show(radio);
        EXPECT_EQ(p.bottom - p.top, scaleForDpi(info.bmHeight, dpi)) << "picture " << pictures;
        EXPECT_EQ(p.right - p.left, scaleForDpi(info.bmWidth, dpi)) << "picture " << pictures;
        EXPECT_LT(p.right, radio.left + 1) << "picture " << pictures;
    }
    EXPECT_EQ(pictures, 6);
    DestroyWindow(d);
}

bool hasHorizontalScrollBar(HWND w) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    return GetScrollBarInfo(w, OBJID_HSCROLL, &info) &&
           !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
}

// The exclusion window: on the work area, its hint whole in the status bar, and an empty
// list without a horizontal scroll bar.
TEST_F(ScaledLayoutTest, ExclusionWindowShowsItsHintAndNoScrollBarWhenEmpty) {
    ExclusionList.entries.clear();
    showExclusionWindow();
    HWND w = FindWindowW(L"ZerdaneExceptionListWndCls", nullptr);
    ASSERT_TRUE(IsWindow(w));
    pump();
    screenshot(shotName(L"exclusion"));
    const RECT outer = screenRect(w);
    EXPECT_TRUE(inside(outer, {work.left, work.top, work.right, work.bottom})) << show(outer);
    HWND status = FindWindowExW(w, nullptr, STATUSCLASSNAMEW, nullptr);
    HWND list = FindWindowExW(w, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(status && list);
    RECT part{};
    SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    wchar_t hint[256] = {};
    SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(hint));
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_LE(textExtent(status, hint).w, part.right - part.left - grip)
        << "the hint is cut: part " << show(part);
    EXPECT_FALSE(hasHorizontalScrollBar(list));
    DestroyWindow(w);
}

// The measuring cross cursor's labels stay on the screen at every corner and edge, and
// their text is drawn at this DPI's size.
TEST_F(ScaledLayoutTest, MeasuringLabelsStayOnTheScreen) {
    const Size screen = RealScreenSize;
    const Point spots[] = {{0, 0},
                           {screen.w - 1, screen.h - 1},
                           {screen.w - 1, 0},
                           {0, screen.h - 1},
                           {screen.w / 2, screen.h / 2 + 1},
                           {screen.w - 3, screen.h - 40},
                           {40, screen.h - 2}};
    openMeasuringCursor();
    const int dpi = windowDpi(nullptr);
    for (const Point& p : spots) {
        PointerPosition = p;
        moveMeasuringCursor();
        moveMeasuringCursor(); // the second placement measures the reading of this point
        for (const wchar_t* cls : {L"ZROVLHorzMeasure", L"ZROVLVertMeasure"}) {
            HWND label = FindWindowW(cls, nullptr);
            ASSERT_TRUE(IsWindow(label));
            const RECT r = screenRect(label);
            EXPECT_TRUE(inside(r, {0, 0, screen.w, screen.h}))
                << "label " << textOf(label).size() << " at " << show(r) << " for pointer " << p.x
                << ", " << p.y;
            EXPECT_GE(r.bottom - r.top, scaleForDpi(16, dpi)) << "text not scaled";
        }
    }
    pump();
    screenshot(shotName(L"labels"));
    closeMeasuringCursor();
    pump();
}

// The delay indicator: its square at this DPI's size, its two edge lines one pixel wide.
TEST_F(ScaledLayoutTest, DelayIndicatorIsSquareAtThisDpiWithOnePixelLines) {
    gateReset();
    Settings.delay = 40;
    PointerPosition = {RealScreenSize.w / 2, RealScreenSize.h / 2};
    DelayState.sumX = 20.7;
    DelayState.sumY = -13.9;
    showOrMoveDelayIndicator();
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    pump();
    const int side = indicatorClientSide(windowDpi(w));
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, side);
    EXPECT_EQ(client.bottom, side);
    HDC dc = GetDC(w);
    int black = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            black += GetPixel(dc, x, y) == RGB(0, 0, 0);
    ReleaseDC(w, dc);
    EXPECT_EQ(black, 2 * side - 1) << "the lines are not one pixel wide across the square";
    screenshot(shotName(L"indicator"));
    gateReset();
    pump();
}

// The overview: on the screen and wide enough for its status text.
TEST_F(ScaledLayoutTest, OverviewIsWideEnoughForItsStatusText) {
    Settings.columns = Settings.rows = 2;
    SetCursorPos(RealScreenSize.w / 2, RealScreenSize.h / 2);
    openOverview();
    HWND w = OverviewWindow;
    ASSERT_TRUE(IsWindow(w));
    pump();
    screenshot(shotName(L"overview"));
    const RECT outer = screenRect(w);
    EXPECT_TRUE(inside(outer, {0, 0, RealScreenSize.w, RealScreenSize.h})) << show(outer);
    HWND status = GetDlgItem(w, 102);
    ASSERT_TRUE(status);
    RECT part{};
    SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    const int grip = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_LE(textExtent(status, textOf(status)).w, part.right - part.left - grip)
        << "the status text is cut: part " << show(part);
    DestroyWindow(w);
}

} // namespace
