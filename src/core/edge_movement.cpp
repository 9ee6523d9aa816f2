// The movement computation of one pointer drain and of each continuation tick: reads the
// edges, keeps the system pointer shaped as an arrow where the view can move, and turns
// motion toward a touched edge into view shifts through the delay gate.
#include "core/edge_movement.h"

#include "core/app.h"
#include "core/delay_gate.h"
#include "core/edge_core.h"
#include "core/input.h"
#include "core/settings.h"
#include "core/view.h"
#include "core/viewport.h"
#include "overlay/cross_cursor.h"
#include "overview/overview_window.h"
#include "res/resource.h"
#include "tray/tray_menu.h"

Point PointerPosition;
Point lastStep;
HCURSOR savedNormalArrow;

namespace {

constexpr DWORD kOcrNormal = 32512;

HCURSOR shapes[5]; // indexed by EdgeShape
HCURSOR installedShape;
Point continuation; // (0, 0): the continuation timer does not run

Point maxView() {
    return maxViewOrigin(Settings.columns, Settings.rows, RealScreenSize);
}

HCURSOR loadEdgeCursor(int id) {
    return static_cast<HCURSOR>(LoadImageW(appInstance, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 0, 0,
                                           LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR refusedShape; // the last shape the system would not take

// Every monitor in screen coordinates (the first sixteen the system lists), read at
// start-up and on each display change rather than on every pointer event.
constexpr int kMonitorCapacity = 16;
Rect monitors[kMonitorCapacity];
int monitorCount = 0;

BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT r, LPARAM) {
    if (monitorCount >= kMonitorCapacity)
        return FALSE;
    monitors[monitorCount++] = {r->left, r->top, r->right, r->bottom};
    return TRUE;
}

// The edges at `p` that hold the pointer.
int heldEdgesAt(Point p) {
    return edgesWithoutMonitorBeyond(edgeFlagsAt(p, RealScreenSize), p,
                                     std::span<const Rect>(monitors, monitorCount));
}

void installShape(HCURSOR choice) {
    if (!choice)
        return;
    if (choice == installedShape) {
        refusedShape = nullptr; // another shape was chosen in between
        return;
    }
    // A system that refused this shape refuses it again: try it anew only once another
    // shape has been chosen in between, not on every drain of a push.
    if (choice == refusedShape)
        return;
    // The system takes ownership of the copy it is given, and only of that.
    HCURSOR copy = static_cast<HCURSOR>(CopyImage(choice, IMAGE_CURSOR, 0, 0, LR_COPYFROMRESOURCE));
    if (copy && SetSystemCursor(copy, kOcrNormal)) {
        installedShape = choice;
        refusedShape = nullptr;
        return;
    }
    if (copy)
        DestroyCursor(copy);
    refusedShape = choice;
}

} // namespace

void stopContinuation() {
    continuation = {};
    KillTimer(MainWindow, kContinuationTimer);
}

// Applies the queued samples one after another, each clamped against the view as it
// stands after the previous one, then leaves the gate empty and open.
void applyQueuedMoves() {
    for (int i = 0; i < DelayState.count; ++i) {
        const Point step =
            clampToArea({DelayState.samples[i].x, DelayState.samples[i].y}, ViewOrigin, maxView());
        lastStep = step;
        if (step.x != 0 || step.y != 0)
            shiftView(step.x, step.y, nullptr);
    }
    gateReset();
    DelayState.passed = 1;
}

namespace {

// A step offered to the gate: held, or released as a move by whole screens or as the
// queued samples, of which an open gate keeps only this one when the swallowed distance
// must not move.
void passThroughGate(Point step, int flags, bool timed) {
    if (!gateAdd(step.x, step.y, timed))
        return; // the delay holds the push
    if (Settings.moveByScreen) {
        stepOneScreen(flags);
        return;
    }
    if (Settings.delayNoMove) {
        DelayState.passed = 1;
        gateAdd(step.x, step.y, timed);
    }
    applyQueuedMoves();
}

} // namespace

void readMonitors() {
    // An enumeration that fails keeps the monitors it found; with none, every edge
    // counts, as on a single screen.
    monitorCount = 0;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, 0);
}

void resetEdgeMovement() {
    PointerPosition = {};
    lastStep = {};
    continuation = {};
    installedShape = shapes[0];
    refusedShape = nullptr;
}

void loadPointerShapes() {
    HCURSOR arrow =
        static_cast<HCURSOR>(LoadImageW(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED));
    HCURSOR normal =
        arrow ? static_cast<HCURSOR>(CopyImage(arrow, IMAGE_CURSOR, 0, 0, LR_COPYFROMRESOURCE))
              : nullptr;
    if (!normal)
        normal = LoadCursorFromFileW(MAKEINTRESOURCEW(kOcrNormal));
    shapes[static_cast<int>(EdgeShape::Normal)] = normal;
    savedNormalArrow = normal;
    installedShape = normal;
    shapes[static_cast<int>(EdgeShape::Left)] = loadEdgeCursor(IDC_EDGE_LEFT);
    shapes[static_cast<int>(EdgeShape::Right)] = loadEdgeCursor(IDC_EDGE_RIGHT);
    shapes[static_cast<int>(EdgeShape::Up)] = loadEdgeCursor(IDC_EDGE_UP);
    shapes[static_cast<int>(EdgeShape::Down)] = loadEdgeCursor(IDC_EDGE_DOWN);
    if (!shapes[static_cast<int>(EdgeShape::Left)])
        showMessage(L"カーソルを読み込めません", MB_ICONWARNING);
}

int readEdgeFlags() {
    POINT p;
    if (!GetCursorPos(&p))
        return 0;
    PointerPosition = {p.x, p.y};
    const int flags = heldEdgesAt(PointerPosition);
    if (Settings.edgePointer) {
        const EdgeShape shape =
            chooseEdgeShape(flags, Settings.scrollEnabled != 0, Settings.reverseDirection != 0,
                            ViewOrigin, maxView());
        installShape(shapes[static_cast<int>(shape)]);
    }
    return flags;
}

void stepOneScreen(int flags) {
    gateReset(); // every whole-screen move waits for the full delay again
    lastStep = stepToNeighbourScreen(flags, ViewOrigin, RealScreenSize, Settings.columns,
                                     Settings.rows, Settings.reverseDirection != 0);
    shiftView(lastStep.x, lastStep.y, nullptr);
}

void computeMovement(int dx, int dy, int wheelSum) {
    const int flags = readEdgeFlags();
    if (Settings.crossCursor)
        moveCrossCursor();
    if (measuringCursorOn)
        moveMeasuringCursor();

    const Point d = borderBlock({dx, dy}, ViewOrigin, maxView());
    if (!pointerPinned && !Settings.scrollEnabled)
        return;

    const bool free = grabWindow != nullptr || pointerPinned || wheelSum != 0;
    if (flags == 0) {
        if (continuation.x != 0 || continuation.y != 0)
            stopContinuation();
        else
            gateReset();
        if (!free)
            return;
    }

    lastStep = {accelerate(d.x, Settings.acceleration), accelerate(d.y, Settings.acceleration)};

    // A grab, a pinned pointer or the wheel needs no edge and is never held back.
    if (free) {
        gateAdd(lastStep.x, lastStep.y, false);
        applyQueuedMoves();
        return;
    }

    const Point step = directionFilter(lastStep, flags, Settings.reverseDirection != 0);
    lastStep = step;
    if (Settings.moveDisplay != u'o' && step.x == 0 && step.y == 0)
        return;

    if (Settings.continueAtEdge) {
        // Only the timer moves the view in this mode.
        if (continuation.x == 0 && continuation.y == 0) {
            continuation = continuationFrom(flags, step);
            SetTimer(MainWindow, kContinuationTimer, 50, nullptr);
        } else {
            continuation = strengthenContinuation(continuation, step);
        }
        return;
    }

    if (Settings.moveDisplay == u'o') {
        if (OverviewWindow)
            return;
        if (gateAdd(step.x, step.y, false)) {
            gateReset();
            openOverview();
        }
        return;
    }

    passThroughGate(step, flags, false);
}

void onContinuationTimer(UINT_PTR timerId) {
    if (timerId != kContinuationTimer)
        return;
    POINT p;
    if (!GetCursorPos(&p))
        return;
    const int flags = heldEdgesAt({p.x, p.y});
    if (flags == 0) {
        stopContinuation();
        return;
    }
    const Point step = clampToArea(continuation, ViewOrigin, maxView());
    lastStep = step;
    if (step.x == 0 && step.y == 0) {
        stopContinuation();
        return;
    }
    passThroughGate(step, flags, Settings.continueAtEdge != 0);
}
