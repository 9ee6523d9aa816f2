// The overview's pictures drawn into a bitmap of this process: a coarse plate's raised
// edge, icon and centred title with its ellipsis (the same when asked ahead on another
// thread and with its icon copied from tiles), a fine picture that leaves out a window
// whose capture fails while drawing the others, and pictures over a program that has
// stopped answering (shiftpeer.exe).
#include "core/app.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overview/overview_layout.h"
#include "overview/overview_paint.h"
#include "overview/overview_window.h"
#include "overview/plate_facts.h"

#include "shiftpeer_client.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

namespace {

// A 32-bit top-down bitmap selected into a memory context, read pixel by pixel.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    DWORD* bits = nullptr;
    HBITMAP dib = nullptr;
    HGDIOBJ old = nullptr;
    Size size;
    explicit Canvas(Size s) : size(s) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), s.w, -s.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dib =
            CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, dib);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
    }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const DWORD p = bits[y * size.w + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

bool dark(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
}
bool coloured(COLORREF c) {
    const int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
    const int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
    return hi - lo > 40;
}

LRESULT CALLBACK plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

HWND makeWindow(const wchar_t* cls, COLORREF background, const wchar_t* title, RECT r) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = cls;
    wc.hbrBackground = CreateSolidBrush(background);
    RegisterClassExW(&wc);
    HWND w = CreateWindowExW(0, cls, title, WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(w);
    return w;
}

// An icon of one opaque colour, so that each of its columns shows.
HICON solidIcon(Size size, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, size.w, size.h);
    HBITMAP mask = CreateBitmap(size.w, size.h, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, image);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, size.w, size.h};
    FillRect(dc, &all, brush);
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); // opaque
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info{TRUE, 0, 0, mask, image};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(image);
    DeleteObject(mask);
    return icon;
}

struct OverviewPaintTest : ::testing::Test {
    void SetUp() override {
        resetAppState();
        resetViewportState();
        resetOverviewState();
        Settings = SettingsRecord{};
        Settings.columns = Settings.rows = 1;
        RealScreenSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        ViewOrigin = {};
    }
    void TearDown() override {
        resetOverviewState();
        resetViewportState();
        resetAppState();
        Settings = SettingsRecord{};
    }
};

