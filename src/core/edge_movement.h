// Edge detection and the movement computation: pointer shapes, acceleration, direction
// filter, continuation timer 519.
#pragma once

#include <windows.h>

constexpr UINT_PTR kContinuationTimer = 519;

extern HCURSOR savedNormalArrow; // the normal arrow as it was at start, put back at exit

void loadPointerShapes();
void computeMovement(int dx, int dy, int wheelSum);
void onContinuationTimer(UINT_PTR timerId);
