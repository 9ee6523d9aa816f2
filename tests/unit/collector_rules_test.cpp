// The collector's verdict over a window's facts: every reason to leave a window out, per
// mode, and which facts are never asked for once a window is decided.
#include "core/collector_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A window described by plain facts; counts what the verdict asked.
struct FakeWindow {
    bool isVisible = true;
    bool ofOwnProcess = false;
    std::wstring title = L"Editor";
    bool parent = false;
    bool shell = false;
    std::wstring cls = L"EditorWnd";
    bool classUnreadable = false;
    bool disabledTool = false;
    bool matchesRule = false;
    bool rectReadable = true;
    Rect r{10, 10, 300, 200};
    bool minimized = false;

    bool ruleForClass = true;
    int titleReads = 0;
    int titleLengthReads = 0;
    int exclusionTests = 0;
    int rectReads = 0;
    int lastExcludedTitleLength = -1;

    bool visible() { return isVisible; }
    bool ownProcess() { return ofOwnProcess; }
    int titleLength() {
        ++titleLengthReads;
        return static_cast<int>(title.size());
    }
    bool hasParent() { return parent; }
    bool isShellWindow() { return shell; }
    int className(const wchar_t*& text) {
        if (classUnreadable) {
            text = nullptr;
            return 0;
        }
        text = cls.c_str();
        return static_cast<int>(cls.size());
    }
    int shortTitle(wchar_t (&buffer)[4]) {
        ++titleReads;
        const int n = static_cast<int>(title.size() < 3 ? title.size() : 3);
        for (int i = 0; i < n; ++i)
            buffer[i] = title[i];
        buffer[n] = 0;
        return n;
    }
    bool disabledToolWindow() { return disabledTool; }
    bool excludable(const wchar_t*) { return ruleForClass; }
    bool excluded(int titleLength, const wchar_t*) {
        ++exclusionTests;
        lastExcludedTitleLength = titleLength;
        return matchesRule;
    }
    bool rect(Rect& out) {
        ++rectReads;
        out = r;
        return rectReadable;
    }
    bool iconic() { return minimized; }
};

using V = CollectVerdict;

struct Row {
    const char* name;
    FakeWindow w;
    V plain;     // mode 0
    V untitled;  // mode 2 (shiftView, new-window placement)
    V everyKind; // mode 3 (adoption)
};

FakeWindow make(void (*change)(FakeWindow&)) {
    FakeWindow w;
    change(w);
    return w;
}

