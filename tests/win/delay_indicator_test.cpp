// The delay indicator window in this process: its class, styles, transparency, place and
// painted pixels, and its showing and closing through the delay gate.
#include "core/delay_gate.h"
#include "core/edge_movement.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overlay/delay_indicator.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// Copies the client area of `window` as it was painted, row by row.
std::vector<COLORREF> captureClient(HWND window, int w, int h) {
    std::vector<COLORREF> out;
    HDC source = GetDC(window);
    HDC mem = CreateCompatibleDC(source);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* px = static_cast<const DWORD*>(bits);
        for (int i = 0; i < w * h; ++i)
            out.push_back(RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF));
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(window, source);
    return out;
}

struct DelayIndicatorTest : ::testing::Test {
    void SetUp() override {
        gateReset();
        pumpMessages();
        ASSERT_EQ(DelayState.window, nullptr);
        Settings = SettingsRecord{};
        Settings.delay = 40;
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        PointerPosition = {0, RealScreenSize.h / 2};
    }
    void TearDown() override {
        gateReset();
        pumpMessages();
        Settings = SettingsRecord{};
    }
    static RECT rectOf(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return r;
    }
    // Holds a push of the gate so that its next step at least shows the indicator: two
    // samples, the later one `perMs` pixels per ms, queued 100 ms ago.
    static void holdPush(int perMs) {
        clearGate(DelayState);
        const DWORD then = GetTickCount() - 100;
        DelayState.samples[0] = {0, 0, 0};
        DelayState.samples[1] = {perMs, 0, 1};
        DelayState.count = 2;
        DelayState.startTick = then - 1;
        DelayState.lastTick = then;
    }
};

TEST_F(DelayIndicatorTest, ShowCreatesTheClickThroughSquareBesideThePointer) {
    HWND foreground = GetForegroundWindow();
    showOrMoveDelayIndicator();
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));

    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    EXPECT_STREQ(name, L"ZROVLDelayWindowClass");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE)), 0x080800A8u);
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE));
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80800000u);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetParent(w), nullptr);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
    wchar_t title[8] = L"x";
    EXPECT_EQ(GetWindowTextW(w, title, 8), 0);

    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 192);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));

    const RECT r = rectOf(w);
    const int y = RealScreenSize.h / 2 - 51;
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right, 152);
    EXPECT_EQ(r.bottom, y + 102);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 100);

    // It never takes the activation from whatever had it.
    EXPECT_NE(GetActiveWindow(), w);
    EXPECT_EQ(GetForegroundWindow(), foreground);

    EXPECT_EQ(GetClassLongPtrW(w, GCL_STYLE), 0u);
    EXPECT_EQ(GetClassLongPtrW(w, GCL_CBCLSEXTRA), 0u);
    EXPECT_EQ(GetClassLongPtrW(w, GCL_CBWNDEXTRA), 0u);
    EXPECT_EQ(GetClassLongPtrW(w, GCLP_HICON), 0u);
    EXPECT_EQ(GetClassLongPtrW(w, GCLP_HCURSOR), 0u);
    EXPECT_EQ(GetClassLongPtrW(w, GCLP_MENUNAME), 0u);
    const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(w, GCLP_HBRBACKGROUND));
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectW(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, kSilver);
}

TEST_F(DelayIndicatorTest, FurtherShowsMoveTheSameWindow) {
    showOrMoveDelayIndicator();
    HWND first = DelayState.window;
    ASSERT_TRUE(IsWindow(first));
    const struct {
        Point pointer;
        int left, top;
    } moves[] = {
        {{RealScreenSize.w - 1, 0}, RealScreenSize.w - 161, 50},
        {{0, 0}, 50, 50},
        {{RealScreenSize.w - 1, RealScreenSize.h - 1},
         RealScreenSize.w - 161,
         RealScreenSize.h - 161},
        {{300, 200}, 249, 149},
    };
    for (const auto& m : moves) {
        PointerPosition = m.pointer;
        showOrMoveDelayIndicator();
        EXPECT_EQ(DelayState.window, first);
        const RECT r = rectOf(first);
        EXPECT_EQ(r.left, m.left);
        EXPECT_EQ(r.top, m.top);
        EXPECT_EQ(r.right - r.left, 102);
        EXPECT_EQ(r.bottom - r.top, 102);
    }
}

