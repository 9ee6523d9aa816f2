// The tray's decisions and texts: clicks, the menu's run-time state, the tooltip, the
// help viewer's parameter and the retries of adding the icon.
#include "tray/tray_rules.h"
#include "tray/tray_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TrayClicks, EachButtonDoesItsOneThing) {
    const struct Case {
        unsigned message;
        int pinned, togglesScroll;
        TrayAction want;
    } cases[] = {
        {kTrayMouseMove, 0, 0, TrayAction::Tooltip},
        {kTrayMouseMove, 1, 1, TrayAction::Tooltip},
        {kTrayLeftUp, 0, 0, TrayAction::OpenOverview},
        {kTrayLeftUp, 0, 1, TrayAction::ToggleScroll},
        {kTrayLeftUp, 1, 0, TrayAction::Unpin},
        {kTrayLeftUp, 1, 1, TrayAction::Unpin},
        {kTrayRightUp, 0, 0, TrayAction::ShowMenu},
        {kTrayRightUp, 0, 1, TrayAction::ShowMenu},
        {kTrayRightUp, 1, 0, TrayAction::Unpin}, // only unpins: the menu does not open
        {kTrayMiddleUp, 0, 0, TrayAction::Pin},
        {kTrayMiddleUp, 1, 0, TrayAction::Unpin},
        // Button-down, double clicks and other buttons.
        {0x201, 0, 1, TrayAction::None},
        {0x203, 0, 1, TrayAction::None},
        {0x204, 1, 0, TrayAction::None},
        {0x206, 0, 0, TrayAction::None},
        {0x207, 0, 0, TrayAction::None},
        {0x209, 0, 0, TrayAction::None},
        {0x20C, 0, 0, TrayAction::None},
        {0, 0, 0, TrayAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trayActionFor(c.message, c.pinned, c.togglesScroll), c.want)
            << std::hex << c.message << " pinned " << c.pinned << " toggles " << c.togglesScroll;
}

TEST(TrayMenu, GreysCheckMarkAndRebuiltTexts) {
    SettingsRecord s;
    TrayMenuState m = trayMenuState(0, false, s);
    EXPECT_TRUE(m.greyArrange); // no window at all
    EXPECT_FALSE(m.greySettings);
    EXPECT_FALSE(m.checkCross);
    EXPECT_EQ(m.overviewText, L"仮想全域を表示(&W)...\t左クリック");
    EXPECT_EQ(m.toggleText, L"「切」 にする(&O)\tScroll Lock");

    s.crossCursor = 1;
    s.trayClickTogglesScroll = 1;
    s.scrollEnabled = 0;
    s.toggleKey = kToggleNone;
    m = trayMenuState(3, true, s);
    EXPECT_FALSE(m.greyArrange);
    EXPECT_TRUE(m.greySettings);
    EXPECT_TRUE(m.checkCross);
    EXPECT_EQ(m.overviewText, L"仮想全域を表示(&W)..."); // a left click toggles instead
    EXPECT_EQ(m.toggleText, L"「入」 にする(&O)");       // no toggle key, no hint
}

TEST(TrayMenu, ToggleItemNamesTheStateToComeAndTheLockKey) {
    const struct Case {
        int scrollEnabled, key;
        const wchar_t* want;
    } cases[] = {
        {1, kToggleCapsLock, L"「切」 にする(&O)\tCaps Lock"},
        {1, kToggleNumLock, L"「切」 にする(&O)\tNum Lock"},
        {1, kToggleScrollLock, L"「切」 にする(&O)\tScroll Lock"},
        {1, kToggleNone, L"「切」 にする(&O)"},
        {0, kToggleCapsLock, L"「入」 にする(&O)\tCaps Lock"},
        {0, kToggleNumLock, L"「入」 にする(&O)\tNum Lock"},
        {0, kToggleScrollLock, L"「入」 にする(&O)\tScroll Lock"},
        {0, 0x41, L"「入」 にする(&O)"}, // a key that is no lock key has no name here
    };
    for (const Case& c : cases)
        EXPECT_EQ(toggleItemText(c.scrollEnabled, c.key), c.want) << c.key;
}

TEST(TrayTooltip, PositionInRealScreensWithOneDecimal) {
    const struct Case {
        int state;
        Point origin;
        Size screen;
        int columns, rows;
        const wchar_t* want;
    } cases[] = {
        {1,
         {0, 0},
         {1024, 768},
         2,
         2,
         L"Orvalis 「入」\n　　　　　　━　1.0 / 2\n　　　　　　┃　1.0 / 2"},
        // Half-way between the first and the second screen.
        {1,
         {512, 0},
         {1024, 768},
         2,
         2,
         L"Orvalis 「入」\n　　　　　　━　1.5 / 2\n　　　　　　┃　1.0 / 2"},
        {0,
         {4096, 1152},
         {1024, 768},
         5,
         3,
         L"Orvalis 「切」\n　　　　　　━　5.0 / 5\n　　　　　　┃　2.5 / 3"},
        {0,
         {2048, 768},
         {1024, 768},
         3,
         2,
         L"Orvalis 「切」\n　　　　　　━　3.0 / 3\n　　　　　　┃　2.0 / 2"},
        // A tenth of a screen: 0.1 of 1000 pixels.
        {1,
         {100, 0},
         {1000, 1000},
         1,
         1,
         L"Orvalis 「入」\n　　　　　　━　1.1 / 1\n　　　　　　┃　1.0 / 1"},
    };
    for (const Case& c : cases) {
        wchar_t text[kTooltipUnits];
        formatTrayTooltip(text, c.state, c.origin, c.screen, c.columns, c.rows);
        EXPECT_EQ(std::wstring(text), c.want);
    }
}

