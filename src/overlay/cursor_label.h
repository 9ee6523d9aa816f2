// The measuring cross cursor's two reading labels ("ZROVLHorzMeasure" shows x,
// "ZROVLVertMeasure" shows y): white digits in a dark outline on a keyed-out background.
// Used by cross_cursor.cpp only; main thread only.
#pragma once

#include "core/geometry.h"

#include <windows.h>

// Registers the label classes and makes the label font anew.
void prepareCursorLabels();
// Creates each missing label, 1 × 1 at (0, 0) with the reading "0": the first
// placeCursorLabels gives them their place and text.
void createCursorLabels();
// Posts WM_CLOSE to each label that exists (x label first).
void closeCursorLabels();
// Moves each existing label beside the pointer, sized for the reading it shows now, then
// gives it the reading at the pointer; the label redraws itself as its text changes.
void placeCursorLabels(Point pointer);