// Half scale: a 400 × 60 window makes a 200 × 30 plate.
TEST_F(OverviewPaintTest, CoarsePlateHasARaisedEdgeAnIconAndACentredTitle) {
    const Size picture{RealScreenSize.w / 2, RealScreenSize.h / 2};
    HWND shortTitle = makeWindow(L"OvPlateA", RGB(0, 0, 0), L"ab", {100, 100, 500, 160});
    HWND longTitle = makeWindow(L"OvPlateB", RGB(0, 0, 0),
                                L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", {100, 300, 500, 360});
    Canvas canvas(picture);
    HDC memory = CreateCompatibleDC(canvas.dc);
    HBITMAP a = drawCoarsePlate(canvas.dc, memory, shortTitle, picture);
    HBITMAP b = drawCoarsePlate(canvas.dc, memory, longTitle, picture);
    ASSERT_TRUE(a && b);
    const int x0 = 50, w = 200, h = 30;
    EXPECT_EQ(canvas.at(x0, 50), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.at(x0 + 1, 50 + 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(x0 + w - 1, 50 + h - 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.at(x0 + 3, 50 + 3), GetSysColor(COLOR_BTNFACE));

    // The short title's ink is centred; the application icon stands just left of it.
    int left = w, right = -1, icon = -1;
    for (int x = 2; x < w - 2; ++x)
        for (int y = 2; y < h - 2; ++y) {
            const COLORREF c = canvas.at(x0 + x, 50 + y);
            if (coloured(c))
                icon = std::max(icon, x);
            else if (dark(c) && x > w / 2 - 20) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    ASSERT_GE(right, left);
    EXPECT_LE(std::abs((left + right) / 2 - w / 2), 3) << left << ".." << right;
    EXPECT_GT(icon, left - 30);
    EXPECT_LT(icon, left);

    // The long title ends in dots on the baseline, inside the plate.
    const int y0 = 150;
    int top = h, bottom = -1, last = -1;
    for (int x = 2; x < w - 3; ++x)
        for (int y = 2; y < h - 2; ++y)
            if (dark(canvas.at(x0 + x, y0 + y)) && !coloured(canvas.at(x0 + x, y0 + y)) && x > 40) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                last = std::max(last, x);
            }
    ASSERT_GT(last, 0);
    EXPECT_LT(last, w - 10);
    int upperInk = 0;
    for (int x = last - 6; x <= last; ++x)
        for (int y = top; y < (top + bottom) / 2; ++y)
            upperInk += dark(canvas.at(x0 + x, y0 + y));
    EXPECT_EQ(upperInk, 0) << "the title does not end in dots";
    // A solid icon on a title as long as the plate allows: pushed left, it stays whole
    // inside the raised edge.
    const Size small{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    HICON solid = solidIcon(small, RGB(0xFF, 0, 0));
    ASSERT_TRUE(solid);
    SendMessageW(longTitle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(solid));
    Canvas solidCanvas(picture);
    HBITMAP c = drawCoarsePlate(solidCanvas.dc, memory, longTitle, picture);
    ASSERT_TRUE(c);
    int from = w, to = -1;
    for (int x = 0; x < w; ++x)
        if (solidCanvas.at(x0 + x, y0 + h / 2) == RGB(0xFF, 0, 0)) {
            from = std::min(from, x);
            to = std::max(to, x);
        }
    EXPECT_GE(from, 2) << "the icon is cut at the plate's left edge";
    EXPECT_EQ(to - from + 1, small.w) << from << ".." << to;
    DeleteObject(c);
    SendMessageW(longTitle, WM_SETICON, ICON_SMALL, 0);
    DestroyIcon(solid);

    // The opening's rebuild, with the plates asked on a thread of their own while this
    // thread answers, draws the same plates; the second application icon is copied from
    // tiles, over the edge on the long title's plate.
    Settings.coarseOverview = 1;
    Canvas rebuilt(picture);
    prefetchPicture();
    rebuildPicture(rebuilt.dc, picture);
    int differ = 0;
    for (int y0 : {50, 150})
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                differ += canvas.at(x0 + x, y0 + y) != rebuilt.at(x0 + x, y0 + y);
    EXPECT_EQ(differ, 0);
    DeleteObject(a);
    DeleteObject(b);
    DeleteDC(memory);
    DestroyWindow(shortTitle);
    DestroyWindow(longTitle);
}

HWND refusing = nullptr;
BOOL WINAPI printUnlessRefusing(HWND w, HDC dc, UINT flags) {
    return w == refusing ? FALSE : PrintWindow(w, dc, flags);
}

TEST_F(OverviewPaintTest, FinePictureLeavesOutAWindowThatRefusesCapture) {
    Settings.coarseOverview = 0;
    const Size picture{RealScreenSize.w / 2, RealScreenSize.h / 2};
    HWND red = makeWindow(L"OvFineRed", RGB(255, 0, 0), L"red", {100, 100, 300, 300});
    HWND blue = makeWindow(L"OvFineBlue", RGB(0, 0, 255), L"blue", {400, 100, 600, 300});
    HWND green = makeWindow(L"OvFineGreen", RGB(0, 255, 0), L"green", {100, 400, 300, 600});
    refusing = blue;
    printWindowEntry = printUnlessRefusing;
    Canvas canvas(picture);
    rebuildPicture(canvas.dc, picture);
    EXPECT_EQ(OverviewState.needsRebuild, 0);
    const auto& e = OverviewState.thumbnails.entries;
    auto cached = [&](HWND w) {
        return std::any_of(e.begin(), e.end(), [&](const auto& p) { return p.first == w; });
    };
    EXPECT_TRUE(cached(red));
    EXPECT_TRUE(cached(green));
    EXPECT_FALSE(cached(blue));
    EXPECT_EQ(canvas.at(100, 100), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(100, 250), RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(250, 100), GetSysColor(COLOR_BACKGROUND));
    DestroyWindow(red);
    DestroyWindow(blue);
    DestroyWindow(green);
}

bool cached(HWND w) {
    const auto& e = OverviewState.thumbnails.entries;
    return std::any_of(e.begin(), e.end(), [&](const auto& p) { return p.first == w; });
}

// A program that has stopped pumping messages cannot answer a capture: the fine picture
// comes back at once with that window as its plate, read without asking the program
// (its long title included), and the other program's window captured. A coarse picture
// asked ahead then leaves it alone too.
TEST_F(OverviewPaintTest, AProgramThatDoesNotAnswerHoldsUpNoPicture) {
    Peer peer;
    ASSERT_TRUE(peer.start());
    const std::wstring longTitle(400, L'W');
    const HWND alive = peer.create(L"100,100,200,150,-,OvPeerWin,alive", 0);
    const HWND stuck = peer.create(L"500,300,300,150,-,OvPeerWin," + longTitle, 1);
    ASSERT_TRUE(alive);
    ASSERT_TRUE(stuck);
    ASSERT_TRUE(peer.block(1));
    ownProcessId = GetCurrentProcessId();
    printWindowEntry = PrintWindow;
    Settings.coarseOverview = 0;
    const Size picture{RealScreenSize.w / 2, RealScreenSize.h / 2};

    // Half scale: the stuck window's plate covers (250, 150) to (400, 225).
    Canvas fine(picture);
    ULONGLONG start = GetTickCount64();
    rebuildPicture(fine.dc, picture);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_TRUE(cached(alive));
    EXPECT_TRUE(cached(stuck));
    EXPECT_EQ(fine.at(250, 150), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(fine.at(253, 153), GetSysColor(COLOR_BTNFACE));

    PlateFacts facts;
    facts.asleep = true;
    start = GetTickCount64();
    ASSERT_TRUE(askPlateFacts(stuck, facts));
    EXPECT_EQ(facts.title, longTitle);

    Settings.coarseOverview = 1;
    Canvas coarse(picture);
    prefetchPicture();
    rebuildPicture(coarse.dc, picture);
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_TRUE(cached(stuck));
    EXPECT_EQ(coarse.at(253, 153), GetSysColor(COLOR_BTNFACE));
    peer.unblock();
}

// A window of another thread of this process whose capture closes the overview: its
// thread sends the close to the main thread, which runs it while it waits for the capture,
// in the middle of the rebuild.
struct CloserThread {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, run, this, 0, &id);
    static inline volatile LONG closes = 0;

    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_PRINT)
            if (HWND overview = FindWindowW(L"OVLOutline", nullptr)) {
                SendMessageW(overview, WM_CLOSE, 0, 0);
                InterlockedIncrement(&closes);
            }
        return DefWindowProcW(w, m, wp, lp);
    }
    static DWORD WINAPI run(LPVOID p) {
        auto* self = static_cast<CloserThread*>(p);
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.lpszClassName = L"OvCloser";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&wc);
        HWND w = CreateWindowExW(0, L"OvCloser", L"closer", WS_POPUP | WS_VISIBLE, 200, 200, 200,
                                 100, nullptr, nullptr, nullptr, nullptr);
        SetEvent(self->ready);
        MSG msg;
        while (w && GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        DestroyWindow(w);
        return 0;
    }
    ~CloserThread() {
        PostThreadMessageW(id, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
};

TEST_F(OverviewPaintTest, AnOverviewClosedWhileItsRebuildWaitsKeepsNoPictures) {
    appInstance = GetModuleHandleW(nullptr);
    printWindowEntry = PrintWindow;
    Settings.coarseOverview = 0;
    CloserThread closer;
    ASSERT_EQ(WaitForSingleObject(closer.ready, 5000), WAIT_OBJECT_0);
    CloserThread::closes = 0;
    openOverview();
    EXPECT_EQ(CloserThread::closes, 1);
    EXPECT_FALSE(IsWindow(OverviewWindow));
    EXPECT_TRUE(OverviewState.thumbnails.entries.empty());
    EXPECT_EQ(OverviewState.needsRebuild, 1);
}

// Carrying the window of a program that has stopped answering: no step waits for it,
// and once it wakes up the window and its dialog stand where they were carried, every
// step counted though none had landed when the next one came.
TEST_F(OverviewPaintTest, CarryingTheWindowOfASleepingProgramHoldsNothingUp) {
    Peer peer;
    ASSERT_TRUE(peer.start());
    const HWND stuck = peer.create(L"200,200,300,200,-,OvPeerWin,stuck", 1);
    const HWND dialog = peer.create(L"260,240,120,80,op,OvPeerWin,dialog", 1);
    ASSERT_TRUE(stuck && dialog);
    ASSERT_TRUE(peer.block(1));
    appInstance = GetModuleHandleW(nullptr);
    ownProcessId = GetCurrentProcessId();
    Settings.coarseOverview = 1;
    openOverview();
    const HWND overview = OverviewWindow;
    Size picture;
    ASSERT_TRUE(overview && readPictureArea(overview, picture));
    const AreaShape area = currentArea();
    const Point grab = pictureOf(Point{450, 350}, ViewOrigin, picture, area);
    const Point step1{grab.x + 10, grab.y + 5}, step2{grab.x + 20, grab.y + 10};
    const Point m1 = dragDistance(grab, step1, {200, 200, 500, 400}, ViewOrigin, picture, area);
    const Point m2 = dragDistance(step1, step2, {200 + m1.x, 200 + m1.y, 500 + m1.x, 400 + m1.y},
                                  ViewOrigin, picture, area);
    ASSERT_GT(m1.x + m2.x, 0);

    const ULONGLONG start = GetTickCount64();
    SendMessageW(overview, WM_MBUTTONDOWN, 0, MAKELPARAM(grab.x, grab.y));
    ASSERT_EQ(OverviewState.target, stuck);
    SendMessageW(overview, WM_MOUSEMOVE, 0, MAKELPARAM(step1.x, step1.y));
    SendMessageW(overview, WM_MOUSEMOVE, 0, MAKELPARAM(step2.x, step2.y));
    SendMessageW(overview, WM_MBUTTONUP, 0, MAKELPARAM(step2.x, step2.y));
    EXPECT_LT(GetTickCount64() - start, 1000u);
    EXPECT_EQ(OverviewState.target, nullptr);
    peer.unblock();
    RECT r{};
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(stuck, &r);
        return r.left == 200 + m1.x + m2.x && r.top == 200 + m1.y + m2.y;
    })) << r.left
        << "," << r.top;
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(dialog, &r);
        return r.left == 260 + m1.x + m2.x && r.top == 240 + m1.y + m2.y;
    })) << r.left
        << "," << r.top;
    DestroyWindow(overview);
}

} // namespace
