// The command table of the main window and the small decisions it takes, as plain
// functions: which action an identifier stands for, which help page it opens, how the
// two cross cursors exclude each other, and the real-screen size after a display change.
#pragma once

#include "core/geometry.h"

enum class Command {
    None, // not handled: default processing
    Settings,
    Exit,
    CrossCursor,
    MeasuringCursor,
    Exclusions,
    ToggleScroll,
    TileVertical,
    TileHorizontal,
    Overview,
    Help,
    Cascade,
    Gather,
};

struct CommandAction {
    Command command = Command::None;
    const wchar_t* helpPage = nullptr; // for Command::Help
};

// `id` is the low word of wParam.
CommandAction commandFor(unsigned id);

// The two cross cursors are never on together. Given the flags before a toggle, what
// changes: the new flags and which overlays to close and open, in that order.
struct CursorToggle {
    int crossCursor;
    int measuringCursorOn;
    bool closeCross;
    bool closeMeasuring;
    bool openCross;
    bool openMeasuring;
};
CursorToggle toggleCrossCursor(int crossCursor, int measuringCursorOn);
CursorToggle toggleMeasuringCursor(int crossCursor, int measuringCursorOn);

// WM_DISPLAYCHANGE: the new size from lParam's words, or the system's when either is zero.
Size displaySizeAfterChange(unsigned lParam, Size systemMetrics);
