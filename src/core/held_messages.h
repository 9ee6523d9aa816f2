// Messages a shift holds back: a handler that may collect or shift must not run while a
// shift waits on other programs, so its message waits here, in order, and runs once the
// shift is over. Main thread only.
#pragma once

#include <windows.h>

// Posted to the main window when a shift has ended with messages held: run them now.
constexpr UINT WM_SHIFT_OVER = 0x80D1;

// Keeps the message when a shift runs, or when earlier held messages still wait (a later
// one must not overtake them); true when kept. Nothing is posted again meanwhile, so a
// modal loop inside a shift sleeps instead of fetching the same messages over and over.
// A timer is held once per identifier; beyond a bound a flood is dropped, the exit never.
bool holdWhileShifting(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The oldest held message, once no shift runs; false when none is left or a shift runs.
bool takeHeldMessage(MSG& out);

// Called as a shift ends: asks the main window, by one posted WM_SHIFT_OVER, to run what
// was held.
void shiftEnded();

void resetHeldMessages(); // exit, tests
