// The bookkeeping of threads that stopped answering and of the windows moved without
// them. Full tables degrade gracefully: an untracked thread is simply probed every time,
// an untracked window moves asynchronously from where it is.
#include "core/hung_guard.h"

namespace {

HungThread* findThread(HungGuardRecord& g, std::uint32_t thread) {
    for (int i = 0; i < g.threadCount; ++i)
        if (g.threads[i].thread == thread)
            return &g.threads[i];
    return nullptr;
}

HungThread* addThread(HungGuardRecord& g, std::uint32_t thread) {
    if (HungThread* t = findThread(g, thread))
        return t;
    if (g.threadCount >= kHungThreadSlots)
        return nullptr;
    HungThread& t = g.threads[g.threadCount++];
    t = HungThread{};
    t.thread = thread;
    return &t;
}

PendingMove* findMove(HungGuardRecord& g, std::uintptr_t window) {
    for (int i = 0; i < g.moveCount; ++i)
        if (g.moves[i].window == window)
            return &g.moves[i];
    return nullptr;
}

void dropMove(HungGuardRecord& g, PendingMove* m) {
    *m = g.moves[--g.moveCount];
}

Point plus(Point a, Point b) {
    return {a.x + b.x, a.y + b.y};
}

// The probe could not be sent to a window that still exists.
void probeFailed(HungGuardRecord& g, std::uint32_t thread) {
    if (HungThread* t = addThread(g, thread)) {
        t->seen = true;
        t->hung = true;
    }
}

} // namespace

void resetHungGuard(HungGuardRecord& g) {
    g.threadCount = 0;
    g.moveCount = 0;
}

void beginShift(HungGuardRecord& g) {
    for (int i = 0; i < g.threadCount; ++i)
        g.threads[i].seen = false;
}

bool needsProbe(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now) {
    HungThread* t = addThread(g, thread);
    if (!t)
        return true;
    const bool first = !t->seen;
    t->seen = true;
    const bool fresh = t->answered && now - t->lastAnswer < kAnswerFreshMs;
    return first && !t->hung && !fresh;
}

void probeSent(HungGuardRecord& g, std::uint32_t thread, std::uintptr_t window) {
    if (HungThread* t = findThread(g, thread)) {
        t->probeOut = true;
        t->probeWindow = window;
    }
}

int probesOut(const HungGuardRecord& g) {
    int n = 0;
    for (int i = 0; i < g.threadCount; ++i)
        n += g.threads[i].probeOut ? 1 : 0;
    return n;
}

void probeAnswered(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now) {
    HungThread* t = findThread(g, thread);
    if (!t)
        return;
    if (!t->probeOut) {
        recoveryAnswered(g, thread, now); // late: the thread was taken for hung meanwhile
        return;
    }
    t->probeOut = false;
    t->answered = true;
    t->lastAnswer = now;
}

void probeNotSent(HungGuardRecord& g, std::uint32_t thread, bool windowExists) {
    if (HungThread* t = findThread(g, thread))
        t->probeOut = false;
    if (windowExists)
        probeFailed(g, thread);
}

bool takeRecoveryProbe(HungGuardRecord& g, std::uint32_t thread) {
    HungThread* t = findThread(g, thread);
    if (!t || !t->hung || t->recoveryProbeOut)
        return false;
    t->recoveryProbeOut = true;
    return true;
}

void recoveryProbeNotSent(HungGuardRecord& g, std::uint32_t thread) {
    if (HungThread* t = findThread(g, thread))
        t->recoveryProbeOut = false;
}

void recoveryAnswered(HungGuardRecord& g, std::uint32_t thread, std::uint32_t now) {
    HungThread* t = findThread(g, thread);
    if (!t || !t->recoveryProbeOut)
        return;
    t->hung = false;
    t->recoveryProbeOut = false;
    t->answered = true;
    t->lastAnswer = now;
    t->wokeAt = now;
}

bool isHung(const HungGuardRecord& g, std::uint32_t thread) {
    for (int i = 0; i < g.threadCount; ++i)
        if (g.threads[i].thread == thread)
            return g.threads[i].hung;
    return false;
}

MovePlan planMove(HungGuardRecord& g, std::uintptr_t window, std::uint32_t thread, Point current,
                  Point delta, std::uint32_t now) {
    const HungThread* t = findThread(g, thread);
    const bool hung = t && t->hung;
    if (PendingMove* m = findMove(g, window)) {
        // Our earlier moves have all landed, or its woken program has long since placed it
        // elsewhere itself: the window is an ordinary one again.
        const bool landed = current == m->target;
        const bool settled = !hung && t && now - t->wokeAt >= kPendingGraceMs;
        if (landed || settled || m->thread != thread) {
            dropMove(g, m);
        } else {
            // Every move of this window stays asynchronous while any is in flight, so that
            // they land in the order they were sent.
            m->target = plus(m->target, delta);
            return {true, m->target};
        }
    }
    const Point to = plus(current, delta);
    if (!hung)
        return {false, to};
    if (g.moveCount < kPendingMoveSlots) {
        PendingMove& m = g.moves[g.moveCount++];
        m = PendingMove{window, thread, to};
    }
    return {true, to};
}

void endShift(HungGuardRecord& g) {
    for (int i = 0; i < g.threadCount;) {
        if (g.threads[i].seen) {
            ++i;
            continue;
        }
        g.threads[i] = g.threads[--g.threadCount];
    }
    // A window whose program has no collected window left is gone, or no longer managed.
    for (int i = 0; i < g.moveCount;) {
        if (findThread(g, g.moves[i].thread)) {
            ++i;
            continue;
        }
        g.moves[i] = g.moves[--g.moveCount];
    }
}
