// The delay gate's record and its whole algorithm, driven by a tick the caller passes in.
// Portable: delay_gate.cpp reads the clock, calls gateStep and carries out the indicator
// actions it returns; unit tests drive it with made-up ticks.
#pragma once

#include <cstdint>

// The window handle type as Windows declares it, opaque here: the record keeps the
// indicator's real HWND while this header stays free of Windows headers.
struct HWND__;

struct DelaySample {
    int x = 0;
    int y = 0;
    std::uint32_t dt = 0; // ms since the previous sample, 0 for the first
};

struct DelayStateRecord {
    std::uint32_t startTick = 0; // tick of the first sample of the current push
    std::uint32_t timeout = 0;   // GetDoubleClickTime(), read once at construction
    int count = 0;
    int capacity = 0;
    std::uint32_t lastTick = 0; // tick of the latest queued sample
    double sumX = 0;            // sum of x / dt over the counted samples, pixels per ms
    double sumY = 0;
    DelaySample* samples = nullptr;
    int passed = 0;           // the gate is open: steps pass at once
    HWND__* window = nullptr; // the indicator, kept by its window procedure
    const wchar_t* className = L"ZROVLDelayWindowClass";
};

constexpr int kDelaySampleBlock = 128;
// A percentage of the threshold beyond which the indicator shows.
constexpr int kIndicatorShowPercent = 33;

// What the shell must do after one step. The indicator is never both closed and shown.
struct GateStep {
    bool release = false;        // apply the queued samples now
    bool closeIndicator = false; // WM_CLOSE to the indicator if it exists
    bool showIndicator = false;  // show or move the indicator
};

// The record as it is built at start: empty, `timeout` set and one block of samples (none
// when that allocation fails; the first sample then grows the storage).
DelayStateRecord makeDelayState(std::uint32_t timeout);
// Frees the samples at exit; capacity drops to 0.
void releaseDelayState(DelayStateRecord& g);

// Empties and closes the gate; the storage stays. The shell also closes the indicator.
void clearGate(DelayStateRecord& g);

// Adds one block of storage, keeping the queued samples; false (and nothing changed) when
// the allocation fails or the capacity cannot grow further.
bool growSamples(DelayStateRecord& g);

// trunc(sum) × 100 / threshold with integer division toward zero; threshold must be > 0.
long long pushPercent(double sum, int threshold);

// Queues the step (x, y) arriving at tick `now`. `threshold` is the delay setting; 0 (or
// less) lets every step through. `timed` asks for the time test of the indicator.
GateStep gateStep(DelayStateRecord& g, int threshold, int x, int y, bool timed, std::uint32_t now);
