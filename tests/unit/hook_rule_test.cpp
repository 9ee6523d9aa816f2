// The hook library's decisions: which window events are reported, which maximizes are
// refused, when the hooks remove themselves, which icon requests run, the packed corner of
// a minimizing window and the icon-file path beside the library.
#include "hook/hook_messages.h"
#include "hook/hook_rule.h"
#include "hook/icon_path.h"
#include "hook/packed_position.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr MinMaxDecision kAllow{false, HookNotice::None};
constexpr MinMaxDecision kAllowReport{false, HookNotice::Post};
constexpr MinMaxDecision kAllowUninstall{false, HookNotice::Uninstall};
constexpr MinMaxDecision kRefuseReport{true, HookNotice::Post};
constexpr MinMaxDecision kRefuseUninstall{true, HookNotice::Uninstall};

// A top-level window of another process, its rectangle readable, the main window alive.
MinMaxFacts foreignWindow(int showCode, bool preventMaximize = true) {
    MinMaxFacts f;
    f.showCode = showCode;
    f.preventMaximize = preventMaximize;
    f.topLevel = true;
    f.rectAvailable = true;
    f.mainWindowAlive = true;
    return f;
}

std::string describe(const MinMaxFacts& f) {
    return "show " + std::to_string(f.showCode) + " prevent " + std::to_string(f.preventMaximize) +
           " own " + std::to_string(f.ownProcess) + " top " + std::to_string(f.topLevel) +
           " rect " + std::to_string(f.rectAvailable) + " alive " +
           std::to_string(f.mainWindowAlive);
}

const char* describe(const MinMaxDecision& d) {
    if (d == kAllow)
        return "allow";
    if (d == kAllowReport)
        return "allow+report";
    if (d == kAllowUninstall)
        return "allow+uninstall";
    if (d == kRefuseReport)
        return "refuse+report";
    if (d == kRefuseUninstall)
        return "refuse+uninstall";
    return "other";
}

TEST(MinMaxRule, EveryShowCodeOfAForeignTopLevelWindow) {
    // Codes 0..11: only the four minimizing ones are reported, only maximize is refused.
    const MinMaxDecision whilePrevented[12] = {kAllow, kAllow, kAllowReport, kRefuseReport,
                                               kAllow, kAllow, kAllowReport, kAllowReport,
                                               kAllow, kAllow, kAllow,       kAllowReport};
    for (int code = 0; code < 12; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(describe(decideMinMax(foreignWindow(code, true))),
                  describe(whilePrevented[code]));
        const MinMaxDecision expectedFree = code == kMaximize ? kAllow : whilePrevented[code];
        EXPECT_EQ(describe(decideMinMax(foreignWindow(code, false))), describe(expectedFree));
    }
}

TEST(MinMaxRule, WindowsThatAreNeverConsidered) {
    struct Case {
        const char* what;
        bool ownProcess;
        bool topLevel;
    } cases[] = {
        {"own process, top-level", true, true},
        {"own process, child", true, false},
        {"other process, child", false, false},
    };
    for (const Case& c : cases) {
        for (int code : {kShowMinimized, kMaximize, kMinimize, kShowMinNoActive, kForceMinimize}) {
            for (bool alive : {true, false}) {
                MinMaxFacts f = foreignWindow(code);
                f.ownProcess = c.ownProcess;
                f.topLevel = c.topLevel;
                f.mainWindowAlive = alive;
                SCOPED_TRACE(std::string(c.what) + ": " + describe(f));
                EXPECT_EQ(describe(decideMinMax(f)), describe(kAllow));
            }
        }
    }
}

TEST(MinMaxRule, MainWindowGoneRemovesTheHooksAndStillRefusesOnce) {
    struct Case {
        int showCode;
        bool rectAvailable;
        MinMaxDecision expected;
    } cases[] = {
        {kShowMinimized, true, kAllowUninstall},
        {kMinimize, true, kAllowUninstall},
        {kShowMinNoActive, true, kAllowUninstall},
        {kForceMinimize, true, kAllowUninstall},
        {kMaximize, true, kRefuseUninstall},
        {kMaximize, false, kRefuseUninstall}, // the rectangle plays no part in a maximize
        {kMinimize, false, kAllow},           // no rectangle: no report and no removal
        {9, true, kAllow},                    // restore
        {1, true, kAllow},                    // show normal
    };
    for (const Case& c : cases) {
        MinMaxFacts f = foreignWindow(c.showCode);
        f.rectAvailable = c.rectAvailable;
        f.mainWindowAlive = false;
        SCOPED_TRACE(describe(f));
        EXPECT_EQ(describe(decideMinMax(f)), describe(c.expected));
    }
}

