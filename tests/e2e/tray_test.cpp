// The tray icon of the real program in the test desktop's notification area: its picture
// on the taskbar (read back through the X server), the left, middle and right clicks, the
// menu, a picture that follows the view, and its removal at exit.
#include "harness.h"

#include "core/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace e2e;

namespace {

std::vector<unsigned char> bytesOf(const SettingsRecord& s) {
    const auto a = settingsBytesFromImage(encodeSettings(s));
    return {a.begin(), a.end()};
}

// 2 x 2 screens, the view on the top-right one: the picture of kMovementOn below.
SettingsRecord topRight(int trayClickTogglesScroll) {
    SettingsRecord s;
    s.columns = 2;
    s.rows = 2;
    s.startPosition = u'9';
    s.trayClickTogglesScroll = trayClickTogglesScroll;
    return s;
}

// The pictures the drawing rules give for that layout in a 16 x 16 icon (the Win32 tests
// check the icon itself against the same): W white, g grey, B black, R red, p the desktop
// picture (any colour); '.' the taskbar shows through, 'x' grey xor-ed over it, 'q' the
// picture xor-ed over it (the cut corner lies in the view).
const char* const kMovementOn[16] = {
    "................", ".......xxxxxxxxx", "WWWWWWWgpppppppq", "Wgggggggpppppppp",
    "WgWWWWWgpppppppp", "WgWWWWWgpppppppp", "WgWWWWWgpppppppp", "WgWWWWWgpppppppp",
    "WgWWWWWWBBBBBBBB", "WgWWWWWWWWWWWWWg", "WgWWWWWWWWWWWWWg", "WgWWWWWWWWWWWWWg",
    "WWWWWWWWWWWWWWWg", ".ggggggggggggggg", "................", "................",
};
const char* const kMovementOff[16] = {
    "................", ".......ggggggggg", "RRRRRR.gpppppppp", "RRR....gpppppppp",
    "R..R...gpppppppp", "R...R..gpppppppp", "R....RRgpppppppp", ".......gpppppppp",
    ".......RBBBBBBBB", ".....RR..RR.....", "R...R......R...R", "R..R........R..R",
    "RRR..........RRR", "RRRRRR....RRRRRR", "................", "................",
};

// A part of the screen as the X server shows it: GDI reads of the screen under Wine see
// only the desktop, so ImageMagick's import, started as a Unix program, writes raw RGB.
struct Patch {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<unsigned char> rgb;
    bool valid() const { return rgb.size() == static_cast<size_t>(w) * h * 3; }
    COLORREF at(int i, int j) const {
        const size_t k = (static_cast<size_t>(j) * w + i) * 3;
        return RGB(rgb[k], rgb[k + 1], rgb[k + 2]);
    }
};

// Runs import with the given options, writing `out` (with a format prefix such as
// "rgb:", or none to go by the extension); true when it wrote `bytes` bytes (any size
// when 0).
bool runImport(const std::string& options, const char* format, const std::wstring& out,
               size_t bytes) {
    const std::string target = unixPath(out);
    if (target.empty())
        return false;
    DeleteFileW(out.c_str());
    if (!runUnixCommand("import -window root " + options + " " + shellQuoted(format + target)))
        return false;
    const size_t size = readFile(out).size();
    return bytes ? size == bytes : size > 0;
}

Patch grab(const TempDir& dir, int x, int y, int w, int h) {
    Patch p{x, y, w, h, {}};
    const std::wstring file = dir.path + L"patch.rgb";
    const std::string crop = "-crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                             std::to_string(x) + "+" + std::to_string(y) + " -depth 8";
    if (runImport(crop, "rgb:", file, static_cast<size_t>(w) * h * 3))
        p.rgb = readFile(file);
    return p;
}

// An enlarged picture of the notification area for people to look at.
void saveTrayShot(const RECT& bar, const wchar_t* name) {
    CreateDirectoryW((binDir() + L"shots").c_str(), nullptr);
    const std::string crop = "-crop 120x" + std::to_string(bar.bottom - bar.top) + "+" +
                             std::to_string(bar.right - 120) + "+" + std::to_string(bar.top) +
                             " -filter point -resize 800%";
    runImport(crop, "", binDir() + L"shots\\" + name, 0);
}

// Where the picture stands: the icon's top-left on the screen when the patch shows
// `want` somewhere along it, else (-1, -1).
POINT findPicture(const Patch& p, const char* const (&want)[16]) {
    if (!p.valid())
        return {-1, -1};
    for (int oy = 0; oy + 16 <= p.h; ++oy)
        for (int ox = 0; ox + 16 <= p.w; ++ox) {
            // The background is what the corner shows through.
            const COLORREF bg = p.at(ox, oy);
            const COLORREF xored = bg ^ RGB(128, 128, 128);
            bool match = true;
            for (int j = 0; j < 16 && match; ++j)
                for (int i = 0; i < 16 && match; ++i) {
                    const COLORREF c = p.at(ox + i, oy + j);
                    switch (want[j][i]) {
                    case 'W': match = c == RGB(255, 255, 255); break;
                    case 'g': match = c == RGB(128, 128, 128); break;
                    case 'B': match = c == RGB(0, 0, 0); break;
                    case 'R': match = c == RGB(255, 0, 0); break;
                    case '.': match = c == bg; break;
                    case 'x': match = c == xored; break;
                    case 'q': match = c != bg; break;
                    default: break; // the desktop picture
                    }
                }
            if (match)
                return {p.x + ox, p.y + oy};
        }
    return {-1, -1};
}

void click(DWORD down, DWORD up) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof(INPUT));
}
void leftClick() {
    click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}
