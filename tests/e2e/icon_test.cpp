// Desktop icons against a stand-in shell (iconshell.exe): a real list view in another
// process, moved from inside that process by the hook library. Icons follow the view,
// come back at the next start wherever that start puts the view, repeated labels land on
// their own places, a list view that arranges its icons by itself is left alone, and the
// icons of a restarted shell follow too.
#include "edge_fixture.h"

#include "hook/iconpos_codec.h"
#include "peers/iconshell_commands.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace e2e;

namespace {

struct IconShell {
    Process proc;
    HWND shell = nullptr;

    bool start() {
        proc = startProcess(binDir() + L"iconshell.exe");
        return proc.process &&
               waitUntil(
                   [&] {
                       HWND w = GetShellWindow();
                       DWORD pid = 0;
                       GetWindowThreadProcessId(w, &pid);
                       shell = pid == proc.pid ? w : nullptr;
                       return shell != nullptr &&
                              command(kShellCount) == std::uint32_t{kShellIconCount};
                   },
                   15000);
    }
    std::uint32_t command(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(shell, msg, wParam, lParam, SMTO_BLOCK, 5000, &result);
        return static_cast<std::uint32_t>(result);
    }
    std::vector<POINT> positions() const {
        std::vector<POINT> out;
        for (int i = 0; i < kShellIconCount; ++i) {
            const std::uint32_t p = command(kShellPosition, i);
            out.push_back({shellPointX(p), shellPointY(p)});
        }
        return out;
    }
    void stop() {
        if (shell)
            PostMessageW(shell, WM_CLOSE, 0, 0);
        if (proc.process && proc.wait(5000) == STILL_ACTIVE)
            proc.kill();
        proc.close();
        shell = nullptr;
    }
    // The shell ends and a new one comes up: a new list view on a new thread.
    bool restart() {
        stop();
        return start();
    }
    ~IconShell() { stop(); }
};

std::vector<POINT> shifted(std::vector<POINT> ps, int dx, int dy) {
    for (POINT& p : ps)
        p = {p.x + dx, p.y + dy};
    return ps;
}

std::string describe(const std::vector<POINT>& ps) {
    std::string s;
    char one[32];
    for (const POINT& p : ps) {
        snprintf(one, sizeof one, "(%ld,%ld) ", p.x, p.y);
        s += one;
    }
    return s;
}

bool same(const std::vector<POINT>& a, const std::vector<POINT>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    return a.size() == b.size();
}

// With the view moving by whole screens, a push once the view has reached the border
// changes nothing, so a push whose input was lost under load can be repeated.
struct IconTest : EdgeTest {
    bool pushUntilMovedX(int dx, int movedToX) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            moveRelative(dx, 0);
            if (waitMovedX(movedToX, 5000))
                return true;
            dx = dx < 0 ? -3 : 3;
        }
        return false;
    }
};

