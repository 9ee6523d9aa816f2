// The arrangement commands of the real program on windows of another process
// (trackpeer.exe): tiling over the whole virtual area from the taskbar-side corner with
// owned dialogs following their owners, gathering, and gathering then cascading. The
// commands go to the main window as the tray menu sends them.
#include "harness.h"
#include "peers/trackpeer_client.h"

#include "core/settings.h"
#include "mainwnd/tiling.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

std::vector<unsigned char> bytesOf(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

SettingsRecord area(int columns, int rows) {
    SettingsRecord s;
    s.columns = columns;
    s.rows = rows;
    s.startPosition = u'7'; // view origin (0, 0): virtual and screen positions agree
    return s;
}

bool command(const OrvalisRun& run, WPARAM id) {
    DWORD_PTR r = 0;
    return SendMessageTimeoutW(run.mainWindow, WM_COMMAND, id, 0, SMTO_BLOCK, 5000, &r) != 0;
}

// The given windows in z-order, topmost first: the order the collector lists them in.
std::vector<HWND> inZOrder(std::vector<HWND> windows) {
    std::vector<HWND> order;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (std::find(windows.begin(), windows.end(), w) != windows.end())
            order.push_back(w);
    return order;
}

bool waitForRect(HWND w, const Rect& r, DWORD timeoutMs = 3000) {
    return waitUntil(
        [&] {
            const RECT now = rectOf(w);
            return now.left == r.left && now.top == r.top && now.right == r.right &&
                   now.bottom == r.bottom;
        },
        timeoutMs);
}

void shot(const wchar_t* name) {
    CreateDirectoryW((binDir() + L"shots").c_str(), nullptr);
    EXPECT_TRUE(saveScreenshot(binDir() + L"shots\\" + name));
}

TEST(Arrange, TileThreeOnTwoByTwoFromTheBottomLeftWithTheirDialogs) {
    TrackPeer peer;
    ASSERT_TRUE(peer.start());
    HWND one = peer.create(50, 50, 300, 200, L"one");
    HWND two = peer.create(150, 120, 300, 200, L"two");
    HWND three = peer.create(1300, 190, 300, 200, L"three");
    HWND dialog = peer.create(90, 110, 220, 120, L"dialog of one", kTrackDialog, one);
    ASSERT_TRUE(one && two && three && dialog);
    OrvalisRun run;
    run.prepare(bytesOf(area(2, 2)));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(peer.waitForHook());
    const RECT wa = workArea();
    ASSERT_EQ(wa.top, 0) << "the taskbar is expected at the bottom";
    const int waW = wa.right - wa.left, waH = wa.bottom - wa.top;

    const std::vector<HWND> order = inZOrder({one, two, three});
    ASSERT_EQ(order.size(), 3u);
    ASSERT_TRUE(command(run, 164)); // side by side: rows first
    // Bottom-left, bottom-right, then top-left real screen, each window its work area.
    const Rect expect[] = {
        {0, 768, waW, 768 + waH}, {1024, 768, 1024 + waW, 768 + waH}, {0, 0, waW, waH}};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(waitForRect(order[i], expect[i])) << i;
    // The dialog keeps its offset (40, 60) to its owner.
    const RECT owner = rectOf(one);
    EXPECT_TRUE(waitForCorner(dialog, owner.left + 40, owner.top + 60));
    shot(L"tile_2x2.bmp");

    // One above the other: columns first, bottom-left, top-left, bottom-right. Moving the
    // windows may have changed which one Wine keeps in front: take the order afresh.
    const std::vector<HWND> now = inZOrder({one, two, three});
    ASSERT_TRUE(command(run, 163));
    const Rect columns[] = {
        {0, 768, waW, 768 + waH}, {0, 0, waW, waH}, {1024, 768, 1024 + waW, 768 + waH}};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(waitForRect(now[i], columns[i])) << i;
    const RECT moved = rectOf(one);
    EXPECT_TRUE(waitForCorner(dialog, moved.left + 40, moved.top + 60));
    EXPECT_TRUE(run.stop());
}

TEST(Arrange, MoreWindowsThanScreensShareWholeAndHalfCells) {
    TrackPeer peer;
    ASSERT_TRUE(peer.start());
    std::vector<HWND> windows;
    const wchar_t* names[] = {L"w1", L"w2", L"w3", L"w4", L"w5"};
    for (int i = 0; i < 5; ++i)
        windows.push_back(peer.create(40 * i, 30 * i, 320, 200, names[i]));
    OrvalisRun run;
    run.prepare(bytesOf(area(1, 1)));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(peer.waitForHook());
    const RECT wa = workArea();
    const std::vector<HWND> order = inZOrder(windows);
    ASSERT_EQ(order.size(), 5u);

    // Five windows on one real screen: a 2 × 2 grid from the bottom-left, three whole
    // cells and the last cell halved, one above the other.
    ASSERT_TRUE(command(run, 163));
    const auto layout = tileLayout(kTileColumnsFirst, 'b', 5, 1, 1, {1024, 768},
                                   {wa.left, wa.top, wa.right, wa.bottom});
    ASSERT_EQ(layout.size(), 5u);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_TRUE(waitForRect(order[i], layout[i])) << i;
    EXPECT_EQ(layout[0], (Rect{0, wa.bottom - wa.bottom / 2, 512, wa.bottom}));
    EXPECT_EQ(layout[4].bottom - layout[4].top, (wa.bottom / 2) / 2);
    shot(L"tile_1x1_five.bmp");
    EXPECT_TRUE(run.stop());
}

TEST(Arrange, GatherKeepsSizesAndCascadeStaggers) {
    TrackPeer peer;
    ASSERT_TRUE(peer.start());
    HWND one = peer.create(300, 200, 300, 200, L"one");
    HWND two = peer.create(1500, 100, 350, 250, L"two");
    HWND three = peer.create(500, 1000, 400, 150, L"three");
    OrvalisRun run;
    run.prepare(bytesOf(area(2, 2)));
    ASSERT_TRUE(run.start());
    ASSERT_TRUE(peer.waitForHook());
    const RECT wa = workArea();

    ASSERT_TRUE(command(run, 32773));
    EXPECT_TRUE(waitForRect(one, {wa.left, wa.top, wa.left + 300, wa.top + 200}));
    EXPECT_TRUE(waitForRect(two, {wa.left, wa.top, wa.left + 350, wa.top + 250}));
    EXPECT_TRUE(waitForRect(three, {wa.left, wa.top, wa.left + 400, wa.top + 150}));

    // Scattered again, then gathered and cascaded by the system. Wine's CascadeWindows
    // is a stub that moves nothing, so there the windows stay gathered; elsewhere the
    // system staggers them. Either way none is left where it was scattered to.
    peer.move(one, 700, 500);
    peer.move(two, -900, 300);
    ASSERT_TRUE(command(run, 32772));
    EXPECT_TRUE(waitUntil([&] {
        const RECT a = rectOf(one), b = rectOf(two), c = rectOf(three);
        auto corner = [&](const RECT& r) { return r.left == wa.left && r.top == wa.top; };
        auto same = [](const RECT& p, const RECT& q) { return p.left == q.left && p.top == q.top; };
        const bool gathered = corner(a) && corner(b) && corner(c);
        const bool staggered =
            !same(a, b) && !same(b, c) && !same(a, c) && a.left < 700 && b.left > -900;
        return gathered || staggered;
    }));
    shot(L"cascade.bmp");
    EXPECT_TRUE(run.stop());
}

} // namespace
