// The delay gate: holds the first part of an edge push until the pointer pushes fast
// enough, then lets steps through at once until the push ends. Called by the edge
// movement on the main thread only; the arithmetic lives in delay_gate_core.
#pragma once

#include "core/delay_gate_core.h"

// The one record, built before start-up; its threshold is Settings.delay itself.
extern DelayStateRecord DelayState;

// Queues one step; true means release: apply the queued samples (applyQueuedMoves).
// timed asks for the indicator's time test (the continuation timer passes it).
bool gateAdd(int x, int y, bool timed);
// Empties and closes the gate and closes the indicator; storage stays.
void gateReset();
