// Edge detection and the movement computation: pointer shapes at the edges,
// acceleration, border block, direction filter, the continuation timer 519 and moves by
// whole real screens. Main thread only.
#pragma once

#include "core/geometry.h"

#include <windows.h>

constexpr UINT_PTR kContinuationTimer = 519;

extern Point PointerPosition;    // refreshed by every movement computation
extern Point lastStep;           // the most recent view step (tracking and overview write it too)
extern HCURSOR savedNormalArrow; // the normal arrow as it was at start, put back at exit

void loadPointerShapes();
// Reads the monitors' rectangles: an edge with another monitor beyond it is no edge.
// Called at start-up and whenever the display changes.
void readMonitors();
int readEdgeFlags();
void computeMovement(int dx, int dy, int wheelSum);
void onContinuationTimer(UINT_PTR timerId);
// Stops timer 519 and forgets its step, so that the next push at an edge starts it anew.
void stopContinuation();
void stepOneScreen(int flags);
void applyQueuedMoves();
void resetEdgeMovement(); // tests
