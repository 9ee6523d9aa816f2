// The settings dialog's decisions over its controls; see settings_form.h.
#include "settingsdlg/settings_form.h"

#include "core/dpi_scale.h"

#include <algorithm>

namespace {

bool inForm(int id) {
    return id >= kFormIdBase && id < kFormIdBase + kFormIdCount;
}

int clampInt(int v, int lo, int hi) {
    return std::min(std::max(v, lo), hi);
}

struct StartRadio {
    int id;
    char16_t position;
};
// In the order apply looks for the first checked one.
constexpr StartRadio kStartRadios[] = {
    {kIdStartTaskbar, u't'}, {kIdStartTopLeft, u'7'},    {kIdStartTopRight, u'9'},
    {kIdStartCentre, u'5'},  {kIdStartBottomLeft, u'1'}, {kIdStartBottomRight, u'3'},
};

struct KeyRadio {
    int id;
    int key;
};
constexpr KeyRadio kKeyRadios[] = {
    {kIdKeyNone, kToggleNone},
    {kIdKeyScroll, kToggleScrollLock},
    {kIdKeyCaps, kToggleCapsLock},
    {kIdKeyNum, kToggleNumLock},
};

// The on/off settings that a check box sets at the moment it is clicked.
struct Flag {
    int id;
    int SettingsRecord::*field;
};
constexpr Flag kClickFlags[] = {
    {kIdEdgeMiddle, &SettingsRecord::edgeMiddleClickToggles},
    {kIdCtrlHold, &SettingsRecord::ctrlHoldMode},
    {kIdReverse, &SettingsRecord::reverseDirection},
    {kIdEdgePointer, &SettingsRecord::edgePointer},
    {kIdContinue, &SettingsRecord::continueAtEdge},
    {kIdTrackWhenOff, &SettingsRecord::trackWhenOff},
    {kIdNewToEmpty, &SettingsRecord::newWindowToEmpty},
    {kIdShiftToggles, &SettingsRecord::shiftTogglesNewWindow},
    {kIdKeepIcons, &SettingsRecord::keepIconPositions},
};

void enableTracking(FormState& form, bool byScreen) {
    for (int id : {kIdTrackLabelLow, kIdTrackLevel, kIdTrackLabelHigh})
        form.enable(id, !byScreen);
}

void selectGrid(FormState& form, int columns, int rows) {
    for (int j = 1; j <= 5; ++j)
        for (int i = 1; i <= 5; ++i)
            form.check(gridButton(i, j), i <= columns && j <= rows);
}

} // namespace

bool FormState::isChecked(int id) const {
    return inForm(id) && checked[id - kFormIdBase] != 0;
}
bool FormState::isEnabled(int id) const {
    return !inForm(id) || disabled[id - kFormIdBase] == 0;
}
void FormState::check(int id, bool on) {
    if (inForm(id))
        checked[id - kFormIdBase] = on ? 1 : 0;
}
void FormState::enable(int id, bool on) {
    if (inForm(id))
        disabled[id - kFormIdBase] = on ? 0 : 1;
}

