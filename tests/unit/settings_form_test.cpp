// The settings dialog's decisions: which control shows which setting, what a click changes
// at once and what only apply reads, the couplings, the grid, close with restore, the
// version text, the opening position and the desktop-icon message.
#include "settingsdlg/settings_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// An automatic radio button's click: it is checked and its group mates are not.
void pressRadio(FormState& f, int id, std::initializer_list<int> group) {
    for (int other : group)
        f.check(other, other == id);
}

const std::initializer_list<int> kTrayGroup = {kIdTrayOverview, kIdTrayToggle};
const std::initializer_list<int> kKeyGroup = {kIdKeyNum, kIdKeyScroll, kIdKeyNone, kIdKeyCaps};
const std::initializer_list<int> kDisplayGroup = {kIdDisplayNone, kIdDisplayOverview,
                                                  kIdDisplayFrame};
const std::initializer_list<int> kStartGroup = {kIdStartTaskbar,     kIdStartBottomLeft,
                                                kIdStartTopLeft,     kIdStartTopRight,
                                                kIdStartBottomRight, kIdStartCentre};

// Each row changes one setting away from the defaults: the dialog must show it on the
// named control (a check mark, or the trackbar position), and apply must read exactly
// the same record back.
TEST(SettingsForm, EverySettingShowsOnItsControlAndApplyReadsItBack) {
    const struct {
        const char* why;
        std::function<void(SettingsRecord&)> change;
        int id;                        // control expected checked (0: none to name)
        int FormState::*bar = nullptr; // or: the trackbar expected at `position`
        int position = 0;
    } rows[] = {
        {"tray click", [](SettingsRecord& s) { s.trayClickTogglesScroll = 1; }, kIdTrayToggle},
        {"middle click", [](SettingsRecord& s) { s.edgeMiddleClickToggles = 0; }, 0},
        {"fine overview", [](SettingsRecord& s) { s.coarseOverview = 0; }, kIdFine},
        {"start 1", [](SettingsRecord& s) { s.startPosition = u'1'; }, kIdStartBottomLeft},
        {"start 3", [](SettingsRecord& s) { s.startPosition = u'3'; }, kIdStartBottomRight},
        {"start 5", [](SettingsRecord& s) { s.startPosition = u'5'; }, kIdStartCentre},
        {"start 7", [](SettingsRecord& s) { s.startPosition = u'7'; }, kIdStartTopLeft},
        {"start 9", [](SettingsRecord& s) { s.startPosition = u'9'; }, kIdStartTopRight},
        {"reverse", [](SettingsRecord& s) { s.reverseDirection = 1; }, kIdReverse},
        {"continue", [](SettingsRecord& s) { s.continueAtEdge = 1; }, kIdContinue},
        {"no-move off", [](SettingsRecord& s) { s.delayNoMove = 0; }, 0},
        {"by screen", [](SettingsRecord& s) { s.moveByScreen = 1; }, kIdMoveByScreen},
        {"ctrl off", [](SettingsRecord& s) { s.ctrlHoldMode = 0; }, 0},
        {"accel", [](SettingsRecord& s) { s.acceleration = 7; }, 0, &FormState::acceleration, 7},
        {"delay", [](SettingsRecord& s) { s.delay = 40; }, 0, &FormState::delay, 4},
        {"key none", [](SettingsRecord& s) { s.toggleKey = kToggleNone; }, kIdKeyNone},
        {"key caps", [](SettingsRecord& s) { s.toggleKey = kToggleCapsLock; }, kIdKeyCaps},
        {"key num", [](SettingsRecord& s) { s.toggleKey = kToggleNumLock; }, kIdKeyNum},
        {"track free", [](SettingsRecord& s) { s.trackByScreen = 0; }, 0},
        {"track level", [](SettingsRecord& s) { s.trackLevel = 9; }, 0, &FormState::trackLevel, 9},
        {"track off", [](SettingsRecord& s) { s.trackWhenOff = 0; }, 0},
        {"new window", [](SettingsRecord& s) { s.newWindowToEmpty = 0; }, 0},
        {"shift", [](SettingsRecord& s) { s.shiftTogglesNewWindow = 1; }, kIdShiftToggles},
        {"overview", [](SettingsRecord& s) { s.moveDisplay = u'o'; }, kIdDisplayOverview},
        {"frame", [](SettingsRecord& s) { s.moveDisplay = u'b'; }, kIdDisplayFrame},
        {"pointer off", [](SettingsRecord& s) { s.edgePointer = 0; }, 0},
        {"icons", [](SettingsRecord& s) { s.moveIcons = 1; }, kIdMoveIcons},
        {"keep icons", [](SettingsRecord& s) { s.keepIconPositions = 1; }, kIdKeepIcons},
        {"grid 5x1", [](SettingsRecord& s) { s.columns = 5, s.rows = 1; }, gridButton(5, 1),
         nullptr, 0},
        {"grid 1x5", [](SettingsRecord& s) { s.columns = 1, s.rows = 5; }, gridButton(1, 5),
         nullptr, 0},
    };
    const FormState defaults = formFromSettings(SettingsRecord{}, true);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        SettingsRecord s;
        row.change(s);
        const FormState f = formFromSettings(s, true);
        EXPECT_NE(f, defaults) << "the change does not show";
        if (row.id) {
            EXPECT_TRUE(f.isChecked(row.id));
        }
        if (row.bar) {
            EXPECT_EQ(f.*row.bar, row.position);
        }
        // From the defaults, so every field must come from the form; the middle-click
        // box acts at click only and apply leaves it to that.
        SettingsRecord back;
        back.edgeMiddleClickToggles = s.edgeMiddleClickToggles;
        applyForm(f, back);
        EXPECT_EQ(back, s);
    }
}

