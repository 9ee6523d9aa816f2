// What the settings dialog decides, as plain functions over the record of its controls:
// the controls a settings record shows, what a click or a trackbar drag changes at once
// (in the live settings and, through the couplings, in other controls), what apply reads
// back, what close puts back, the version text and where the dialog opens. The dialog
// window (settings_dialog.cpp) only reads its controls into a FormState, calls these and
// writes the result back; nothing here touches a window.
#pragma once

#include "core/geometry.h"
#include "core/settings.h"

#include <array>
#include <cstdint>
#include <string>

// Control identifiers of dialog template 103.
enum FormId : int {
    kIdGroupProduct = 1000,
    kIdMakerLine = 1001,
    kIdAcceleration = 1003, // trackbar 0..10
    kIdKeyNone = 1004,
    kIdKeyScroll = 1005,
    kIdKeyCaps = 1006,
    kIdKeyNum = 1007,
    kIdDelay = 1008, // trackbar 0..10, delay / 10
    kIdCtrlHold = 1010,
    kIdStartTaskbar = 1012,
    kIdStartBottomLeft = 1013,
    kIdStartTopLeft = 1014,
    kIdStartTopRight = 1015,
    kIdStartBottomRight = 1016,
    kIdStartCentre = 1017,
    kIdGridFirst = 1032, // 1032 + 5 (row - 1) + (column - 1)
    kIdGridLast = 1056,
    kIdDisplayNone = 1100,
    kIdDisplayOverview = 1101,
    kIdDisplayFrame = 1102,
    kIdContinue = 1103,
    kIdTrackLevel = 1104, // trackbar 0..9
    kIdTrackWhenOff = 1105,
    kIdTrayOverview = 1106,
    kIdTrayToggle = 1107,
    kIdFine = 1108,
    kIdCoarse = 1109,
    kIdEdgeMiddle = 1110,
    kIdEdgePointer = 1111,
    kIdMoveIcons = 1112,
    kIdReverse = 1113,
    kIdNewToEmpty = 1114,
    kIdShiftToggles = 1115,
    kIdTrackByScreen = 1116,
    kIdTrackLabelLow = 1117,
    kIdTrackLabelHigh = 1118,
    kIdDelayNoMove = 1119,
    kIdMoveByScreen = 1120,
    kIdKeepIcons = 1121,
};
constexpr int kFormIdBase = 1000;
constexpr int kFormIdCount = 122; // 1000..1121

// The state of the dialog's controls: check marks and enabled flags by identifier, and the
// three trackbar positions. Identifiers outside 1000..1121 read as unchecked and enabled.
struct FormState {
    std::array<std::uint8_t, kFormIdCount> checked{};
    std::array<std::uint8_t, kFormIdCount> disabled{};
    int acceleration = 0; // position of trackbar 1003
    int delay = 0;        // position of trackbar 1008
    int trackLevel = 0;   // position of trackbar 1104

    bool isChecked(int id) const;
    bool isEnabled(int id) const;
    void check(int id, bool on);
    void enable(int id, bool on);
    friend bool operator==(const FormState&, const FormState&) = default;
};

// The grid button of column i and row j (each 1..5).
constexpr int gridButton(int column, int row) {
    return kIdGridFirst + 5 * (row - 1) + (column - 1);
}

// The controls as the dialog opens on `s`. The overview-precision radios are enabled only
// when the fine overview can be drawn.
FormState formFromSettings(const SettingsRecord& s, bool fineOverviewAvailable);

// What a click or a drag asks of the shell besides writing the form back.
struct FormEffect {
    bool hookRetChanged = false; // store live.moveIcons into the hook library
    bool checkDesktopIcons = false;
};

// A click (notification 0) on control `id`; `form` already holds the control's new
// state, as an automatic button has it when the click arrives. Changes the live
// settings the click changes at once and the controls coupled to it.
FormEffect clickControl(FormState& form, SettingsRecord& live, int id);

// Trackbar `id` was moved; `form` holds its new position.
void moveTrackbar(FormState& form, SettingsRecord& live, int id);

// "適用して閉じる": every control read into the live settings, in the dialog's order.
void applyForm(const FormState& form, SettingsRecord& live);

// "閉じる": every value the dialog can change is put back from the snapshot taken at
// opening; movement on/off, the cross cursor and the overview size stay as they are now.
void restoreSnapshot(SettingsRecord& live, const SettingsRecord& snapshot);

// Maximizing is refused whenever the virtual area is larger than one screen.
int preventMaximizeFor(int columns, int rows);

// The product version as the dialog shows it: spaces dropped, the first two commas made
// dots, cut at the third comma ("2009, 12, 15, 0" gives "2009.12.15").
std::wstring versionText(const std::wstring& productVersion);

// Top-left of the dialog's window of `size` centred on `at`, kept one pixel inside the
// work area; a dialog larger than the work area keeps its title bar on it, pinned to the
// top-left corner. `size` is the window rectangle's right - left + 1 by bottom - top + 1.
Point dialogPosition(Point at, Size size, const Rect& workArea);

// The client size that holds every control (`controls` is the union of their rectangles in
// client coordinates) with `margin` to spare on the right and bottom: a dialog manager
// that sizes the dialog for a different DPI than it lays out its controls for leaves the
// last column past the edge.
Size clientToHold(Size client, const Rect& controls, Size margin);

// The message the desktop-icon check shows for the list view's arrangement styles, or
// null when neither is set.
const wchar_t* desktopIconMessage(bool autoArrange, bool snapToGrid);
