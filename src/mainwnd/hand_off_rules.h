// Who takes the activation when a window of this program closes while it is in front.
// Left to itself the system would activate a window of its own choosing, possibly one
// far off the view, and focus tracking would then carry the view away to it. Portable;
// hand_off.cpp gathers the facts and activates the choice.
#pragma once

#include "core/geometry.h"

#include <vector>

// Why a window of the program closes.
enum class CloseCause {
    Asked,          // its buttons, keys, close box or fade, the overview's jump, a box answered
    ClickOutside,   // a click elsewhere: the clicked window takes the focus itself
    MovementSwitch, // movement switched on or off: the focus stays where the user has it
};

struct HandOffFacts {
    CloseCause cause = CloseCause::Asked;
    bool inFront = false;      // the closing window is the foreground window
    Size screen;               // the real screen, in the coordinates of the rectangles
    bool lastShown = false;    // lastActivated still exists, shown and not minimized
    Rect last;                 // its rectangle
    std::vector<Rect> managed; // managed windows able to take the activation, topmost first
};

enum class HandOffKind { None, LastActivated, Managed, Desktop };
struct HandOff {
    HandOffKind kind = HandOffKind::None;
    int index = -1; // into HandOffFacts::managed for Managed
    friend bool operator==(const HandOff&, const HandOff&) = default;
};

// Whether the close hands the activation on at all: only when the closing window is in
// front (otherwise the system changes nothing) and the user did not put the focus
// elsewhere himself.
bool handOffWanted(CloseCause cause, bool inFront);

// A window lies in the view when its centre is on the screen: it is where the user sees
// it, and the screen it mostly belongs to.
bool liesInView(const Rect& r, Size screen);

// Nothing unless handOffWanted; otherwise the window the user was in when it lies in the
// view, else the topmost managed window in the view, else the desktop, as switching to
// another desktop would.
HandOff chooseHandOff(const HandOffFacts& f);
