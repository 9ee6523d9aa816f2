// The per-window lists of focus tracking: windows already seen, the virtual positions of
// minimized windows and the normal rectangles saved before a pseudo-maximize. Filled by
// the adoption at start-up and by the hook notifications; main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

void addKnownWindow(HWND window); // no duplicates
bool isKnownWindow(HWND window);
void forgetKnownWindow(HWND window);

// Packed virtual position: x in the low 16 bits, y in the high 16 bits, each signed.
void setMinimizedPosition(HWND window, std::uint32_t packed);   // replaces an earlier value
bool findMinimizedPosition(HWND window, std::uint32_t& packed); // leaves the pair
bool takeMinimizedPosition(HWND window, std::uint32_t& packed); // consumes the pair
void forgetMinimizedPosition(HWND window);
// Whether tracking already waited in vain for the window to come back since its place was
// last set: a program that keeps activating a window it leaves minimized is waited for
// once per minimize, not at every activation.
void markMinimizedWaitedFor(HWND window);
bool minimizedWaitedFor(HWND window);

void saveNormalRect(HWND window, const RECT& rect); // replaces an earlier record
bool findSavedNormalRect(HWND window, RECT& rect);
void forgetSavedNormalRect(HWND window);
void freeSavedNormalRects(); // at shut-down

// Drops every entry whose window no longer exists. A program that ends without destroying
// its windows sends no destroy report for them, and a handle left behind could later name
// a new window; the main loop calls this once a second.
void forgetGoneWindows();

// A list's length and how many of its entries name a window that no longer exists. The
// main window answers WM_LIST_SIZE with them, so a long run can check from outside that
// the lists follow the live windows.
struct ListCount {
    int entries = 0;
    int gone = 0;
};
ListCount countKnownWindows();
ListCount countMinimizedPositions();
ListCount countSavedNormalRects();

void resetWindowLists(); // tests
