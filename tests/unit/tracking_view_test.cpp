// Focus tracking decisions: the activation filter, proportional and by-screen steps,
// Shift centring and the pseudo-maximize rectangles.
#include "mainwnd/hand_off_rules.h"
#include "mainwnd/track_view.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ActivationFilter, MagnifierDialogsOfTheFrontWindowAndDisabledToolFrames) {
    struct Case {
        ActivationFacts f;
        bool ignored;
    } cases[] = {
        {{L"#32770", 3, L"拡大鏡", false}, true},
        {{L"#32770", 3, L"拡大鏡", true}, true},
        // A longer title only starting like the magnifier's is another dialog.
        {{L"#32770", 4, L"拡大鏡", false}, false},
        {{L"#32770", 3, L"拡大図", false}, false},
        {{L"#32770", 5, L"開く", true}, true},
        {{L"#32770", 0, L"", true}, true},
        {{L"#32770", 5, L"開く", false}, false},
        // The magnifier's title on another class counts for nothing.
        {{L"Notepad", 3, L"拡大鏡", true}, false},
        {{L"#327700", 3, L"拡大鏡", true}, false},
        {{L"IEFrame", 8, L"Int", false, true, true}, true},
        {{L"IEFrame", 8, L"Int", false, true, false}, false},
        {{L"IEFrame", 8, L"Int", false, false, true}, false},
        {{L"IEFrame2", 8, L"Int", false, true, true}, false},
        {{L"", 0, L"", true, true, true}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ignoredActivation(c.f), c.ignored);
}

// 3 × 2 area of 1024 × 768 screens, taskbar 30 high at the bottom.
ViewFacts area(Point view = {1024, 0}) {
    return {{0, 0, 1024, 738}, {1024, 768}, view, 3, 2};
}