void rightClick() {
    click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
}
void middleClick() {
    click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
}

HWND visibleMenuOf(DWORD pid) {
    HWND menu = findWindowOfProcess(pid, L"#32768");
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

struct TooltipSearch {
    POINT anchor;
    HWND found;
};
BOOL CALLBACK findTooltip(HWND w, LPARAM lp) {
    auto* t = reinterpret_cast<TooltipSearch*>(lp);
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    RECT r{};
    if (lstrcmpW(cls, L"tooltips_class32") != 0 || !IsWindowVisible(w) || !GetWindowRect(w, &r))
        return TRUE;
    if (r.right - r.left < 20 || std::abs(r.bottom - t->anchor.y) > 200)
        return TRUE;
    t->found = w;
    return FALSE;
}
HWND visibleTooltipNear(POINT p) {
    TooltipSearch t{p, nullptr};
    EnumWindows(findTooltip, reinterpret_cast<LPARAM>(&t));
    return t.found;
}

struct TrayTest : ::testing::Test {
    OrvalisRun run;
    RECT bar{};
    POINT icon{-1, -1}; // the picture's top-left on the screen

    // Starts the program and waits until its picture shows in the notification area.
    void begin(const SettingsRecord& s) {
        setCursor(512, 300); // away from every edge and window
        run.prepare(bytesOf(s));
        ASSERT_TRUE(run.start());
        ASSERT_TRUE(waitUntil(
            [&] {
                HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
                return tray && IsWindowVisible(tray) && GetWindowRect(tray, &bar);
            },
            10000))
            << "no taskbar";
        ASSERT_TRUE(showsPicture(kMovementOn)) << "no icon with the picture of the view";
    }
    // Waits until the right end of the taskbar shows `want`, and notes where.
    bool showsPicture(const char* const (&want)[16], DWORD timeoutMs = 10000) {
        return waitUntil(
            [&] {
                const Patch p = grab(run.dir, bar.right - 120, bar.top, 120, bar.bottom - bar.top);
                const POINT at = findPicture(p, want);
                if (at.x < 0)
                    return false;
                icon = at;
                return true;
            },
            timeoutMs);
    }
    bool showsNeither(DWORD timeoutMs = 10000) {
        return waitUntil(
            [&] {
                const Patch p = grab(run.dir, bar.right - 120, bar.top, 120, bar.bottom - bar.top);
                return p.valid() && findPicture(p, kMovementOn).x < 0 &&
                       findPicture(p, kMovementOff).x < 0;
            },
            timeoutMs);
    }
    void pointAtIcon() { setCursor(icon.x + 8, icon.y + 8); }
    int storedMovement() const {
        const auto bytes = readFile(run.settingsPath());
        return bytes.size() == 84 ? bytes[0] : -1;
    }
};

TEST_F(TrayTest, LeftClickTogglesMovementAndThePictureFollows) {
    ASSERT_NO_FATAL_FAILURE(begin(topRight(1)));
    saveTrayShot(bar, L"tray_on.png");

    // Resting on the icon shows the position tooltip.
    pointAtIcon();
    moveRelative(1, 0);
    const bool tip = waitUntil([&] { return visibleTooltipNear(icon) != nullptr; });
    runImport("", "", binDir() + L"shots\\tray_tooltip.png", 0);
    EXPECT_TRUE(tip) << "no tooltip over the icon";

    // Each click toggles once, and the new state reaches the file.
    const auto clickAndWaitFor = [&](int want) {
        pointAtIcon();
        leftClick();
        return waitUntil([&] { return storedMovement() == want; }, 5000);
    };
    ASSERT_TRUE(clickAndWaitFor('0')) << "movement not toggled";
    ASSERT_TRUE(showsPicture(kMovementOff)) << "the icon does not show movement off";
    saveTrayShot(bar, L"tray_off.png");

    ASSERT_TRUE(clickAndWaitFor('1'));
    EXPECT_TRUE(showsPicture(kMovementOn));
    EXPECT_TRUE(run.stop());
}

TEST_F(TrayTest, LeftClickHandsOverToTheOverviewWhenNotToggling) {
    ASSERT_NO_FATAL_FAILURE(begin(topRight(0)));
    pointAtIcon();
    leftClick();
    // The click has been handled once the program answers and the shell has had time to
    // pass it on; movement and the settings file stay as they were.
    pumpFor(500);
    ASSERT_TRUE(run.barrier());
    EXPECT_EQ(readFile(run.settingsPath()), bytesOf(topRight(0)));
    HWND overview = nullptr;
    EXPECT_TRUE(waitUntil([&] {
        overview = findWindowOfProcess(run.proc.pid, L"OVLOutline");
        return overview && IsWindowVisible(overview);
    })) << "the overview did not open";
    // It opens over the icon: closed, the picture shows again.
    SendMessageTimeoutW(overview, WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    EXPECT_TRUE(showsPicture(kMovementOn, 2000));
    EXPECT_TRUE(run.stop());
}

TEST_F(TrayTest, MiddleClickPinsThePointerWhichThenMovesTheView) {
    ASSERT_NO_FATAL_FAILURE(begin(topRight(1)));
    pointAtIcon();
    const POINT pinned{icon.x + 8, icon.y + 8};
    middleClick();
    RECT clip{};
    ASSERT_TRUE(waitUntil([&] {
        return GetClipCursor(&clip) && clip.right - clip.left == 1 && clip.bottom - clip.top == 1;
    })) << "pointer not pinned";
    EXPECT_EQ(clip.left, pinned.x);
    EXPECT_EQ(clip.top, pinned.y);

    // The pinned pointer stays put while its motion moves the view to the left: the
    // picture no longer shows the top-right screen.
    ASSERT_TRUE(waitUntil(
        [&] {
            moveRelative(-40, 0);
            const Patch p = grab(run.dir, icon.x, icon.y, 16, 16);
            return p.valid() && findPicture(p, kMovementOn).x < 0;
        },
        10000))
        << "the view did not move";
    POINT now{};
    GetCursorPos(&now);
    EXPECT_EQ(now.x, pinned.x);
    EXPECT_EQ(now.y, pinned.y);

    // The next click on the icon frees the pointer and toggles nothing.
    leftClick();
    ASSERT_TRUE(waitUntil([&] { return GetClipCursor(&clip) && clip.right - clip.left > 1; }))
        << "pointer still pinned";
    run.barrier();
    EXPECT_EQ(readFile(run.settingsPath()), bytesOf(topRight(1)));
    EXPECT_TRUE(run.stop());
}

TEST_F(TrayTest, EdgePushRedrawsThePictureAtTheNewView) {
    ASSERT_NO_FATAL_FAILURE(begin(topRight(0)));
    // Under Wine the program's pointer device reports motion only after a first button
    // event: a click on the bare desktop gives it one (a click on the icon would open the
    // overview, which then fades out while the pushes run).
    leftClickAt(600, 300);
    setCursor(0, 600);
    // Pushes against the left edge until the view reaches the left column (input may
    // take a moment to arrive after start-up; the view stops at x = 0 however hard).
    auto pictureAt = [&](int i, int j) {
        const Patch p = grab(run.dir, icon.x, icon.y, 16, 16);
        return p.valid() ? p.at(i, j) : CLR_INVALID;
    };
    auto isPicture = [](COLORREF c) {
        return c != CLR_INVALID && c != RGB(255, 255, 255) && c != RGB(128, 128, 128) &&
               c != RGB(0, 0, 0);
    };
    // The picture may show the view on its way there first: wait for where it ends.
    ASSERT_TRUE(waitUntil(
        [&] {
            moveRelative(-300, 0);
            return isPicture(pictureAt(3, 5)) && pictureAt(12, 5) == RGB(255, 255, 255) &&
                   pictureAt(3, 10) == RGB(255, 255, 255);
        },
        10000))
        << "the picture did not move to the left column";
    // Where the view was, the grid is plain white again; the view is still at the top.
    EXPECT_EQ(pictureAt(12, 5), RGB(255, 255, 255));
    EXPECT_TRUE(isPicture(pictureAt(3, 2)));
    EXPECT_EQ(pictureAt(3, 10), RGB(255, 255, 255));
    saveTrayShot(bar, L"tray_pushed.png");
    EXPECT_TRUE(run.stop());
}

TEST_F(TrayTest, RightClickOpensTheMenuAndItsExitRemovesTheIcon) {
    ASSERT_NO_FATAL_FAILURE(begin(topRight(0)));
    pointAtIcon();
    rightClick();
    ASSERT_TRUE(waitUntil([&] { return visibleMenuOf(run.proc.pid) != nullptr; })) << "no menu";
    CreateDirectoryW((binDir() + L"shots").c_str(), nullptr);
    runImport("", "", binDir() + L"shots\\tray_menu.png", 0);
    // The menu lies within the screen around the pointer.
    RECT m{};
    GetWindowRect(visibleMenuOf(run.proc.pid), &m);
    EXPECT_GT(m.right - m.left, m.bottom - m.top) << "two columns are wider than high";
    EXPECT_TRUE(m.left <= icon.x + 8 && icon.x + 8 <= m.right);

    keyTap(VK_ESCAPE);
    ASSERT_TRUE(waitUntil([&] { return visibleMenuOf(run.proc.pid) == nullptr; }));
    EXPECT_TRUE(run.proc.running());

    // Again, and leave by the menu's exit item (its mnemonic X).
    pointAtIcon();
    rightClick();
    ASSERT_TRUE(waitUntil([&] { return visibleMenuOf(run.proc.pid) != nullptr; }));
    keyTap('X');
    EXPECT_NE(run.proc.wait(10000), STILL_ACTIVE) << "the exit item did not end the program";
    EXPECT_TRUE(showsNeither()) << "the icon stayed after exit";
}

} // namespace
