// The decisions of focus tracking: which activations are ignored, when and how far the
// view follows a known window (proportionally or by whole real screens), where Shift
// centres a window, and the rectangles of the pseudo-maximize. Portable; tracking.cpp
// gathers the window facts and applies the answers.
#pragma once

#include "core/geometry.h"
#include "mainwnd/placement.h"

#include <string_view>

// What the activation filter knows of the root window.
struct ActivationFacts {
    std::wstring_view className;
    int titleLength = 0;           // GetWindowTextLengthW
    std::wstring_view shortTitle;  // the title as read into a 4-unit buffer
    bool sameThreadAsLast = false; // its thread is the last activated window's thread
    bool disabled = false;         // WS_DISABLED
    bool toolWindow = false;       // WS_EX_TOOLWINDOW
};

// True for the activations tracking never looks at (before the exclusion rules): the
// magnifier, a dialog of the window already in front, a disabled tool "IEFrame".
bool ignoredActivation(const ActivationFacts& f);

struct TrackStep {
    bool act = false; // false: stop without touching lastStep
    Point step;       // the view step; (0, 0) moves nothing
};

// The rectangle the system reports for a minimized window.
constexpr Rect kMinimizedRect{-32000, -32000, -31840, -31969};

// Proportional tracking of a window with rectangle r at `trackLevel` (1..9): nothing when
// enough of it is on the work area, otherwise the step that centres it, kept inside the
// virtual area.
TrackStep proportionalStep(const Rect& r, const ViewFacts& v, int trackLevel);

// Tracking by real screen: the step to the real screen that holds the largest part of r.
TrackStep screenStep(const Rect& r, const ViewFacts& v);

// The virtual place a minimize report leaves for the window: its corner on the screen
// plus the view origin, brought into the virtual area (a place outside it can only come
// from a forged report and would throw the window out of reach when it is restored).
Point minimizedPlace(Point corner, const ViewFacts& v);

// Where Shift puts a window of rectangle r: centred in the work area, never left of or
// above its top-left corner.
Point centredPosition(const Rect& r, const Rect& workArea);

// The pseudo-maximize's answer for a window whose placement holds `normal`, given its
// saved record, the maximize geometry it reports and the largest size the system lets it
// take (its tracking limit; 0 on an axis: no limit). A window pseudo-maximized earlier has
// the maximized size as far as that limit allowed.
struct MaximizeAnswer {
    Rect normal;               // the new normal rectangle
    bool storeCurrent = false; // maximizing: the record takes the current normal rectangle
};
MaximizeAnswer pseudoMaximize(const Rect& normal, const Rect& saved, Point maxPosition,
                              Point maxSize, Point trackLimit, Size workArea);

// `saved` moved (not resized) to lie inside (0, 0, workArea): right and bottom first,
// then left and top, so a rectangle larger than the work area keeps its top-left inside.
Rect pushInsideWorkArea(const Rect& saved, Size workArea);
