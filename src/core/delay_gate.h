// The delay gate: holds the first part of an edge push until the pointer pushes fast
// enough, then lets steps through at once until the push ends. Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

struct DelaySample {
    int x = 0;
    int y = 0;
    std::uint32_t dt = 0; // ms since the previous sample, 0 for the first
};

struct DelayStateRecord {
    std::uint32_t startTick = 0;
    std::uint32_t timeout = 500; // GetDoubleClickTime(), read once at construction
    int count = 0;
    int capacity = 0;
    std::uint32_t lastTick = 0;
    double sumX = 0;
    double sumY = 0;
    DelaySample* samples = nullptr;
    int passed = 0;
    HWND window = nullptr; // the delay indicator, kept by its window procedure
};
extern DelayStateRecord DelayState; // `threshold` is Settings.delay itself

// Queues one step; true means release: apply the queued samples (applyQueuedMoves).
bool gateAdd(int x, int y, bool timed);
// Empties and closes the gate and closes the indicator; storage stays.
void gateReset();