TEST(MinMaxRule, UnreadableRectangleSuppressesOnlyTheMinimizeReport) {
    MinMaxFacts minimize = foreignWindow(kMinimize);
    minimize.rectAvailable = false;
    EXPECT_EQ(describe(decideMinMax(minimize)), describe(kAllow));
    MinMaxFacts maximize = foreignWindow(kMaximize);
    maximize.rectAvailable = false;
    EXPECT_EQ(describe(decideMinMax(maximize)), describe(kRefuseReport));
}

TEST(MinMaxRule, PreFilterNeverSkipsAnEventTheRuleWouldAct) {
    // The hook answers without any window query when the pre-filter says no: that is only
    // sound if no combination of window facts would then refuse or notify.
    for (int code = -1; code < 16; ++code) {
        for (bool prevent : {false, true}) {
            if (minMaxMayMatter(code, prevent)) {
                continue;
            }
            for (int bits = 0; bits < 16; ++bits) {
                MinMaxFacts f;
                f.showCode = code;
                f.preventMaximize = prevent;
                f.ownProcess = bits & 1;
                f.topLevel = bits & 2;
                f.rectAvailable = bits & 4;
                f.mainWindowAlive = bits & 8;
                SCOPED_TRACE(describe(f));
                EXPECT_EQ(describe(decideMinMax(f)), describe(kAllow));
            }
        }
    }
    EXPECT_TRUE(minMaxMayMatter(kMaximize, true));
    EXPECT_FALSE(minMaxMayMatter(kMaximize, false));
    EXPECT_TRUE(minMaxMayMatter(kForceMinimize, false));
}

TEST(WindowEventRule, ReportIgnoreOrRemove) {
    struct Case {
        bool ownProcess;
        bool alive;
        HookNotice expected;
    } cases[] = {
        {false, true, HookNotice::Post},
        {false, false, HookNotice::Uninstall},
        {true, true, HookNotice::None},
        {true, false, HookNotice::None}, // the main program's own last windows going away
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "own " << c.ownProcess << " alive " << c.alive);
        EXPECT_EQ(decideWindowEvent({c.ownProcess, c.alive}), c.expected);
    }
}

TEST(IconRequestRule, OnlyTheThreeRequestsToTheListViewWhileEnabled) {
    auto request = [](unsigned message) {
        IconHookFacts f;
        f.requestsEnabled = true;
        f.code = 0;
        f.hasMessage = true;
        f.forListView = true;
        f.message = message;
        return f;
    };
    EXPECT_EQ(iconRequestFor(request(WM_ICONS_SHIFT)), IconRequest::Shift);
    EXPECT_EQ(iconRequestFor(request(WM_ICONS_SAVE)), IconRequest::Save);
    EXPECT_EQ(iconRequestFor(request(WM_ICONS_RESTORE)), IconRequest::Restore);
    for (unsigned other : {0x812Bu, 0x812Fu, 0x0000u, 0x000Fu, 0x80C8u}) {
        EXPECT_EQ(iconRequestFor(request(other)), IconRequest::None) << other;
    }

    for (unsigned message : {WM_ICONS_SHIFT, WM_ICONS_SAVE, WM_ICONS_RESTORE}) {
        SCOPED_TRACE(message);
        IconHookFacts off = request(message);
        off.requestsEnabled = false; // save and restore are ignored like the shift
        EXPECT_EQ(iconRequestFor(off), IconRequest::None);
        IconHookFacts elsewhere = request(message);
        elsewhere.forListView = false;
        EXPECT_EQ(iconRequestFor(elsewhere), IconRequest::None);
        IconHookFacts noMessage = request(message);
        noMessage.hasMessage = false;
        EXPECT_EQ(iconRequestFor(noMessage), IconRequest::None);
        for (int code : {-1, 1, 3}) {
            IconHookFacts notAction = request(message);
            notAction.code = code;
            EXPECT_EQ(iconRequestFor(notAction), IconRequest::None) << code;
        }
    }
}