TEST(CollectorVerdict, EveryReasonInEveryMode) {
    const Row rows[] = {
        {"ordinary titled window", FakeWindow{}, V::Take, V::Take, V::Take},
        {"invisible", make([](FakeWindow& w) { w.isVisible = false; }), V::Invisible, V::Invisible,
         V::Invisible},
        {"own process", make([](FakeWindow& w) { w.ofOwnProcess = true; }), V::OwnProcess,
         V::OwnProcess, V::OwnProcess},
        {"untitled", make([](FakeWindow& w) { w.title.clear(); }), V::Untitled, V::Take, V::Take},
        {"owned", make([](FakeWindow& w) { w.parent = true; }), V::Untitled, V::Take, V::Take},
        {"shell window", make([](FakeWindow& w) { w.shell = true; }), V::ShellWindow,
         V::ShellWindow, V::ShellWindow},
        {"untitled shell window", make([](FakeWindow& w) {
             w.shell = true;
             w.title.clear();
         }),
         V::Untitled, V::ShellWindow, V::ShellWindow},
        {"taskbar (untitled)", make([](FakeWindow& w) {
             w.cls = L"Shell_TrayWnd";
             w.title.clear();
         }),
         V::Untitled, V::Taskbar, V::Taskbar},
        {"secondary taskbar", make([](FakeWindow& w) { w.cls = L"Shell_SecondaryTrayWnd"; }),
         V::Taskbar, V::Taskbar, V::Taskbar},
        {"taskbar-like class", make([](FakeWindow& w) { w.cls = L"Shell_TrayWndX"; }), V::Take,
         V::Take, V::Take},
        {"magnifier", make([](FakeWindow& w) {
             w.cls = L"#32770";
             w.title = L"拡大鏡";
         }),
         V::Magnifier, V::Magnifier, V::Magnifier},
        {"other dialog", make([](FakeWindow& w) {
             w.cls = L"#32770";
             w.title = L"開く";
         }),
         V::Take, V::Take, V::Take},
        {"three-letter dialog", make([](FakeWindow& w) {
             w.cls = L"#32770";
             w.title = L"拡大率";
         }),
         V::Take, V::Take, V::Take},
        {"magnifier title, other class", make([](FakeWindow& w) { w.title = L"拡大鏡"; }), V::Take,
         V::Take, V::Take},
        {"disabled tool IEFrame", make([](FakeWindow& w) {
             w.cls = L"IEFrame";
             w.disabledTool = true;
         }),
         V::DisabledToolFrame, V::DisabledToolFrame, V::DisabledToolFrame},
        {"ordinary IEFrame", make([](FakeWindow& w) { w.cls = L"IEFrame"; }), V::Take, V::Take,
         V::Take},
        {"excluded", make([](FakeWindow& w) { w.matchesRule = true; }), V::Excluded, V::Excluded,
         V::Excluded},
        {"excluded dialog", make([](FakeWindow& w) {
             w.cls = L"#32770";
             w.title = L"開く";
             w.matchesRule = true;
         }),
         V::Excluded, V::Excluded, V::Excluded},
        {"rectangle unreadable", make([](FakeWindow& w) { w.rectReadable = false; }), V::NoRect,
         V::NoRect, V::NoRect},
        {"zero width", make([](FakeWindow& w) {
             w.r = {50, 10, 50, 200};
         }),
         V::NoRect, V::NoRect, V::NoRect},
        {"zero height", make([](FakeWindow& w) {
             w.r = {50, 10, 60, 10};
         }),
         V::NoRect, V::NoRect, V::NoRect},
        {"inverted", make([](FakeWindow& w) {
             w.r = {50, 10, 40, 200};
         }),
         V::NoRect, V::NoRect, V::NoRect},
        {"1x1 far off screen", make([](FakeWindow& w) {
             w.r = {-32000, -32000, -31999, -31999};
         }),
         V::Take, V::Take, V::Take},
        {"minimized", make([](FakeWindow& w) { w.minimized = true; }), V::Minimized, V::Minimized,
         V::Take},
        {"minimized untitled owned", make([](FakeWindow& w) {
             w.minimized = true;
             w.title.clear();
             w.parent = true;
         }),
         V::Untitled, V::Minimized, V::Take},
        {"class unreadable", make([](FakeWindow& w) { w.classUnreadable = true; }), V::Take,
         V::Take, V::Take},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeWindow a = row.w, b = row.w, c = row.w;
        EXPECT_EQ(collectorVerdict(a, 0), row.plain);
        EXPECT_EQ(collectorVerdict(b, kCollectUntitled), row.untitled);
        EXPECT_EQ(collectorVerdict(c, kCollectUntitled | kCollectMinimized), row.everyKind);
        // Mode 1 alone takes minimized windows but still wants a title.
        FakeWindow d = row.w;
        const V minimizedOnly = collectorVerdict(d, kCollectMinimized);
        EXPECT_EQ(minimizedOnly, row.plain == V::Minimized ? V::Take : row.plain);
        // The shift tests the rectangle itself, as it moves the window: same verdicts
        // otherwise, and the rectangle is never read here.
        FakeWindow e = row.w;
        EXPECT_EQ(collectorVerdict(e, kCollectUntitled | kCollectRectLater),
                  row.untitled == V::NoRect ? V::Take : row.untitled);
        EXPECT_EQ(e.rectReads, 0);
        // The coarse overview reads every title itself: a window is judged as if titled,
        // and its title length is asked only where a dialog or a rule needs it.
        FakeWindow f = row.w, titled = row.w;
        if (titled.title.empty())
            titled.title = L"x";
        const V asTitled = collectorVerdict(titled, kCollectRectLater);
        EXPECT_EQ(collectorVerdict(f, kCollectRectLater | kCollectTitleLater), asTitled);
        FakeWindow noRule = row.w;
        noRule.ruleForClass = false;
        collectorVerdict(noRule, kCollectRectLater | kCollectTitleLater);
        EXPECT_EQ(noRule.titleLengthReads, noRule.cls == L"#32770" ? 1 : 0);
    }
}

