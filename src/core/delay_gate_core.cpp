// The delay gate's arithmetic: queueing, merging, the speed sums, release and the
// indicator decision. The tick comes from the caller, so nothing here reads a clock.
#include "core/delay_gate_core.h"

#include <climits>
#include <cmath>
#include <new>

namespace {

// The sums are rebuilt from the queue every time rather than kept running, so a merged
// sample never leaves a stale share behind.
void recomputeSums(DelayStateRecord& g, int upTo) {
    double sx = 0, sy = 0;
    for (int i = 0; i < upTo; ++i) {
        const DelaySample& s = g.samples[i];
        if (s.dt == 0)
            continue; // the first sample of a push has no speed
        sx += static_cast<double>(s.x) / static_cast<double>(s.dt);
        sy += static_cast<double>(s.y) / static_cast<double>(s.dt);
    }
    g.sumX = sx;
    g.sumY = sy;
}

int saturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

bool beyond(double sum, double t) {
    return sum > t || sum < -t;
}

bool indicatorWanted(long long p) {
    return p < -kIndicatorShowPercent || p > kIndicatorShowPercent;
}

} // namespace

DelayStateRecord makeDelayState(std::uint32_t timeout) {
    DelayStateRecord g;
    g.timeout = timeout;
    g.samples = new (std::nothrow) DelaySample[kDelaySampleBlock]();
    g.capacity = g.samples ? kDelaySampleBlock : 0;
    return g;
}

void releaseDelayState(DelayStateRecord& g) {
    delete[] g.samples;
    g.samples = nullptr;
    g.capacity = 0;
    g.count = 0;
}

void clearGate(DelayStateRecord& g) {
    g.passed = 0;
    g.count = 0;
    g.lastTick = 0;
    g.startTick = 0;
    g.sumX = 0;
    g.sumY = 0;
}

bool growSamples(DelayStateRecord& g) {
    if (g.capacity > INT_MAX - kDelaySampleBlock)
        return false;
    const int grown = g.capacity + kDelaySampleBlock;
    DelaySample* fresh = new (std::nothrow) DelaySample[grown]();
    if (!fresh)
        return false;
    for (int i = 0; i < g.count; ++i)
        fresh[i] = g.samples[i];
    delete[] g.samples;
    g.samples = fresh;
    g.capacity = grown;
    return true;
}

long long pushPercent(double sum, int threshold) {
    // Bounded before the conversion so that no sum, however absurd, overflows it; every
    // value past the bound is far beyond any threshold anyway.
    constexpr double bound = 1e15;
    const double t = std::trunc(sum < -bound ? -bound : sum > bound ? bound : sum);
    return static_cast<long long>(t) * 100 / threshold;
}

GateStep gateStep(DelayStateRecord& g, int threshold, int x, int y, bool timed, std::uint32_t now) {
    GateStep out;

    // Unsigned subtraction: a tick count that wrapped past 2^32 still gives the distance.
    std::uint32_t elapsed = 0;
    if (g.count > 0) {
        elapsed = now - g.lastTick;
        if (elapsed > g.timeout) { // a push that paused this long starts over
            clearGate(g);
            out.closeIndicator = true;
            elapsed = 0; // and its first sample, like every first one, has no speed
        }
    }

    if (g.passed || threshold <= 0) {
        clearGate(g);
        out.closeIndicator = true;
        g.passed = 1;
        if (g.capacity == 0 && !growSamples(g))
            return out;
        g.lastTick = now;
        g.samples[0] = DelaySample{x, y, 0};
        g.count = 1;
        out.release = true;
        return out;
    }

    if (g.count > 0 && elapsed == 0) {
        DelaySample& last = g.samples[g.count - 1];
        last.x = saturatingAdd(last.x, x);
        last.y = saturatingAdd(last.y, y);
        recomputeSums(g, g.count);
    } else {
        if (g.count + 1 > g.capacity && !growSamples(g))
            return out;
        g.lastTick = now;
        if (g.count == 0)
            g.startTick = now;
        g.samples[g.count] = DelaySample{x, y, elapsed};
        recomputeSums(g, g.count); // the new sample counts from the next call on
        g.count += 1;
    }

    const double t = threshold;
    if (beyond(g.sumX, t) || beyond(g.sumY, t)) {
        g.passed = 1;
        out.release = true;
        out.closeIndicator = true;
        return out;
    }

    const bool pushedFar = indicatorWanted(pushPercent(g.sumX, threshold)) ||
                           indicatorWanted(pushPercent(g.sumY, threshold));
    const bool heldLong = timed && now - g.startTick > g.timeout;
    if (pushedFar || heldLong)
        out.showIndicator = true;
    return out;
}