TEST(SettingsForm, ValuesWithoutTheirOwnControlShowAndApplyAsTheirGroupSays) {
    SettingsRecord s;
    s.startPosition = u'b'; // accepted by the loader as '1', but shown as the taskbar side
    s.toggleKey = 0x41;     // no radio for it: none is checked, and apply keeps it
    const FormState f = formFromSettings(s, false);
    EXPECT_TRUE(f.isChecked(kIdStartTaskbar));
    for (int id : kKeyGroup)
        EXPECT_FALSE(f.isChecked(id)) << id;
    // Without the fine overview its radios still show the value, disabled.
    EXPECT_TRUE(f.isChecked(kIdCoarse));
    EXPECT_FALSE(f.isEnabled(kIdFine));
    EXPECT_FALSE(f.isEnabled(kIdCoarse));
    // Tracking by screen disables the strength trackbar and its two labels.
    for (int id : {kIdTrackLevel, kIdTrackLabelLow, kIdTrackLabelHigh})
        EXPECT_FALSE(f.isEnabled(id)) << id;
    SettingsRecord back = s;
    applyForm(f, back);
    EXPECT_EQ(back.startPosition, u't');
    EXPECT_EQ(back.toggleKey, 0x41);
}

// A click on each control that acts at once changes its setting and nothing else; the
// controls read only at apply change nothing.
TEST(SettingsForm, ClicksChangeTheirOwnSettingAtOnceOrNotAtAll) {
    const struct {
        int id;
        std::initializer_list<int> group;     // empty: a check box, toggled
        int SettingsRecord::*field = nullptr; // null: read only at apply
        int want = 0;
    } rows[] = {
        {kIdTrayToggle, kTrayGroup, &SettingsRecord::trayClickTogglesScroll, 1},
        {kIdEdgeMiddle, {}, &SettingsRecord::edgeMiddleClickToggles, 0},
        {kIdCtrlHold, {}, &SettingsRecord::ctrlHoldMode, 0},
        {kIdKeyNum, kKeyGroup, &SettingsRecord::toggleKey, kToggleNumLock},
        {kIdKeyCaps, kKeyGroup, &SettingsRecord::toggleKey, kToggleCapsLock},
        {kIdKeyNone, kKeyGroup, &SettingsRecord::toggleKey, kToggleNone},
        {kIdReverse, {}, &SettingsRecord::reverseDirection, 1},
        {kIdEdgePointer, {}, &SettingsRecord::edgePointer, 0},
        {kIdContinue, {}, &SettingsRecord::continueAtEdge, 1},
        {kIdDelayNoMove, {}, &SettingsRecord::delayNoMove, 0},
        {kIdTrackByScreen, {}, &SettingsRecord::trackByScreen, 0},
        {kIdTrackWhenOff, {}, &SettingsRecord::trackWhenOff, 0},
        {kIdNewToEmpty, {}, &SettingsRecord::newWindowToEmpty, 0},
        {kIdShiftToggles, {}, &SettingsRecord::shiftTogglesNewWindow, 1},
        {kIdMoveIcons, {}, &SettingsRecord::moveIcons, 1},
        {kIdKeepIcons, {}, &SettingsRecord::keepIconPositions, 1},
        {kIdStartCentre, kStartGroup},
        {kIdFine, {kIdFine, kIdCoarse}},
        {gridButton(4, 4), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        SettingsRecord live;
        FormState f = formFromSettings(live, true);
        if (row.group.size())
            pressRadio(f, row.id, row.group);
        else if (row.id < kIdGridFirst || row.id > kIdGridLast)
            f.check(row.id, !f.isChecked(row.id));
        const FormEffect effect = clickControl(f, live, row.id);
        SettingsRecord want;
        if (row.field)
            want.*row.field = row.want;
        EXPECT_EQ(live, want);
        EXPECT_EQ(effect.hookRetChanged, row.id == kIdMoveIcons);
        EXPECT_EQ(effect.checkDesktopIcons, row.id == kIdMoveIcons);
    }
    // Dragging a trackbar sets its value while it moves.
    SettingsRecord live;
    FormState f = formFromSettings(live, true);
    f.acceleration = 6, f.delay = 3, f.trackLevel = 2;
    for (int id : {kIdAcceleration, kIdDelay, kIdTrackLevel})
        moveTrackbar(f, live, id);
    EXPECT_EQ(live.acceleration, 6);
    EXPECT_EQ(live.delay, 30);
    EXPECT_EQ(live.trackLevel, 2);
}

TEST(SettingsForm, CouplingsChangeOtherControlsButNotTheirSettings) {
    SettingsRecord live;
    live.continueAtEdge = 1;
    FormState f = formFromSettings(live, true);

    // The overview display excludes moving on at the edge: the box unchecks and greys,
    // continueAtEdge waits for apply, which clears it.
    pressRadio(f, kIdDisplayOverview, kDisplayGroup);
    clickControl(f, live, kIdDisplayOverview);
    EXPECT_EQ(live.moveDisplay, u'o');
    EXPECT_FALSE(f.isChecked(kIdContinue));
    EXPECT_FALSE(f.isEnabled(kIdContinue));
    EXPECT_EQ(live.continueAtEdge, 1);
    SettingsRecord applied = live;
    applyForm(f, applied);
    EXPECT_EQ(applied.continueAtEdge, 0);
    // The frame gives it back, still unchecked.
    pressRadio(f, kIdDisplayFrame, kDisplayGroup);
    clickControl(f, live, kIdDisplayFrame);
    EXPECT_EQ(live.moveDisplay, u'b');
    EXPECT_TRUE(f.isEnabled(kIdContinue));
    EXPECT_FALSE(f.isChecked(kIdContinue));
    pressRadio(f, kIdDisplayNone, kDisplayGroup);
    clickControl(f, live, kIdDisplayNone);
    EXPECT_EQ(live.moveDisplay, 0);

    // Whole-screen steps with the delay at 0: the no-move box checks and the trackbar
    // goes to 1 on screen; the live delay is read from the trackbar as it was.
    live = SettingsRecord{};
    live.delayNoMove = 0;
    f = formFromSettings(live, true);
    f.check(kIdMoveByScreen, true);
    clickControl(f, live, kIdMoveByScreen);
    EXPECT_EQ(live.moveByScreen, 1);
    EXPECT_TRUE(f.isChecked(kIdDelayNoMove));
    EXPECT_EQ(live.delayNoMove, 0);
    EXPECT_EQ(f.delay, 1);
    EXPECT_EQ(live.delay, 0);
    // A delay already set is taken as it stands.
    f.delay = 5;
    clickControl(f, live, kIdMoveByScreen);
    EXPECT_EQ(live.delay, 50);
    EXPECT_EQ(f.delay, 5);
    // The delay dragged back to 0 unchecks whole-screen steps (the button only).
    f.delay = 0;
    moveTrackbar(f, live, kIdDelay);
    EXPECT_EQ(live.delay, 0);
    EXPECT_FALSE(f.isChecked(kIdMoveByScreen));
    EXPECT_EQ(live.moveByScreen, 1);
    // Unchecking the no-move box unchecks whole-screen steps too.
    f.check(kIdMoveByScreen, true);
    f.check(kIdDelayNoMove, false);
    clickControl(f, live, kIdDelayNoMove);
    EXPECT_FALSE(f.isChecked(kIdMoveByScreen));

    // Tracking by screen greys the strength trackbar and its labels, and back.
    f.check(kIdTrackByScreen, false);
    clickControl(f, live, kIdTrackByScreen);
    EXPECT_TRUE(f.isEnabled(kIdTrackLevel) && f.isEnabled(kIdTrackLabelLow) &&
                f.isEnabled(kIdTrackLabelHigh));
    f.check(kIdTrackByScreen, true);
    clickControl(f, live, kIdTrackByScreen);
    EXPECT_FALSE(f.isEnabled(kIdTrackLevel) || f.isEnabled(kIdTrackLabelLow) ||
                 f.isEnabled(kIdTrackLabelHigh));
}

TEST(SettingsForm, GridClickSelectsTheRectangleAndApplyTakesItsCorner) {
    SettingsRecord live; // 2 x 2
    FormState f = formFromSettings(live, true);
    clickControl(f, live, gridButton(3, 2));
    int checked = 0;
    for (int j = 1; j <= 5; ++j)
        for (int i = 1; i <= 5; ++i) {
            EXPECT_EQ(f.isChecked(gridButton(i, j)), i <= 3 && j <= 2) << i << "," << j;
            checked += f.isChecked(gridButton(i, j));
        }
    EXPECT_EQ(checked, 6);
    EXPECT_EQ(live.columns, 2); // only apply changes the area
    applyForm(f, live);
    EXPECT_EQ(live.columns, 3);
    EXPECT_EQ(live.rows, 2);
    EXPECT_EQ(preventMaximizeFor(live.columns, live.rows), 1);

    clickControl(f, live, gridButton(1, 1));
    applyForm(f, live);
    EXPECT_EQ(live.columns, 1);
    EXPECT_EQ(live.rows, 1);
    EXPECT_EQ(preventMaximizeFor(live.columns, live.rows), 0);
    EXPECT_EQ(preventMaximizeFor(1, 2), 1);

    // No button checked: the area stays.
    for (int id = kIdGridFirst; id <= kIdGridLast; ++id)
        f.check(id, false);
    live.columns = 4;
    applyForm(f, live);
    EXPECT_EQ(live.columns, 4);
}

TEST(SettingsForm, RestorePutsBackWhatTheDialogCanChangeOnly) {
    SettingsRecord snapshot;
    snapshot.acceleration = 3;
    SettingsRecord live = snapshot;
    FormState f = formFromSettings(live, true);
    f.acceleration = 9;
    moveTrackbar(f, live, kIdAcceleration);
    f.check(kIdMoveIcons, true);
    clickControl(f, live, kIdMoveIcons);
    pressRadio(f, kIdKeyCaps, kKeyGroup);
    clickControl(f, live, kIdKeyCaps);
    // Changed meanwhile by others: the movement switch, the cross cursor, the overview.
    live.scrollEnabled = 0;
    live.crossCursor = 1;
    live.overviewWidth = 640;
    live.overviewHeight = 480;

    restoreSnapshot(live, snapshot);
    SettingsRecord want = snapshot;
    want.scrollEnabled = 0;
    want.crossCursor = 1;
    want.overviewWidth = 640;
    want.overviewHeight = 480;
    EXPECT_EQ(live, want);
}

TEST(SettingsForm, VersionTextPositionAndDesktopIconMessage) {
    EXPECT_EQ(versionText(L"2009, 12, 15, 0"), L"2009.12.15");
    EXPECT_EQ(versionText(L"1.0.0"), L"1.0.0");
    EXPECT_EQ(versionText(L" 3 ,4"), L"3.4");
    EXPECT_EQ(versionText(L",,,,"), L"..");
    EXPECT_EQ(versionText(L""), L"");

    const Rect work{0, 0, 1024, 748};
    const Size dlg{705, 460};
    const struct {
        Point at;
        Rect work;
        Point want;
    } places[] = {
        {{512, 374}, work, {512 - 352 - 1, 374 - 230 - 1}}, // centred, halves truncated
        {{0, 0}, work, {1, 1}},                             // one pixel inside top-left
        {{1024, 748}, work, {1024 - 705 - 1, 748 - 460 - 1}},
        {{150, 200}, {100, 50, 1024, 748}, {101, 51}},
        // An unreadable (all zero) work area: the centred position stands.
        {{0, 0}, {}, {-353, -231}},
    };
    for (const auto& p : places)
        EXPECT_EQ(dialogPosition(p.at, dlg, p.work), p.want) << p.at.x << "," << p.at.y;
    // At 144 DPI on a 1024 × 768 screen the dialog is larger than the work area: wherever
    // it is asked for, its title bar stays on the work area, pinned to the top-left.
    const Size large{1038, 749};
    EXPECT_EQ(dialogPosition({1000, 700}, large, work), (Point{1, 1}));
    EXPECT_EQ(dialogPosition({10, 10}, large, {0, 40, 1024, 768}), (Point{1, 41}));
    EXPECT_EQ(dialogPosition({900, 100}, {700, 749}, work), (Point{1024 - 700 - 1, 1}));

    // The client grows to hold controls laid out past it, never shrinks.
    EXPECT_EQ(clientToHold({1032, 715}, {9, 6, 1044, 703}, {11, 11}), (Size{1055, 715}));
    EXPECT_EQ(clientToHold({700, 450}, {8, 5, 696, 440}, {8, 8}), (Size{704, 450}));
    EXPECT_EQ(clientToHold({700, 450}, {8, 5, 600, 400}, {8, 8}), (Size{700, 450}));

    EXPECT_EQ(desktopIconMessage(false, false), nullptr);
    const std::wstring tail =
        L" が設定されています。\r\n\r\nアイコンも移動させる場合は解除してください。";
    EXPECT_EQ(desktopIconMessage(true, true), L"「アイコンの自動整列」 と 「等間隔に整列」" + tail);
    EXPECT_EQ(desktopIconMessage(true, false), L"「アイコンの自動整列」" + tail);
    EXPECT_EQ(desktopIconMessage(false, true), L"「等間隔に整列」" + tail);
}

} // namespace
