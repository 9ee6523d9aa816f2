// The overlays with real input: the relative-position frame of the overlay thread after a
// push, hidden by clicks, letters and its own timer; the cross cursor following the
// pointer and letting clicks through; the measuring readings; both hiding when idle.
#include "edge_fixture.h"

#include "overlay/cursor_layout.h"
#include "overlay/frame_layout.h"

#include <algorithm>
#include <string>

using namespace e2e;

namespace {

struct ClassSearch {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK collectOfClass(HWND w, LPARAM lp) {
    auto* c = reinterpret_cast<ClassSearch*>(lp);
    DWORD pid = 0;
    wchar_t name[64];
    GetWindowThreadProcessId(w, &pid);
    if (pid == c->pid && GetClassNameW(w, name, 64) && lstrcmpW(name, c->cls) == 0)
        c->found.push_back(w);
    return TRUE;
}

std::vector<HWND> windowsOfClass(DWORD pid, const wchar_t* cls) {
    ClassSearch search{pid, cls, {}};
    EnumWindows(collectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool sameRect(const RECT& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

std::wstring textOf(HWND w) {
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    return text;
}

// The system's double-click time for the length of a test; put back at the end. It is
// not written to the user's profile: a program started afterwards in this session reads
// it all the same, and a test process that dies before putting it back leaves nothing
// behind once the session ends.
struct DoubleClickTime {
    UINT saved = GetDoubleClickTime();
    explicit DoubleClickTime(UINT ms) {
        SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, ms, nullptr, 0);
    }
    ~DoubleClickTime() { SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, saved, nullptr, 0); }
};

struct OverlayTest : EdgeTest {
    std::vector<HWND> strips() const {
        return windowsOfClass(run.proc.pid, L"ZRBorderWindowClass");
    }
    // The four strips are up, exactly where the frame of `view` on 2 × 2 goes.
    bool frameShownAt(Point view) const {
        const FrameStrips f = frameStrips(view, {1024, 768}, 2, 2);
        const std::vector<HWND> s = strips();
        if (s.size() != 4)
            return false;
        for (const Rect& r : {f.left, f.top, f.right, f.bottom}) {
            const bool shown = std::any_of(s.begin(), s.end(), [&](HWND w) {
                return IsWindowVisible(w) && sameRect(rectOf(w), r);
            });
            if (!shown)
                return false;
        }
        return true;
    }
    bool frameHidden() const {
        const std::vector<HWND> s = strips();
        return s.size() == 4 && std::none_of(s.begin(), s.end(), IsWindowVisible);
    }
    HWND find(const wchar_t* cls) const { return findWindowOfProcess(run.proc.pid, cls); }
    // Both lines of an overlay through `p`, one pixel short of the right and bottom edges.
    bool linesAt(const wchar_t* horz, const wchar_t* vert, POINT p) const {
        HWND h = find(horz), v = find(vert);
        return h && v && IsWindowVisible(h) && IsWindowVisible(v) &&
               sameRect(rectOf(h), {0, p.y, 1023, p.y + 1}) &&
               sameRect(rectOf(v), {p.x, 0, p.x + 1, 767});
    }
    bool crossAt(POINT p) const { return linesAt(L"ZROVLHorzCursor", L"ZROVLVertCursor", p); }
    std::string describe() const {
        const POINT p = pointer();
        const RECT h = rectOf(find(L"ZROVLHorzCursor")), v = rectOf(find(L"ZROVLVertCursor"));
        char out[200];
        snprintf(out, sizeof out,
                 "pointer %ld,%ld; horizontal %ld,%ld-%ld,%ld; vertical %ld,%ld-%ld,%ld", p.x, p.y,
                 h.left, h.top, h.right, h.bottom, v.left, v.top, v.right, v.bottom);
        return out;
    }
    // Puts the pointer on a screen edge and pushes it against that edge (dx, dy) until
    // cond() holds. The pointer is always over the lines, windows of the program: under
    // Wine, leaving them can put the pointer back once, and after a relative move the
    // program's query may read the X server's older position. A push against the edge
    // is motion for the program without a change of position, so both agree.
    bool pointAt(POINT at, int dx, int dy, const std::function<bool()>& cond) const {
        for (int i = 0; i < 12; ++i) {
            const POINT p = pointer();
            if (p.x != at.x || p.y != at.y)
                setCursor(at.x, at.y);
            moveRelative(dx, dy);
            if (waitUntil([&] { return pointerIs(at) && cond(); }, 400))
                return true;
        }
        return false;
    }
    static bool pointerIs(POINT at) {
        const POINT p = pointer();
        return p.x == at.x && p.y == at.y;
    }
    static POINT pointer() {
        POINT now{};
        GetCursorPos(&now);
        return now;
    }
};

SettingsRecord withFrame() {
    SettingsRecord s = centred();
    s.moveDisplay = u'b';
    return s;
}

TEST_F(OverlayTest, FrameShowsAfterAPushAndHidesOnAClickOrALetterKey) {
    ASSERT_NO_FATAL_FAILURE(begin(withFrame()));
    ASSERT_TRUE(waitUntil([&] { return frameHidden(); }, 3000)) << strips().size() << " strips";
    moveRelative(-7, 0);
    ASSERT_TRUE(waitUntil([&] { return frameShownAt({505, 384}); }, 3000));
    EXPECT_TRUE(saveScreenshot(shotDir() + L"frame.png"));

    // Ctrl and the lock keys leave it up.
    for (WORD vk : {VK_CONTROL, VK_CAPITAL, VK_CAPITAL, VK_NUMLOCK, VK_NUMLOCK})
        keyTap(vk);
    settle();
    EXPECT_TRUE(frameShownAt({505, 384}));
    keyTap('A');
    EXPECT_TRUE(waitUntil([&] { return frameHidden(); }, 3000));

    // The next shift shows it again where the view now is; a click hides it.
    moveRelative(-7, 0);
    ASSERT_TRUE(waitUntil([&] { return frameShownAt({498, 384}); }, 3000));
    leftClick();
    EXPECT_TRUE(waitUntil([&] { return frameHidden(); }, 3000));
}

TEST_F(OverlayTest, FrameAndCrossCursorHideByThemselvesAfterTwentyDoubleClickTimes) {
    const DoubleClickTime shortClicks(100); // 2 s of idleness
    SettingsRecord s = withFrame();
    s.crossCursor = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));

