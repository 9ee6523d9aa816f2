// The held messages, oldest first.
#include "core/held_messages.h"

#include "core/viewport.h"

#include <deque>
#include <new>

namespace {

// More than any user or well-behaved program produces during one shift.
constexpr size_t kMostHeld = 1000;

std::deque<MSG>* held = nullptr; // made on first use; the program's life, never freed

bool alreadyHeld(HWND window, UINT message, WPARAM wParam) {
    for (const MSG& m : *held)
        if (m.hwnd == window && m.message == message && m.wParam == wParam)
            return true;
    return false;
}

} // namespace

bool holdWhileShifting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool shifting = shiftRunning();
    if (!shifting && held != nullptr)
        while (!held->empty() && !IsWindow(held->front().hwnd))
            held->pop_front(); // its window is gone, and so is the WM_SHIFT_OVER posted to it
    if (!shifting && (held == nullptr || held->empty()))
        return false;
    try {
        if (held == nullptr)
            held = new std::deque<MSG>;
        // A timer fires again by itself, and the exit needs asking once.
        if ((message == WM_TIMER || message == WM_CLOSE) && alreadyHeld(window, message, wParam))
            return true;
        if (held->size() >= kMostHeld && message != WM_CLOSE)
            return true; // dropped: a flood of reports, not a user's doing
        MSG m{};
        m.hwnd = window;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        held->push_back(m);
        // Between the shift's end and the main window's turn: ask again, in case the
        // shift's own request was lost.
        if (!shifting)
            PostMessageW(window, WM_SHIFT_OVER, 0, 0);
    } catch (const std::bad_alloc&) {
        // out of memory the message is dropped, as a full queue would drop it
    }
    return true;
}

bool takeHeldMessage(MSG& out) {
    if (shiftRunning() || held == nullptr || held->empty())
        return false;
    out = held->front();
    held->pop_front();
    return true;
}

void shiftEnded() {
    if (held != nullptr && !held->empty())
        PostMessageW(held->front().hwnd, WM_SHIFT_OVER, 0, 0);
}

void resetHeldMessages() {
    if (held != nullptr)
        held->clear();
}
