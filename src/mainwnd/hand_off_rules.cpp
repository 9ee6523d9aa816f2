// The choice of the window that takes the activation from a closing window of the program.
#include "mainwnd/hand_off_rules.h"

#include <cstddef>

bool handOffWanted(CloseCause cause, bool inFront) {
    return inFront && cause == CloseCause::Asked;
}

bool liesInView(const Rect& r, Size screen) {
    if (r.right <= r.left || r.bottom <= r.top)
        return false;
    const long long cx = (static_cast<long long>(r.left) + r.right) / 2;
    const long long cy = (static_cast<long long>(r.top) + r.bottom) / 2;
    return cx >= 0 && cx < screen.w && cy >= 0 && cy < screen.h;
}

HandOff chooseHandOff(const HandOffFacts& f) {
    if (!handOffWanted(f.cause, f.inFront))
        return {};
    if (f.lastShown && liesInView(f.last, f.screen))
        return {HandOffKind::LastActivated, -1};
    for (std::size_t i = 0; i < f.managed.size(); ++i)
        if (liesInView(f.managed[i], f.screen))
            return {HandOffKind::Managed, static_cast<int>(i)};
    return {HandOffKind::Desktop, -1};
}