TEST(CollectorVerdict, SkippedWindowsAreAskedNothingFurther) {
    FakeWindow invisible;
    invisible.isVisible = false;
    collectorVerdict(invisible, 3);
    EXPECT_EQ(invisible.exclusionTests, 0);
    EXPECT_EQ(invisible.rectReads, 0);

    FakeWindow magnifier;
    magnifier.cls = L"#32770";
    magnifier.title = L"拡大鏡";
    collectorVerdict(magnifier, 2);
    EXPECT_EQ(magnifier.exclusionTests, 0);
    EXPECT_EQ(magnifier.rectReads, 0);

    FakeWindow bar;
    bar.cls = L"Shell_TrayWnd";
    collectorVerdict(bar, 2);
    EXPECT_EQ(bar.exclusionTests, 0);
}

TEST(CollectorVerdict, TitleTextIsReadOnlyForThreeLetterDialogs) {
    struct Case {
        const wchar_t* cls;
        const wchar_t* title;
        int reads;
        int exclusionTests;
    } cases[] = {
        {L"#32770", L"拡大鏡", 1, 0},  {L"#32770", L"拡大率", 1, 1},  {L"#32770", L"拡大", 0, 1},
        {L"#32770", L"拡大鏡2", 0, 1}, {L"Notepad", L"拡大鏡", 0, 1}, {L"IEFrame", L"abc", 0, 1},
        {L"#32771", L"拡大鏡", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.cls[1]) << " " << c.reads);
        FakeWindow w;
        w.cls = c.cls;
        w.title = c.title;
        collectorVerdict(w, 2);
        EXPECT_EQ(w.titleReads, c.reads);
        EXPECT_EQ(w.exclusionTests, c.exclusionTests);
        if (c.exclusionTests) {
            EXPECT_EQ(w.lastExcludedTitleLength, static_cast<int>(w.title.size()));
        }
    }
}

TEST(CollectorVerdict, ShiftAsksNoTitleLengthWithoutARuleForTheClass) {
    // Mode 2 takes untitled windows, so only a dialog or a rule for the class needs it.
    FakeWindow plain;
    plain.ruleForClass = false;
    EXPECT_EQ(collectorVerdict(plain, 2), V::Take);
    EXPECT_EQ(plain.titleLengthReads, 0);
    EXPECT_EQ(plain.exclusionTests, 0);

    FakeWindow ruled;
    EXPECT_EQ(collectorVerdict(ruled, 2), V::Take);
    EXPECT_EQ(ruled.titleLengthReads, 1);
    EXPECT_EQ(ruled.exclusionTests, 1);

    FakeWindow dialog;
    dialog.cls = L"#32770";
    dialog.ruleForClass = false;
    EXPECT_EQ(collectorVerdict(dialog, 2), V::Take);
    EXPECT_EQ(dialog.titleLengthReads, 1);

    // Plain collection needs it for every window, and asks once.
    FakeWindow titled;
    titled.ruleForClass = true;
    collectorVerdict(titled, 0);
    EXPECT_EQ(titled.titleLengthReads, 1);
}

TEST(CollectorClasses, SpecialClassesNeedTheExactNameAndLength) {
    EXPECT_EQ(specialClassOf(L"#32770", 6), SpecialClass::Dialog);
    EXPECT_EQ(specialClassOf(L"IEFrame", 7), SpecialClass::IEFrame);
    EXPECT_EQ(specialClassOf(L"Shell_TrayWnd", 13), SpecialClass::Taskbar);
    EXPECT_EQ(specialClassOf(L"Shell_SecondaryTrayWnd", 22), SpecialClass::Taskbar);
    EXPECT_EQ(specialClassOf(L"ieframe", 7), SpecialClass::None);
    EXPECT_EQ(specialClassOf(L"shell_traywnd", 13), SpecialClass::None);
    EXPECT_EQ(specialClassOf(L"#32770", 5), SpecialClass::None); // length disagrees
    EXPECT_EQ(specialClassOf(L"#3277", 6), SpecialClass::None);
    EXPECT_EQ(specialClassOf(nullptr, 6), SpecialClass::None);
    EXPECT_EQ(specialClassOf(L"", 0), SpecialClass::None);

    EXPECT_TRUE(isMagnifierTitle(L"拡大鏡", 3));
    EXPECT_FALSE(isMagnifierTitle(L"拡大鏡", 2));
    EXPECT_FALSE(isMagnifierTitle(L"拡大", 2));
    EXPECT_FALSE(isMagnifierTitle(L"拡大X", 3));
    EXPECT_FALSE(isMagnifierTitle(nullptr, 3));
}

} // namespace