TEST(ProportionalTracking, LevelsEightAndNineAtTheWorkAreaBorder) {
    const Rect inside{100, 100, 500, 400};     // wholly on the work area
    const Rect onePixelOff{-1, 100, 399, 400}; // one column off at the left
    const Rect far{3000, 900, 3400, 1200};     // nothing on the work area
    struct Case {
        Rect r;
        int level;
        bool act;
    } cases[] = {
        {inside, 8, false},      {onePixelOff, 8, true}, {inside, 9, true},
        {onePixelOff, 7, false}, {far, 1, true},         {inside, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proportionalStep(c.r, area(), c.level).act, c.act)
            << c.r.left << " level " << c.level;
}

TEST(ProportionalTracking, ThresholdIsTheVisibleNinthsTruncated) {
    // A 900 × 100 window sliding off the right edge; visible ninths = vis × 9 / area.
    auto at = [](int visibleWidth) {
        return Rect{1024 - visibleWidth, 100, 1024 - visibleWidth + 900, 200};
    };
    struct Case {
        int visible, level;
        bool act;
    } cases[] = {
        {500, 4, false}, // 500 × 9 / 900 = 5 > 4
        {500, 5, true},  // 5 is not above 5
        {499, 4, true},  // 4.99 truncates to 4
        {800, 7, false}, {799, 7, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proportionalStep(at(c.visible), area(), c.level).act, c.act)
            << c.visible << " level " << c.level;
    // A window larger than the work area counts against the work area: fully covering
    // it is 9 ninths, visible enough for level 8.
    EXPECT_FALSE(proportionalStep({-500, -500, 2000, 2000}, area(), 8).act);
}

TEST(ProportionalTracking, CentresTheWindowWithinTheVirtualArea) {
    // Centring a 400 × 300 window at (1300, 200) on the work area: step (1300 − 312, 200 − 219).
    TrackStep s = proportionalStep({1300, 200, 1700, 500}, area({1024, 384}), 5);
    ASSERT_TRUE(s.act);
    EXPECT_EQ(s.step, (Point{988, -19}));
    // Clamped: the view cannot go left of 0, right of 2048 or below 768.
    ViewFacts v = area();
    EXPECT_EQ(proportionalStep({-2000, 100, -1900, 200}, v, 5).step, (Point{-1024, 0}));
    EXPECT_EQ(proportionalStep({5000, 2000, 5100, 2100}, v, 5).step, (Point{1024, 768}));
    // Odd differences truncate toward zero, also when the window is larger.
    EXPECT_EQ(proportionalStep({1100, 900, 1101, 901}, area({0, 0}), 5).step,
              (Point{1100 - 511, 900 - 368}));
    // 1024 − 1027 = −3 halves to −1, not −2.
    EXPECT_EQ(proportionalStep({500, 100, 1527, 839}, area({1024, 384}), 5).step,
              (Point{501, 100}));
    // Level 9 on a window already centred: acts, with nothing to do.
    s = proportionalStep({312, 219, 712, 519}, area(), 9);
    EXPECT_TRUE(s.act);
    EXPECT_EQ(s.step, (Point{0, 0}));
    // Left or above the area the clamp leaves a zero step.
    s = proportionalStep({-900, -500, -800, -400}, area({0, 0}), 5);
    EXPECT_TRUE(s.act);
    EXPECT_EQ(s.step, (Point{0, 0}));
}

TEST(ProportionalTracking, EmptyAndMinimizedRectanglesStop) {
    for (Rect r : {Rect{10, 10, 10, 50}, Rect{10, 10, 50, 9}, kMinimizedRect})
        EXPECT_FALSE(proportionalStep(r, area(), 9).act);
    // Near the minimized spot but not it: tracked.
    EXPECT_TRUE(proportionalStep({-32000, -32000, -31840, -31968}, area(), 9).act);
}

TEST(ProportionalTracking, NoWorkAreaNeverDividesByZero) {
    ViewFacts v = area();
    v.workArea = {};
    const TrackStep s = proportionalStep({10, 10, 50, 50}, v, 9);
    EXPECT_TRUE(s.act);
}

TEST(ScreenTracking, LargestOverlapFirstInRowOrder) {
    // View at screen (1, 0). Cells in current coordinates: x = −1024, 0, 1024; y = 0, 768.
    struct Case {
        Rect r;
        Point step;
    } cases[] = {
        {{100, 100, 300, 300}, {0, 0}},             // on the current screen
        {{-100, 100, 200, 300}, {0, 0}},            // 100 on (0, 0), 200 on (1, 0)
        {{-300, 100, 100, 300}, {-1024, 0}},        // 300 on (0, 0), 100 on (1, 0)
        {{-201, 100, 200, 300}, {-1024, 0}},        // 200 vs 200 (cells end one short): first
        {{1500, 900, 1600, 1000}, {1024, 768}},     // on (2, 1)
        {{-5000, -5000, -4000, -4000}, {-1024, 0}}, // nowhere: cell (0, 0)
        {{1000, 700, 1100, 800}, {1024, 0}},        // four cells; (2, 0) has 76 × 67
    };
    for (const auto& c : cases) {
        const TrackStep s = screenStep(c.r, area());
        EXPECT_TRUE(s.act);
        EXPECT_EQ(s.step, c.step) << c.r.left << "," << c.r.top;
    }
    EXPECT_FALSE(screenStep({5, 5, 5, 9}, area()).act);
    // An unaligned view steps to the exact origin of the chosen screen.
    EXPECT_EQ(screenStep({100, 100, 300, 300}, area({1000, 10})).step, (Point{24, -10}));
}

TEST(MinimizedPlace, VirtualCornerKeptInsideTheArea) {
    // Area 3072 × 1536, view at (1024, 0).
    struct Case {
        Point corner, place;
    } cases[] = {
        {{100, 50}, {1124, 50}},         // an ordinary report
        {{-1024, 0}, {0, 0}},            // the area's first pixel
        {{2047, 1535}, {3071, 1535}},    // its last pixel
        {{-1025, -1}, {0, 0}},           // one past the top-left
        {{2048, 1536}, {3071, 1535}},    // one past the bottom-right
        {{-30000, 30000}, {0, 1535}},    // a forged place
        {{INT_MAX, INT_MIN}, {3071, 0}}, // no overflow on the way
    };
    for (const auto& c : cases)
        EXPECT_EQ(minimizedPlace(c.corner, area()), c.place) << c.corner.x << "," << c.corner.y;
    ViewFacts one = area({0, 0});
    one.columns = one.rows = 1;
    EXPECT_EQ(minimizedPlace({2000, 900}, one), (Point{1023, 767}));
}

TEST(ShiftCentring, CentresAndKeepsTheTopLeftCornerInside) {
    const Rect wa{60, 0, 1024, 738};
    EXPECT_EQ(centredPosition({5, 5, 405, 305}, wa), (Point{60 + 282, 219}));
    EXPECT_EQ(centredPosition({5, 5, 406, 306}, wa), (Point{60 + 281, 218}));
    EXPECT_EQ(centredPosition({-50, -50, 1450, 950}, wa), (Point{60, 0}));
    EXPECT_EQ(centredPosition({0, 0, 965, 739}, wa), (Point{60, 0}));
}

TEST(PseudoMaximize, MaximizeStoresAndSecondRequestRestoresInsideTheWorkArea) {
    const Size wa{1024, 738};
    const Point maxPos{-4, -4}, maxSize{1032, 746};
    const Rect maxed{-4, -4, 1028, 742};
    const Point noLimit{0, 0};
    // Not yet at the maximized size: store the current rectangle, take the maximum.
    MaximizeAnswer a =
        pseudoMaximize({100, 100, 500, 400}, {100, 100, 500, 400}, maxPos, maxSize, noLimit, wa);
    EXPECT_TRUE(a.storeCurrent);
    EXPECT_EQ(a.normal, maxed);
    // Second request: back to the saved rectangle.
    a = pseudoMaximize(maxed, {100, 100, 500, 400}, maxPos, maxSize, noLimit, wa);
    EXPECT_FALSE(a.storeCurrent);
    EXPECT_EQ(a.normal, (Rect{100, 100, 500, 400}));
    // A saved rectangle hanging out of the work area comes back pushed inside.
    struct Case {
        Rect saved, expect;
    } cases[] = {
        {{900, 600, 1200, 800}, {724, 538, 1024, 738}},
        {{-30, -40, 300, 200}, {0, 0, 330, 240}},
        {{-30, 700, 300, 900}, {0, 538, 330, 738}},
        // Larger than the work area: left and top win, right and bottom stick out.
        {{-100, -100, 1100, 800}, {0, 0, 1200, 900}},
        {{500, 500, 1700, 1400}, {0, 0, 1200, 900}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pseudoMaximize(maxed, c.saved, maxPos, maxSize, noLimit, wa).normal, c.expect)
            << c.saved.left << "," << c.saved.top;
    // A record already of the maximized size gives the whole work area.
    a = pseudoMaximize(maxed, {10, 20, 1042, 766}, maxPos, maxSize, noLimit, wa);
    EXPECT_EQ(a.normal, (Rect{0, 0, 1024, 738}));
    EXPECT_FALSE(a.storeCurrent);
    // Only the exact size counts as maximized: one pixel less maximizes again.
    EXPECT_TRUE(
        pseudoMaximize({-4, -4, 1027, 742}, maxed, maxPos, maxSize, noLimit, wa).storeCurrent);
    // A program's answer near the int limits: the rectangles saturate instead of wrapping.
    const Point far{1, 2}, huge{INT_MAX, INT_MAX};
    EXPECT_EQ(pseudoMaximize({0, 0, 10, 10}, {}, far, huge, noLimit, wa).normal,
              (Rect{1, 2, INT_MAX, INT_MAX}));
    EXPECT_EQ(pseudoMaximize({5, 0, 6, 10}, {INT_MIN, 0, INT_MAX, 10}, {0, 0}, {1, 10}, noLimit, wa)
                  .normal,
              (Rect{0, 0, INT_MAX, 10}));
}

TEST(PseudoMaximize, AWindowCutToItsTrackingLimitStillCountsAsMaximized) {
    const Size wa{1024, 768};
    const Point maxPos{-4, -4}, maxSize{1032, 806}, limit{1036, 780};
    // The system let the window grow only to 780 rows: that is its maximized state.
    const Rect cut{-4, -4, 1028, 776};
    MaximizeAnswer a = pseudoMaximize(cut, {100, 100, 500, 400}, maxPos, maxSize, limit, wa);
    EXPECT_FALSE(a.storeCurrent);
    EXPECT_EQ(a.normal, (Rect{100, 100, 500, 400}));
    // Without the limit it would be maximized again and again.
    EXPECT_TRUE(pseudoMaximize(cut, {100, 100, 500, 400}, maxPos, maxSize, {}, wa).storeCurrent);
    // The maximize itself still asks for the full size; the system does the cutting.
    a = pseudoMaximize({100, 100, 500, 400}, {100, 100, 500, 400}, maxPos, maxSize, limit, wa);
    EXPECT_TRUE(a.storeCurrent);
    EXPECT_EQ(a.normal, (Rect{-4, -4, 1028, 802}));
    // A record of the cut size counts as maximized too: back to the whole work area.
    EXPECT_EQ(pseudoMaximize(cut, cut, maxPos, maxSize, limit, wa).normal, (Rect{0, 0, 1024, 768}));
    // A limit larger than the maximized size changes nothing.
    EXPECT_TRUE(pseudoMaximize(cut, cut, maxPos, maxSize, {2000, 2000}, wa).storeCurrent);
}

} // namespace

namespace {

// Who takes the activation from a closing window of the program, on a 1024 × 768 screen.
TEST(HandOff, TheWindowTheUserWasInElseTheTopmostInViewElseTheDesktop) {
    const Size screen{1024, 768};
    const Rect inView{100, 100, 500, 400};
    const Rect offView{2148, 100, 2548, 400};  // two screens to the right
    const Rect mostlyOff{-700, 100, 300, 400}; // centre left of the screen
    const Rect mostlyOn{-300, 100, 700, 400};  // centre on it
    const Rect empty{100, 100, 100, 400};
    auto facts = [&](CloseCause cause, bool inFront, bool lastShown, Rect last,
                     std::vector<Rect> managed) {
        HandOffFacts f;
        f.cause = cause;
        f.inFront = inFront;
        f.screen = screen;
        f.lastShown = lastShown;
        f.last = last;
        f.managed = std::move(managed);
        return f;
    };
    const HandOff none{}, last{HandOffKind::LastActivated, -1}, desktop{HandOffKind::Desktop, -1};
    auto managed = [](int i) { return HandOff{HandOffKind::Managed, i}; };
    struct Case {
        HandOffFacts f;
        HandOff want;
        const char* why;
    } cases[] = {
        {facts(CloseCause::Asked, true, true, inView, {offView, inView}), last,
         "user's window shown"},
        {facts(CloseCause::Asked, true, true, mostlyOn, {inView}), last, "centre on the screen"},
        {facts(CloseCause::Asked, true, true, offView, {offView, mostlyOff, inView, mostlyOn}),
         managed(2), "after a jump: the topmost window in the new view"},
        {facts(CloseCause::Asked, true, false, inView, {inView}), managed(0),
         "the user's window minimized or gone"},
        {facts(CloseCause::Asked, true, true, empty, {empty, inView}), managed(1),
         "empty rectangles"},
        {facts(CloseCause::Asked, true, true, offView, {offView, mostlyOff}), desktop,
         "nothing in view: the desktop"},
        {facts(CloseCause::Asked, true, false, {}, {}), desktop, "right after start"},
        {facts(CloseCause::Asked, false, true, inView, {inView}), none,
         "not in front: the system changes nothing"},
        {facts(CloseCause::ClickOutside, true, true, inView, {inView}), none, "click elsewhere"},
        {facts(CloseCause::MovementSwitch, true, true, inView, {inView}), none, "movement switch"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseHandOff(c.f), c.want) << c.why;
    // A centre on the last row and column is in view; one past them is on the next screen.
    EXPECT_TRUE(liesInView({1000, 700, 1046, 834}, screen));  // centre 1023, 767
    EXPECT_FALSE(liesInView({1002, 700, 1046, 834}, screen)); // centre 1024, 767
    EXPECT_FALSE(liesInView({1000, 702, 1046, 834}, screen)); // centre 1023, 768
    EXPECT_FALSE(liesInView({-2, -2, 0, 0}, screen));         // centre -1, -1
}

} // namespace