TEST_F(DelayIndicatorTest, PaintsTheBandsFromTheSums) {
    PointerPosition = {RealScreenSize.w / 2, RealScreenSize.h / 2};
    // Pushed right to half the threshold and up to almost a third of it: the x band
    // covers 50..100 with its line at 50, the y band 0..32 with its line at 32.
    DelayState.sumX = 20.7;
    DelayState.sumY = -13.9;
    showOrMoveDelayIndicator();
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    const std::vector<COLORREF> px = captureClient(w, 100, 100);
    ASSERT_EQ(px.size(), 10000u);
    const auto at = [&](int x, int y) { return px[y * 100 + x]; };
    const struct {
        int x, y;
        COLORREF color;
    } probes[] = {
        {25, 60, kSilver}, {49, 99, kSilver}, {0, 33, kSilver}, {49, 33, kSilver},
        {75, 60, kWhite},  {99, 99, kWhite},  {51, 33, kWhite}, {25, 10, kWhite},
        {0, 0, kWhite},    {99, 31, kWhite},  {50, 0, kBlack},  {50, 60, kBlack},
        {50, 99, kBlack},  {0, 32, kBlack},   {25, 32, kBlack}, {99, 32, kBlack},
    };
    for (const auto& p : probes)
        EXPECT_EQ(at(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
    // Nothing but the three colours, and the lines are one pixel wide.
    int black = 0;
    for (COLORREF c : px) {
        EXPECT_TRUE(c == kSilver || c == kWhite || c == kBlack) << std::hex << c;
        black += c == kBlack;
    }
    EXPECT_EQ(black, 100 + 100 - 1);

    // A repaint after the sums changed follows them: pushed left now, no push on y.
    DelayState.sumX = -10.0; // -25 %: band 0..25, line at 25
    DelayState.sumY = 0.0;
    showOrMoveDelayIndicator();
    UpdateWindow(w);
    const std::vector<COLORREF> again = captureClient(w, 100, 100);
    ASSERT_EQ(again.size(), 10000u);
    EXPECT_EQ(again[60 * 100 + 10], kWhite);
    EXPECT_EQ(again[60 * 100 + 25], kBlack);
    EXPECT_EQ(again[60 * 100 + 75], kSilver);
    EXPECT_EQ(again[10 * 100 + 75], kSilver);
    EXPECT_EQ(again[99 * 100 + 75], kSilver); // the y line lies outside at 100
}

TEST_F(DelayIndicatorTest, WithoutAThresholdOnlyTheSilverSquareIsPainted) {
    Settings.delay = 0;
    DelayState.sumX = 20.0;
    DelayState.sumY = -20.0;
    showOrMoveDelayIndicator();
    ASSERT_TRUE(IsWindow(DelayState.window));
    const std::vector<COLORREF> px = captureClient(DelayState.window, 100, 100);
    ASSERT_EQ(px.size(), 10000u);
    int other = 0;
    for (COLORREF c : px)
        other += c != kSilver;
    EXPECT_EQ(other, 0);
}

TEST_F(DelayIndicatorTest, GateResetAndTheMovementSwitchCloseIt) {
    showOrMoveDelayIndicator();
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    gateReset();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(DelayState.window, nullptr);

    showOrMoveDelayIndicator(); // a new one after the old is gone
    w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    closeDelayIndicator();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(DelayState.window, nullptr);
    closeDelayIndicator(); // nothing left to close
    gateReset();
    EXPECT_EQ(DelayState.window, nullptr);
}

TEST_F(DelayIndicatorTest, HeldPushShowsItAndTheReleaseClosesIt) {
    Settings.delay = 50;
    holdPush(-30); // -30 px/ms of 50: past a third, short of the threshold
    EXPECT_FALSE(gateAdd(-1, 0, false));
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(rectOf(w).left, 50);
    EXPECT_EQ(DelayState.count, 3);

    holdPush(-60); // past the threshold: released, indicator closed
    EXPECT_TRUE(gateAdd(-1, 0, false));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(DelayState.window, nullptr);
    EXPECT_EQ(DelayState.passed, 1);

    // A slow push shows nothing.
    gateReset();
    holdPush(-5);
    EXPECT_FALSE(gateAdd(-1, 0, false));
    EXPECT_EQ(DelayState.window, nullptr);
}

TEST_F(DelayIndicatorTest, AStepThroughAnOpenGateClosesIt) {
    showOrMoveDelayIndicator();
    HWND w = DelayState.window;
    ASSERT_TRUE(IsWindow(w));
    Settings.delay = 0;
    EXPECT_TRUE(gateAdd(-3, 0, false));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(DelayState.count, 1);
}

// A push that moves a whole screen empties the gate: the next push waits out the full
// delay again instead of racing on to the next screen.
TEST_F(DelayIndicatorTest, AWholeScreenStepEmptiesTheGate) {
    Settings.delay = 50;
    Settings.moveByScreen = 1;
    Settings.edgePointer = 0;
    Settings.columns = 3;
    Settings.rows = 1;
    ViewOrigin = {2 * RealScreenSize.w, 0};
    POINT before{};
    GetCursorPos(&before);
    ASSERT_TRUE(SetCursorPos(0, RealScreenSize.h / 2));
    holdPush(-60); // past the threshold
    computeMovement(-1, 0, 0);
    EXPECT_EQ(ViewOrigin.x, RealScreenSize.w);
    EXPECT_EQ(DelayState.count, 0);
    EXPECT_EQ(DelayState.passed, 0);
    EXPECT_EQ(DelayState.window, nullptr);

    computeMovement(-1, 0, 0); // a slow push against the same edge is held
    EXPECT_EQ(ViewOrigin.x, RealScreenSize.w);
    SetCursorPos(before.x, before.y);
    ViewOrigin = {};
    resetViewportState();
}

} // namespace
