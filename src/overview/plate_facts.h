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
    std::wstring title;   // never empty for a window that has a plate
    HICON icon = nullptr; // the program's answer, else the class icon; null: neither
};

// The facts of one window; false when it has no plate (gone, untitled, out of memory).
bool askPlateFacts(HWND window, PlateFacts& facts);

// Starts asking about `windows` on a thread of its own; false when nothing was started.
bool prefetchPlateFacts(const std::vector<HWND>& windows);
// Waits for the prefetch, running what other threads send to this one meanwhile, and
// hands over its facts in the order of the windows given (a window without a plate has
// an empty title); false when no prefetch was started.
bool takePrefetchedPlateFacts(std::vector<PlateFacts>& facts);
// Waits for a prefetch nobody took and forgets it.
void dropPrefetchedPlateFacts();
