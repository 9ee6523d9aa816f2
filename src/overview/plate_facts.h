// What a coarse plate shows of a window, asked of its program: rectangle, title and small
// icon. Asked while drawing (after a resize), or, when the overview opens, on a thread of
// its own while the overview window is made and shown, so that the first paint only
// draws. The thread asks only other programs' windows and touches no shared state.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PlateFacts {
    HWND window = nullptr;
    RECT rect{};
    std::wstring title;    // never empty for a window that has a plate
    HICON icon = nullptr;  // the program's answer, else the class icon; null: neither
    bool asleep = false;   // its program does not answer: nothing is sent to it
    bool timedOut = false; // its program let the icon question time out
};

// The facts of one window; false when it has no plate (gone, untitled, out of memory).
// Only the icon is a question to the program, asked with a short time-out and not at all
// when facts.asleep is set; the rest the system answers itself.
bool askPlateFacts(HWND window, PlateFacts& facts);

// Starts asking about `windows` on a thread of its own; false when nothing was started.
// `asleep` (when not empty) names the windows whose programs are known not to answer; a
// program that lets its icon question time out is not asked again in this prefetch.
bool prefetchPlateFacts(const std::vector<HWND>& windows, const std::vector<bool>& asleep);
// Waits for the prefetch, running what other threads send to this one meanwhile, and
// hands over its facts in the order of the windows given (a window without a plate has
// an empty title); false when no prefetch was started.
bool takePrefetchedPlateFacts(std::vector<PlateFacts>& facts);
// Waits for a prefetch nobody took and forgets it.
void dropPrefetchedPlateFacts();