FormState formFromSettings(const SettingsRecord& s, bool fineOverviewAvailable) {
    FormState f;
    f.check(s.trayClickTogglesScroll ? kIdTrayToggle : kIdTrayOverview, true);
    f.check(s.coarseOverview ? kIdCoarse : kIdFine, true);
    f.enable(kIdFine, fineOverviewAvailable);
    f.enable(kIdCoarse, fineOverviewAvailable);

    int start = kIdStartTaskbar;
    for (const StartRadio& r : kStartRadios)
        if (r.position == s.startPosition && r.position != u't')
            start = r.id;
    f.check(start, true);

    for (const Flag& flag : kClickFlags)
        f.check(flag.id, s.*flag.field != 0);
    f.check(kIdDelayNoMove, s.delayNoMove != 0);
    f.check(kIdMoveByScreen, s.moveByScreen != 0);
    f.check(kIdMoveIcons, s.moveIcons != 0);

    // The trackbars hold their positions inside their ranges whatever they are given.
    f.acceleration = clampInt(s.acceleration, 0, 10);
    f.delay = clampInt(s.delay / 10, 0, 10);
    f.trackLevel = clampInt(s.trackLevel, 0, 9);

    for (const KeyRadio& r : kKeyRadios)
        if (r.key == s.toggleKey)
            f.check(r.id, true);

    f.check(kIdTrackByScreen, s.trackByScreen != 0);
    enableTracking(f, s.trackByScreen != 0);

    if (s.moveDisplay == 0) {
        f.check(kIdDisplayNone, true);
    } else if (s.moveDisplay == u'o') {
        f.check(kIdDisplayOverview, true);
        f.check(kIdContinue, false);
        f.enable(kIdContinue, false);
    } else {
        f.check(kIdDisplayFrame, true);
    }
    selectGrid(f, s.columns, s.rows);
    return f;
}

FormEffect clickControl(FormState& form, SettingsRecord& live, int id) {
    FormEffect effect;
    for (const Flag& flag : kClickFlags)
        if (flag.id == id)
            live.*flag.field = form.isChecked(id) ? 1 : 0;
    for (const KeyRadio& r : kKeyRadios)
        if (r.id == id)
            live.toggleKey = r.key;

    switch (id) {
    case kIdTrayOverview:
    case kIdTrayToggle: live.trayClickTogglesScroll = form.isChecked(kIdTrayToggle); break;
    case kIdDisplayNone:
    case kIdDisplayOverview:
    case kIdDisplayFrame:
        // Moving on at the edge makes no sense while a push opens the overview; the
        // check box's own setting waits for its click or for apply.
        if (form.isChecked(kIdDisplayNone)) {
            form.enable(kIdContinue, true);
            live.moveDisplay = 0;
        } else if (form.isChecked(kIdDisplayOverview)) {
            form.enable(kIdContinue, false);
            form.check(kIdContinue, false);
            live.moveDisplay = u'o';
        } else {
            form.enable(kIdContinue, true);
            live.moveDisplay = u'b';
        }
        break;
    case kIdTrackByScreen:
        live.trackByScreen = form.isChecked(id);
        enableTracking(form, live.trackByScreen != 0);
        break;
    case kIdDelayNoMove:
        live.delayNoMove = form.isChecked(id);
        if (!live.delayNoMove)
            form.check(kIdMoveByScreen, false);
        break;
    case kIdMoveByScreen:
        live.moveByScreen = form.isChecked(id);
        if (live.moveByScreen) {
            // Whole-screen steps need a delay that swallows the push before the jump.
            form.check(kIdDelayNoMove, true);
            live.delay = form.delay * 10;
            if (live.delay <= 0)
                form.delay = 1;
        }
        break;
    case kIdMoveIcons:
        live.moveIcons = form.isChecked(id);
        effect.hookRetChanged = true;
        effect.checkDesktopIcons = live.moveIcons != 0;
        break;
    default:
        if (id >= kIdGridFirst && id <= kIdGridLast) {
            const int k = id - kIdGridFirst;
            selectGrid(form, k % 5 + 1, k / 5 + 1);
        }
        break;
    }
    return effect;
}

void moveTrackbar(FormState& form, SettingsRecord& live, int id) {
    switch (id) {
    case kIdAcceleration: live.acceleration = form.acceleration; break;
    case kIdDelay:
        live.delay = form.delay * 10;
        if (form.delay == 0)
            form.check(kIdMoveByScreen, false);
        break;
    case kIdTrackLevel: live.trackLevel = form.trackLevel; break;
    default: break;
    }
}