    double sent = nowMs();
    moveRelative(-7, 0);
    ASSERT_TRUE(waitUntil([&] { return frameShownAt({505, 384}); }, 3000));
    ASSERT_TRUE(waitUntil([&] { return frameHidden(); }, 8000)) << "the frame stayed up";
    EXPECT_GE(nowMs() - sent, 1950) << "hidden before 20 double-click times";

    // The pointer goes to the other edge: the cross cursor follows, then goes when it
    // rests there.
    sent = nowMs();
    ASSERT_TRUE(pointAt({1023, 600}, 1, 0, [&] { return crossAt({1023, 600}); })) << describe();
    ASSERT_TRUE(waitUntil([&] { return !find(L"ZROVLHorzCursor"); }, 8000))
        << "the cross cursor stayed up";
    EXPECT_GE(nowMs() - sent, 1950) << "hidden before 20 double-click times";
    EXPECT_TRUE(waitUntil([&] { return !find(L"ZROVLVertCursor"); }, 1000));
    // The next motion, even one that cannot move the pointer, brings it back.
    EXPECT_TRUE(pointAt({1023, 600}, 1, 0, [&] { return crossAt({1023, 600}); })) << describe();
}

// Counts the left clicks that reach it, and where.
struct ClickTarget {
    static inline int clicks = 0;
    static inline POINT at{};
    HWND window = nullptr;
    ClickTarget(int x, int y, int w, int h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = L"OverlayClickTarget";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, x,
                                 y, w, h, nullptr, nullptr, nullptr, nullptr);
        clicks = 0;
    }
    ~ClickTarget() { DestroyWindow(window); }
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_LBUTTONDOWN) {
            ++clicks;
            at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        }
        return DefWindowProcW(w, m, wp, lp);
    }
};

TEST_F(OverlayTest, CrossCursorFollowsThePointerAndTheMeasuringOneReadsIt) {
    SettingsRecord s = centred();
    s.columns = s.rows = 1; // nothing shifts: only the overlays answer the pointer
    s.crossCursor = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));

    // Along the left edge, then the bottom, then the right edge.
    ASSERT_TRUE(pointAt({0, 550}, -1, 0, [&] { return crossAt({0, 550}); })) << describe();
    ASSERT_TRUE(pointAt({300, 767}, 0, 1, [&] { return crossAt({300, 767}); })) << describe();
    EXPECT_TRUE(saveScreenshot(shotDir() + L"cross_cursor.png"));
    ASSERT_TRUE(pointAt({1023, 200}, 1, 0, [&] { return crossAt({1023, 200}); })) << describe();

    // A click on the lines lands in the window beneath them.
    ClickTarget target(0, 300, 200, 150);
    ASSERT_TRUE(pointAt({0, 375}, -1, 0, [&] { return crossAt({0, 375}); })) << describe();
    leftClick();
    ASSERT_TRUE(waitUntil([&] { return ClickTarget::clicks == 1; }, 3000))
        << describe() << " beneath: " << (WindowFromPoint({0, 375}) == target.window);
    EXPECT_EQ(ClickTarget::at.x, 0);
    EXPECT_EQ(ClickTarget::at.y, 75);
    EXPECT_TRUE(crossAt({0, 375})) << "the lines were not over the click";

    // The measuring cross cursor takes the cross cursor's place and reads the pointer.
    PostMessageW(run.mainWindow, WM_COMMAND, 107, 0);
    ASSERT_TRUE(
        waitUntil([&] { return !find(L"ZROVLHorzCursor") && !find(L"ZROVLVertCursor"); }, 3000));
    ASSERT_TRUE(
        waitUntil([&] { return find(L"ZROVLHorzMeasure") && find(L"ZROVLVertMeasure"); }, 3000));
    HWND xLabel = find(L"ZROVLHorzMeasure"), yLabel = find(L"ZROVLVertMeasure");
    const auto readsPointer = [&] {
        const POINT p = pointer();
        return textOf(xLabel) == formatThousands(p.x) && textOf(yLabel) == formatThousands(p.y) &&
               linesAt(L"ZROVLHorzCursorM", L"ZROVLVertCursorM", p);
    };
    ASSERT_TRUE(pointAt({1023, 275}, 1, 0, readsPointer)) << describe();
    EXPECT_EQ(textOf(xLabel), L"1,023");
    EXPECT_EQ(textOf(yLabel), L"275");
    // Placed from the reading shown before, so a further motion sizes it for "1,023": left
    // of the pointer, at the top in the upper half.
    EXPECT_TRUE(pointAt({1023, 275}, 1, 0, [&] {
        const RECT x = rectOf(xLabel);
        return readsPointer() && x.right == 1022 && x.top == 1;
    })) << describe();
    const RECT y = rectOf(yLabel);
    EXPECT_LT(y.right, 1023 - GetSystemMetrics(SM_CXCURSOR)) << "off the pointer's image";
    EXPECT_EQ(y.top, 276) << "just below the horizontal line";
    EXPECT_TRUE(saveScreenshot(shotDir() + L"measuring_cursor.png"));
}

} // namespace
