// The tray picture as the shell gets it: the icon's mask and colour pixels drawn for a
// 2 x 2 area, movement on and off; and the add, update and tooltip steps against the
// real notification area of the test desktop.
#include "core/app.h"
#include "core/settings.h"
#include "core/view.h"
#include "tray/tray_glyph.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct IconPixels {
    int width = 0, height = 0;
    std::vector<COLORREF> mask, colour; // top row first
    COLORREF maskAt(int x, int y) const { return mask[y * width + x]; }
    COLORREF colourAt(int x, int y) const { return colour[y * width + x]; }
    bool opaque(int x, int y) const { return maskAt(x, y) == RGB(0, 0, 0); }
};

std::vector<COLORREF> readBits(HBITMAP bitmap, int width, int height) {
    std::vector<COLORREF> out;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, height, bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (rows != height)
        return out;
    for (DWORD v : bits)
        out.push_back(RGB((v >> 16) & 255, (v >> 8) & 255, v & 255));
    return out;
}

IconPixels readIcon(HICON icon) {
    IconPixels p;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return p;
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    p.mask = readBits(info.hbmMask, p.width, p.height);
    p.colour = readBits(info.hbmColor, p.width, p.height);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return p;
}

std::string dump(const IconPixels& p) {
    std::string s;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const COLORREF c = p.colourAt(x, y);
            char ch = '?';
            if (!p.opaque(x, y))
                ch = c == RGB(0, 0, 0) ? '.' : 'x';
            else if (c == RGB(255, 255, 255))
                ch = 'W';
            else if (c == RGB(128, 128, 128))
                ch = 'g';
            else if (c == RGB(0, 0, 0))
                ch = 'B';
            else if (c == RGB(255, 0, 0))
                ch = 'R';
            else
                ch = 'p';
            s += ch;
        }
        s += '\n';
    }
    return s;
}

struct TrayIconTest : ::testing::Test {
    void SetUp() override {
        resetAppState();
        resetTrayIcon();
        appInstance = GetModuleHandleW(nullptr);
        Settings = SettingsRecord{};
        RealScreenSize = {1024, 768};
        ViewOrigin = {0, 0};
    }
    void TearDown() override { resetTrayIcon(); }
};

// What the rules draw for a 2 x 2 area of 1024 x 768 screens in a 16 x 16 icon with the
// view on the top-right screen: grid (0, 2)-(15, 13), view (8, 2) 8 x 6. Opaque pixels:
// W white, g grey, B black, R red, p the desktop picture; see-through pixels: '.' (colour
// black: the background shows) and 'x' (colour grey: xor-ed over the background).
const char* const kMovementOn[16] = {
    "................", //
    ".......xxxxxxxxx", // the view's grey top edge, above the grid
    "WWWWWWWgpppppppx", // white frame; grey left edge of the view; cut top-right corner
    "Wgggggggpppppppp", // the grey box's top and left run one pixel inside the frame
    "WgWWWWWgpppppppp", //
    "WgWWWWWgpppppppp", //
    "WgWWWWWgpppppppp", //
    "WgWWWWWgpppppppp", //
    "WgWWWWWWBBBBBBBB", // the view's black bottom edge
    "WgWWWWWWWWWWWWWg", // the grid's grey right edge
    "WgWWWWWWWWWWWWWg", //
    "WgWWWWWWWWWWWWWg", //
    "WWWWWWWWWWWWWWWg", //
    ".ggggggggggggggg", // grey bottom edge; cut bottom-left corner
    "................", //
    "................", //
};
// Movement off: only the framed current screen over red brackets and diagonals.
const char* const kMovementOff[16] = {
    "................", //
    ".......ggggggggg", //
    "RRRRRR.gpppppppp", //
    "RRR....gpppppppp", //
    "R..R...gpppppppp", //
    "R...R..gpppppppp", //
    "R....RRgpppppppp", //
    ".......gpppppppp", //
    ".......RBBBBBBBB", // the off-mark is drawn into the mask after the corner was cut
    ".....RR..RR.....", //
    "R...R......R...R", //
    "R..R........R..R", //
    "RRR..........RRR", //
    "RRRRRR....RRRRRR", //
    "................", //
    "................", //
};

void expectPicture(const IconPixels& p, const char* const (&want)[16]) {
    ASSERT_EQ(p.width, 16);
    ASSERT_EQ(p.height, 16);
    ASSERT_EQ(p.mask.size(), 256u);
    ASSERT_EQ(p.colour.size(), 256u);
    std::string expected;
    for (const char* row : want)
        expected += std::string(row) + '\n';
    EXPECT_EQ(dump(p), expected);
    // The picture: sky along the view's top row, grass along its bottom row.
    for (int x = 8; x < 16; ++x) {
        const COLORREF sky = p.colourAt(x, 2), grass = p.colourAt(x, 7);
        EXPECT_GT(GetBValue(sky), GetRValue(sky)) << x;
        EXPECT_GT(GetBValue(sky), GetGValue(sky) / 2) << x;
        EXPECT_GT(GetGValue(grass), GetRValue(grass)) << x;
        EXPECT_GT(GetGValue(grass), GetBValue(grass)) << x;
    }
}