void applyForm(const FormState& form, SettingsRecord& live) {
    const auto flag = [&](int id) { return form.isChecked(id) ? 1 : 0; };
    live.trayClickTogglesScroll = flag(kIdTrayToggle);
    for (const StartRadio& r : kStartRadios)
        if (form.isChecked(r.id)) {
            live.startPosition = r.position;
            break;
        }
    live.reverseDirection = flag(kIdReverse);
    live.continueAtEdge = flag(kIdContinue);
    live.acceleration = form.acceleration;
    live.delay = form.delay * 10;
    live.delayNoMove = flag(kIdDelayNoMove);
    live.moveByScreen = flag(kIdMoveByScreen);
    live.ctrlHoldMode = flag(kIdCtrlHold);
    for (const KeyRadio& r : kKeyRadios)
        if (form.isChecked(r.id)) {
            live.toggleKey = r.key;
            break;
        }
    live.trackByScreen = flag(kIdTrackByScreen);
    live.trackLevel = form.trackLevel;
    live.trackWhenOff = flag(kIdTrackWhenOff);
    live.newWindowToEmpty = flag(kIdNewToEmpty);
    live.shiftTogglesNewWindow = flag(kIdShiftToggles);
    live.coarseOverview = flag(kIdCoarse);
    if (form.isChecked(kIdDisplayNone)) {
        live.moveDisplay = 0;
    } else if (form.isChecked(kIdDisplayOverview)) {
        live.moveDisplay = u'o';
        live.continueAtEdge = 0;
    } else {
        live.moveDisplay = u'b';
    }
    live.edgePointer = flag(kIdEdgePointer);
    live.moveIcons = flag(kIdMoveIcons);
    live.keepIconPositions = flag(kIdKeepIcons);
    // The checked buttons form a rectangle from the top-left: its far corner is the
    // first checked one from the bottom-right.
    for (int i = 5; i >= 1; --i)
        for (int j = 5; j >= 1; --j)
            if (form.isChecked(gridButton(i, j))) {
                live.columns = i;
                live.rows = j;
                return;
            }
}

void restoreSnapshot(SettingsRecord& live, const SettingsRecord& snapshot) {
    SettingsRecord restored = snapshot;
    restored.scrollEnabled = live.scrollEnabled;
    restored.crossCursor = live.crossCursor;
    restored.overviewWidth = live.overviewWidth;
    restored.overviewHeight = live.overviewHeight;
    live = restored;
}

int preventMaximizeFor(int columns, int rows) {
    return columns > 1 || rows > 1 ? 1 : 0;
}

std::wstring versionText(const std::wstring& productVersion) {
    std::wstring out;
    int commas = 0;
    for (wchar_t c : productVersion) {
        if (c == L' ')
            continue;
        if (c == L',') {
            if (++commas == 3)
                break;
            c = L'.';
        }
        out += c;
    }
    return out;
}

Point dialogPosition(Point at, Size size, const Rect& workArea) {
    const Point p{at.x - size.w / 2 - 1, at.y - size.h / 2 - 1};
    // An unreadable work area is all zero: keeping the dialog "inside" it would throw it
    // off the screen above and to the left, so the centred position stands.
    if (workArea.right <= workArea.left || workArea.bottom <= workArea.top)
        return p;
    return keepInside(p, size, workArea, 1);
}

Size clientToHold(Size client, const Rect& controls, Size margin) {
    return {std::max(client.w, controls.right + margin.w),
            std::max(client.h, controls.bottom + margin.h)};
}

const wchar_t* desktopIconMessage(bool autoArrange, bool snapToGrid) {
    if (autoArrange && snapToGrid)
        return L"「アイコンの自動整列」 と 「等間隔に整列」 が設定されています。\r\n\r\n"
               L"アイコンも移動させる場合は解除してください。";
    if (autoArrange)
        return L"「アイコンの自動整列」 が設定されています。\r\n\r\n"
               L"アイコンも移動させる場合は解除してください。";
    if (snapToGrid)
        return L"「等間隔に整列」 が設定されています。\r\n\r\n"
               L"アイコンも移動させる場合は解除してください。";
    return nullptr;
}