TEST(PackedPosition, KeepsTheLowSixteenBitsOfEachCoordinateSigned) {
    struct Case {
        int x, y;
        std::uint32_t bits;
        PackedPoint back;
    } cases[] = {
        {0, 0, 0x00000000u, {0, 0}},
        {123, 456, 0x01C8007Bu, {123, 456}},
        {-300, -20, 0xFFECFED4u, {-300, -20}},
        {5, -7, 0xFFF90005u, {5, -7}},
        {-1, 1, 0x0001FFFFu, {-1, 1}},
        {32767, -32768, 0x80007FFFu, {32767, -32768}},
        {40000, 70000, 0x11709C40u, {-25536, 4464}}, // beyond 16 bits: wrapped, by design
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const std::int32_t packed = packPosition(c.x, c.y);
        EXPECT_EQ(static_cast<std::uint32_t>(packed), c.bits);
        EXPECT_EQ(unpackPosition(packed), c.back);
        // A 64-bit message parameter may carry the value sign- or zero-extended.
        EXPECT_EQ(unpackPosition(static_cast<std::int64_t>(packed)), c.back);
        EXPECT_EQ(unpackPosition(static_cast<std::int64_t>(c.bits)), c.back);
    }
}

std::wstring iconPathFor(const std::wstring& moduleName, unsigned reportedLength) {
    wchar_t path[kIconPathCapacity];
    for (wchar_t& unit : path) {
        unit = L'?'; // stale content must not survive
    }
    const bool made = makeIconPosPath(moduleName.c_str(), reportedLength, path);
    const std::wstring result(path);
    EXPECT_EQ(made, !result.empty());
    return result;
}

std::wstring iconPathFor(const std::wstring& moduleName) {
    return iconPathFor(moduleName, static_cast<unsigned>(moduleName.size()));
}

TEST(IconPosPath, FolderOfTheLibraryPlusTheFileName) {
    EXPECT_EQ(iconPathFor(L"C:\\Tools\\Orvalis\\ovl.dll"), L"C:\\Tools\\Orvalis\\iconpos.dat");
    EXPECT_EQ(iconPathFor(L"\\\\server\\share\\ovl.dll"), L"\\\\server\\share\\iconpos.dat");
    EXPECT_EQ(iconPathFor(L"C:\\ovl.dll"), L"C:\\iconpos.dat");
    EXPECT_EQ(iconPathFor(L"C:\\dir\\"), L"C:\\dir\\iconpos.dat");
    // Forward slashes are not separators here.
    EXPECT_EQ(iconPathFor(L"C:\\a/b/ovl.dll"), L"C:\\iconpos.dat");
    // Only the reported length counts, not what lies after it.
    EXPECT_EQ(iconPathFor(L"C:\\one\\two\\ovl.dll", 7), L"C:\\one\\iconpos.dat");
}

TEST(IconPosPath, EmptyWhenTheNameIsUnusable) {
    EXPECT_EQ(iconPathFor(L"ovl.dll"), L"");
    EXPECT_EQ(iconPathFor(L""), L"");
    EXPECT_EQ(iconPathFor(L"C:\\Tools\\ovl.dll", 0), L""); // the name could not be read
    wchar_t path[kIconPathCapacity] = L"stale";
    EXPECT_FALSE(makeIconPosPath(nullptr, 10, path));
    EXPECT_EQ(path[0], L'\0');
}

TEST(IconPosPath, LongFoldersAtTheLimit) {
    // Folder (with its '\') + 11 units + terminator must fit in 260 units.
    const auto nameWithFolder = [](unsigned folderLength, unsigned fileLength) {
        std::wstring name(folderLength - 1, L'd');
        name += L'\\';
        name += std::wstring(fileLength, L'f');
        return name;
    };
    const std::wstring fits = nameWithFolder(248, 7);
    EXPECT_EQ(iconPathFor(fits), fits.substr(0, 248) + L"iconpos.dat");
    EXPECT_EQ(iconPathFor(fits).size(), 259u);
    EXPECT_EQ(iconPathFor(nameWithFolder(249, 7)), L"");
    // A short folder with a long file name: fine as long as the name itself was whole.
    const std::wstring longFile = nameWithFolder(10, 249);
    ASSERT_EQ(longFile.size(), 259u);
    EXPECT_EQ(iconPathFor(longFile), longFile.substr(0, 10) + L"iconpos.dat");
    // A name that filled the whole buffer was cut short: its folder cannot be trusted.
    EXPECT_EQ(iconPathFor(nameWithFolder(10, 250), kIconPathCapacity), L"");
}

} // namespace
