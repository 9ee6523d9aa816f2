// The delay gate's Win32 side: the record's construction with the double-click time, the
// tick count for each step, and the indicator actions the gate asks for.
#include "core/delay_gate.h"

#include "core/settings.h"
#include "overlay/delay_indicator.h"

#include <windows.h>

DelayStateRecord DelayState = makeDelayState(GetDoubleClickTime());

namespace {
// Declared after DelayState, so it is destroyed first and frees the samples at exit.
struct FreeSamplesAtExit {
    ~FreeSamplesAtExit() { releaseDelayState(DelayState); }
} freeSamplesAtExit;

void carryOut(const GateStep& step) {
    if (step.closeIndicator)
        closeDelayIndicator();
    if (step.showIndicator)
        showOrMoveDelayIndicator();
}
} // namespace

bool gateAdd(int x, int y, bool timed) {
    const GateStep step = gateStep(DelayState, Settings.delay, x, y, timed, GetTickCount());
    carryOut(step);
    return step.release;
}

void gateReset() {
    clearGate(DelayState);
    closeDelayIndicator();
}