TEST_F(IconTest, DesktopIconsFollowTheViewAndComeBackAtTheNextStart) {
    IconShell desktop;
    ASSERT_TRUE(desktop.start()) << "the stand-in shell did not come up";
    SettingsRecord s = centred(); // view at (512, 384)
    s.moveIcons = 1;
    s.keepIconPositions = 1;
    s.moveByScreen = 1;
    ASSERT_NO_FATAL_FAILURE(begin(s));
    const std::vector<POINT> p0 = desktop.positions();

    // One push to the left edge: the view goes to the top-left screen, and the icons move
    // with the windows.
    ASSERT_TRUE(pushUntilMovedX(-3, 512)) << "moved " << movedX(L"A", a0);
    ASSERT_TRUE(waitUntil([&] { return movedY(L"A", a0) == 384; }));
    const std::vector<POINT> expected = shifted(p0, 512, 384);
    EXPECT_TRUE(waitUntil([&] { return same(desktop.positions(), expected); }, 5000))
        << describe(desktop.positions()) << "instead of " << describe(expected);

    // The exit saves every icon in list order with its label and virtual position.
    ASSERT_TRUE(run.stop());
    const std::wstring iconFile = run.dir.path + L"iconpos.dat";
    const std::vector<unsigned char> saved = readFile(iconFile);
    std::vector<IconPosRecord> records(iconPosCapacity(saved.data(), saved.size()));
    records.resize(decodeIconPos(saved.data(), saved.size(), records.data(), records.size()));
    DWORD exitCode = 0;
    GetExitCodeProcess(run.proc.process, &exitCode);
    ASSERT_EQ(records.size(), static_cast<size_t>(kShellIconCount))
        << "from " << saved.size() << " bytes; the program ended with " << exitCode
        << ", the shell is " << (desktop.proc.running() ? "running" : "gone");
    for (int i = 0; i < kShellIconCount; ++i) {
        std::wstring label;
        for (std::uint32_t u = 0; u < records[i].length; ++u)
            label += static_cast<wchar_t>(iconLabelUnit(saved.data(), records[i], u));
        EXPECT_EQ(label, kShellIcons[i].label);
        EXPECT_EQ(records[i].x, expected[i].x); // the view is at (0, 0)
        EXPECT_EQ(records[i].y, expected[i].y);
    }

    // Icons scattered while the program was away, and a start in the top-left screen:
    // each icon, the two "Notes" included, goes back to its virtual place.
    for (int i = 0; i < kShellIconCount; ++i)
        desktop.command(kShellPlace, i, static_cast<LPARAM>(packShellPoint(700 - 20 * i, 600)));
    s.startPosition = u'3'; // view at (1024, 768)
    ASSERT_TRUE(writeFile(run.settingsPath(), settingsBytes(s)));
    // As after a reboot: no record of the last run's view, so the start position holds.
    ASSERT_TRUE(DeleteFileW((run.dir.path + L"Orvalis.view").c_str()));
    ASSERT_TRUE(run.start());
    const std::vector<POINT> restored = shifted(expected, -1024, -768);
    EXPECT_TRUE(same(desktop.positions(), restored))
        << describe(desktop.positions()) << "instead of " << describe(restored);
    ASSERT_TRUE(run.waitInputReady());
    // B stood in the last view's right column, beyond the area as seen from this view: the
    // start brought it into the nearest screen, and from there it moves with A.
    ASSERT_TRUE(waitUntil([&] { return peer.rect(L"B").left < 1024; }));
    b0.left = peer.rect(L"B").left - movedX(L"A", a0);

    // A list view that places its icons by itself keeps them where it put them, while
    // the windows move: snap to grid, then auto-arrange.
    ASSERT_TRUE(desktop.command(kShellArrange, 2));
    std::vector<POINT> before = desktop.positions();
    // Still on the left edge: one screen to the left.
    ASSERT_TRUE(pushUntilMovedX(-3, 512 + 1024)) << "moved " << movedX(L"A", a0);
    settle();
    EXPECT_TRUE(same(desktop.positions(), before)) << describe(desktop.positions());
    ASSERT_TRUE(desktop.command(kShellArrange, 1));
    before = desktop.positions();
    // Across to the right edge: one screen to the right.
    ASSERT_TRUE(pushUntilMovedX(2000, 512)) << "moved " << movedX(L"A", a0);
    settle();
    EXPECT_TRUE(same(desktop.positions(), before)) << describe(desktop.positions());

    // The shell restarts and says so with "TaskbarCreated": the icons of its new list view
    // move with the view. From the right edge across to the left: one screen to the left.
    ASSERT_TRUE(desktop.restart()) << "the stand-in shell did not come back";
    before = desktop.positions();
    ASSERT_TRUE(pushUntilMovedX(-2000, 512 + 1024)) << "moved " << movedX(L"A", a0);
    settle();
    EXPECT_TRUE(same(desktop.positions(), shifted(before, 1024, 0)))
        << describe(desktop.positions()) << "instead of " << describe(shifted(before, 1024, 0));

    // A save that cannot be written leaves the last file as it was.
    const std::wstring blocker = iconFile + L".new";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    EXPECT_TRUE(run.stop());
    EXPECT_EQ(readFile(iconFile), saved);
    RemoveDirectoryW(blocker.c_str());
}

} // namespace
