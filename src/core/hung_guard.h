// Keeps programs that have stopped responding out of the shift's deferred batch, which
// would otherwise wait on them for as long as they sleep. Portable: shiftView probes each
// thread, tells this record the outcome, and moves every window as planMove says: in the
// batch, or alone and asynchronously. Fixed-size tables, no allocation; main thread only.
#pragma once

#include "core/geometry.h"

#include <cstdint>

// A thread whose probe went unanswered. Its windows move asynchronously, each towards a
// remembered target, because their rectangles stay stale until the thread wakes up and
// a move computed from a stale rectangle would drop the shifts queued before it.
struct HungThread {
    std::uint32_t thread = 0;
    bool hung = false;
    bool probeOut = false;          // this shift's probe awaits its answer
    std::uintptr_t probeWindow = 0; // the window it went to
    bool recoveryProbeOut = false;  // a probe of a hung thread awaits its answer
    bool answered = false;          // lastAnswer holds the tick of an answer
    std::uint32_t lastAnswer = 0;
    std::uint32_t wokeAt = 0; // tick of the answer that ended the last hang
    bool seen = false;        // owns a window collected in this shift
};

struct PendingMove {
    std::uintptr_t window = 0;
    std::uint32_t thread = 0;
    Point target;
};

inline constexpr int kHungThreadSlots = 128;
inline constexpr int kPendingMoveSlots = 256;
// After a woken thread has answered, a window that has still not reached its target is
// taken to have been moved by its program, and is moved from where it is again.
inline constexpr std::uint32_t kPendingGraceMs = 1000;
// An answer this recent spares the thread the shift's probe. It keeps the probes off
// most shifts of a continuous push (one every 10 to 30 ms); a program that stops
// answering within this time before a shift can still hold that shift up until it wakes.
inline constexpr std::uint32_t kAnswerFreshMs = 200;

struct HungGuardRecord {
    HungThread threads[kHungThreadSlots];
    int threadCount = 0;
    PendingMove moves[kPendingMoveSlots];
    int moveCount = 0;
};

void resetHungGuard(HungGuardRecord& g);

// Start of a shift: nothing seen yet.
void beginShift(HungGuardRecord& g);
// The thread owns a collected window. True when the shift must ask it and wait for the
// answer: not yet asked in this shift, not known to be hung (a hung one is only asked
// again, without waiting) and without a fresh answer.
bool needsProbe(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now);
// The shift's probe went out to `window`; the shift waits for its answer before the batch.
void probeSent(HungGuardRecord& g, std::uint32_t thread, std::uintptr_t window);
// How many probes of this shift still await their answer.
int probesOut(const HungGuardRecord& g);
// The answer to a probe sent by probeSent, at tick `now`. One that comes after its shift
// stopped waiting is the answer of a hung thread waking up.
void probeAnswered(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now);
// The probe announced by probeSent (which comes first, since an answer may come at once)
// could not be sent: nothing is awaited, and the thread is hung when its window exists.
void probeNotSent(HungGuardRecord& g, std::uint32_t thread, bool windowExists);
// The shift stops waiting: each thread whose probe is still out is hung if its window
// still exists (windowExists answers for a window), and that probe's answer, whenever it
// comes, ends the hang.
template <typename WindowExists>
void probesTimedOut(HungGuardRecord& g, WindowExists windowExists) {
    for (int i = 0; i < g.threadCount; ++i) {
        HungThread& t = g.threads[i];
        if (!t.probeOut)
            continue;
        t.probeOut = false;
        if (windowExists(t.probeWindow)) {
            t.hung = true;
            t.recoveryProbeOut = true;
        }
    }
}
// True once per hang: send the asynchronous probe whose answer ends it.
bool takeRecoveryProbe(HungGuardRecord& g, std::uint32_t thread);
// It could not be sent: the next shift tries again.
void recoveryProbeNotSent(HungGuardRecord& g, std::uint32_t thread);
// The asynchronous probe was answered at tick `now`.
void recoveryAnswered(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now);
bool isHung(const HungGuardRecord& g, std::uint32_t thread);

struct MovePlan {
    bool async = false;
    Point to;
    friend bool operator==(const MovePlan&, const MovePlan&) = default;
};
// Where one window goes, moved by `delta`, given where it is now.
MovePlan planMove(HungGuardRecord& g, std::uintptr_t window, std::uint32_t thread, Point current,
                  Point delta, std::uint32_t now);
// End of a shift: forgets the threads that own no collected window, and their windows.
void endShift(HungGuardRecord& g);