IconPixels drawn(int scrollEnabled) {
    const GlyphLayout g = layoutGlyph({16, 16}, {1024, 768}, 2, 2, {1024, 0}, scrollEnabled);
    HICON icon = drawTrayGlyph(g);
    IconPixels p = readIcon(icon);
    if (icon)
        DestroyIcon(icon);
    return p;
}

bool smallIconsAre16() {
    return GetSystemMetrics(SM_CXSMICON) == 16 && GetSystemMetrics(SM_CYSMICON) == 16;
}

TEST_F(TrayIconTest, MovementOnShowsTheWholeGridAndTheFramedScreen) {
    if (!smallIconsAre16())
        GTEST_SKIP() << "the expected pictures are 16 x 16";
    expectPicture(drawn(1), kMovementOn);
}

TEST_F(TrayIconTest, MovementOffShowsTheScreenOverRedBracketsAndCross) {
    if (!smallIconsAre16())
        GTEST_SKIP() << "the expected pictures are 16 x 16";
    expectPicture(drawn(0), kMovementOff);
    // Drawing again reuses the pens and the picture and gives the same icon.
    expectPicture(drawn(0), kMovementOff);
}

TEST_F(TrayIconTest, TheFirstAddDrawsAnIconBeforeAnyLayout) {
    // The stored layout is still empty then: the icon must still have the small size.
    HICON icon = drawTrayGlyph(GlyphLayout{});
    ASSERT_TRUE(icon);
    const IconPixels p = readIcon(icon);
    DestroyIcon(icon);
    EXPECT_EQ(p.width, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(p.height, GetSystemMetrics(SM_CYSMICON));
}

// The icon against the test desktop's notification area, owned by a window of this test.
struct TrayShellTest : TrayIconTest {
    HWND window = nullptr;
    void SetUp() override {
        TrayIconTest::SetUp();
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"Orvalis", 0, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
        MainWindow = window;
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        NOTIFYICONDATAW nid{};
        nid.cbSize = kNotifyIconDataSize;
        nid.hWnd = window;
        nid.uID = kTrayIconId;
        Shell_NotifyIconW(NIM_DELETE, &nid);
        DestroyWindow(window);
        TrayIconTest::TearDown();
    }
    bool iconExists() const {
        // Only an icon that exists can be modified.
        NOTIFYICONDATAW nid{};
        nid.cbSize = kNotifyIconDataSize;
        nid.hWnd = window;
        nid.uID = kTrayIconId;
        return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
    }
};

TEST_F(TrayShellTest, AddRegistersTaskbarCreatedAndUpdateFollowsTheView) {
    ASSERT_FALSE(iconExists());
    EXPECT_EQ(taskbarCreatedMessage, 0u);
    EXPECT_FALSE(showTrayBalloon(L"t", L"no icon yet", BalloonIcon::Info));
    addTrayIcon();
    ASSERT_TRUE(iconExists()) << "the test desktop needs its notification area";
    EXPECT_EQ(taskbarCreatedMessage, RegisterWindowMessageW(L"TaskbarCreated"));
    // The layout carries the balloon's fields: the shell takes them.
    EXPECT_TRUE(showTrayBalloon(L"Orvalis", L"balloon", BalloonIcon::Warning));

    Settings.columns = 3;
    Settings.rows = 1;
    ViewOrigin = {2048, 0};
    updateTrayIcon();
    const Size icon{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    EXPECT_EQ(trayGlyphLayout(), layoutGlyph(icon, {1024, 768}, 3, 1, {2048, 0}, 1));
    Settings.scrollEnabled = 0;
    updateTrayIcon();
    EXPECT_EQ(trayGlyphLayout().state, 0);
    EXPECT_TRUE(iconExists());
}

TEST_F(TrayShellTest, TooltipTellsThePositionAndIsSentAgainAfterAReAdd) {
    addTrayIcon();
    ViewOrigin = {512, 768};
    updateTrayTooltip();
    EXPECT_STREQ(lastTrayTooltip(),
                 L"Orvalis 「入」\n　　　　　　━　1.5 / 2\n　　　　　　┃　2.0 / 2");
    Settings.scrollEnabled = 0;
    updateTrayTooltip();
    EXPECT_STREQ(lastTrayTooltip(),
                 L"Orvalis 「切」\n　　　　　　━　1.5 / 2\n　　　　　　┃　2.0 / 2");
    // A restarted taskbar knows neither the icon nor its tooltip: after the re-add the
    // same text must go out again.
    NOTIFYICONDATAW nid{};
    nid.cbSize = kNotifyIconDataSize;
    nid.hWnd = window;
    nid.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    addTrayIcon();
    ASSERT_TRUE(iconExists());
    EXPECT_STREQ(lastTrayTooltip(), L"");
    updateTrayTooltip();
    EXPECT_STREQ(lastTrayTooltip(),
                 L"Orvalis 「切」\n　　　　　　━　1.5 / 2\n　　　　　　┃　2.0 / 2");
}

} // namespace