TEST(TrayTooltip, EmptyScreenSizeIsNoDivision) {
    wchar_t text[kTooltipUnits];
    formatTrayTooltip(text, 1, {300, 300}, {0, 0}, 2, 2);
    EXPECT_EQ(std::wstring(text),
              L"Orvalis 「入」\n　　　　　　━　1.0 / 2\n　　　　　　┃　1.0 / 2");
}

TEST(HelpViewer, ParameterNamesThePageInsideTheHelpFile) {
    const struct Case {
        const wchar_t* path;
        const wchar_t* page;
        const wchar_t* want;
    } cases[] = {
        {L"C:\\Tools\\Orvalis\\Orvalis.exe", L"first.html",
         L"its:C:\\Tools\\Orvalis\\Orvalis.chm::/first.html"},
        // The help file bears the program's name, whatever it was renamed to.
        {L"D:\\ov.2\\Other.EXE", L"about.html", L"its:D:\\ov.2\\Other.chm::/about.html"},
        // No extension: one is added; a dot in a folder name is no extension.
        {L"C:\\v1.5\\Orvalis", L"files.html", L"its:C:\\v1.5\\Orvalis.chm::/files.html"},
        {L"C:\\a\\Orvalis.my app", L"limit.html", L"its:C:\\a\\Orvalis.my app.chm::/limit.html"},
        // The program's path could not be read.
        {nullptr, L"first.html", L"its:"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(helpViewerParameter(c.path, c.page), c.want);
}

TEST(HelpViewer, LongPathsAreCutAtTheBufferOrGiveUp) {
    // A help path that itself does not fit leaves the parameter as "its:".
    const std::wstring tooLong = L"C:\\" + std::wstring(254, L'x') + L".e"; // 259 units
    EXPECT_EQ(helpViewerParameter(tooLong.c_str(), L"first.html"), L"its:");
    // One that fits is kept, and the page is cut at the 260-unit buffer's end.
    const std::wstring path = L"C:\\" + std::wstring(240, L'y') + L".exe";
    const std::wstring p = helpViewerParameter(path.c_str(), L"requirements.html");
    EXPECT_EQ(p.size(), 259u);
    EXPECT_EQ(p.substr(0, 4 + 243 + 4 + 3), L"its:C:\\" + std::wstring(240, L'y') + L".chm::/");
}

// A failed save's balloon names the file; a path too long for the balloon loses its
// middle, never the drive or the file name.
TEST(SaveBalloon, ThePathFitsWithItsStartAndItsFileName) {
    const std::wstring message = L"書き込めません。";
    EXPECT_EQ(balloonTextWithPath(message, L"C:\\Orvalis\\Orvalis.dat"),
              L"書き込めません。\nC:\\Orvalis\\Orvalis.dat");
    const std::wstring longPath = L"C:\\" + std::wstring(240, L'd') + L"\\Orvalis.dat";
    const std::wstring text = balloonTextWithPath(message, longPath);
    EXPECT_EQ(text.size(), static_cast<size_t>(kBalloonTextUnits - 1));
    EXPECT_EQ(text.rfind(message + L"\nC:\\d", 0), 0u);
    EXPECT_NE(text.find(L"…"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 12), L"\\Orvalis.dat");
    // Exactly at the limit nothing is cut.
    const std::wstring fits(kBalloonTextUnits - 1 - message.size() - 1, L'p');
    EXPECT_EQ(balloonTextWithPath(message, fits), message + L"\n" + fits);
}

TEST(TrayAdd, RetriesOnlyTimeOutsEveryTwoSecondsNinetyTimesInAll) {
    struct Run {
        std::vector<unsigned> errors; // answers of the attempts; the last repeats
        int attempts = 0;
        std::vector<unsigned> waits;
        bool result = false;
    };
    auto run = [](std::vector<unsigned> errors) {
        Run r;
        r.errors = errors;
        r.result = addWithRetries(
            [&] {
                const std::size_t i = std::min<std::size_t>(r.attempts, r.errors.size() - 1);
                ++r.attempts;
                return r.errors[i];
            },
            [&](unsigned ms) { r.waits.push_back(ms); });
        return r;
    };
    Run first = run({0});
    EXPECT_TRUE(first.result);
    EXPECT_EQ(first.attempts, 1);
    EXPECT_TRUE(first.waits.empty());

    Run late = run({kErrorTimeout, kErrorTimeout, kErrorTimeout, 0});
    EXPECT_TRUE(late.result);
    EXPECT_EQ(late.attempts, 4);
    EXPECT_EQ(late.waits, (std::vector<unsigned>{2000, 2000, 2000}));

    Run never = run({kErrorTimeout});
    EXPECT_FALSE(never.result);
    EXPECT_EQ(never.attempts, 90);
    EXPECT_EQ(never.waits.size(), 89u); // no wait after the last attempt

    Run refused = run({5});
    EXPECT_FALSE(refused.result);
    EXPECT_EQ(refused.attempts, 1);
    EXPECT_TRUE(refused.waits.empty());

    Run timeoutThenRefused = run({kErrorTimeout, 87, 0});
    EXPECT_FALSE(timeoutThenRefused.result);
    EXPECT_EQ(timeoutThenRefused.attempts, 2);
}

} // namespace
