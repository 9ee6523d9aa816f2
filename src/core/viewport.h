// The shift of every managed window (`shiftView`), the window collector, the desktop's
// icon list view and the adoption of the windows that exist at start. Main thread only.
#pragma once

#include "core/collector_rules.h"
#include "mainwnd/window_lists.h"

#include <windows.h>

// Every window the last collection took, in z-order (topmost first). Valid only until
// the next collection; the storage is reused and grows by 50 handles.
struct ManagedWindowListRecord {
    HWND* windows = nullptr;
    int count = 0;
    int capacity = 0;
};
extern ManagedWindowListRecord ManagedWindowList;

// The collector modes kCollectMinimized and kCollectUntitled come with collector_rules.h.

// Fills ManagedWindowList; false when the enumeration failed.
bool collectWindows(int mode);

// Moves the view by (dx, dy): every managed window but exceptWindow (may be null) moves by
// (-dx, -dy) in one batch. The caller keeps ViewOrigin inside the virtual area.
void shiftView(int dx, int dy, HWND exceptWindow);

// True while shiftView, or the overview's rebuild (ProgramWait), waits on other programs
// and runs what they send meanwhile: a handler reached then must neither collect nor
// shift, but be put off until the wait is over.
bool shiftRunning();

// Held by a wait on other programs outside a shift; shiftRunning() holds meanwhile.
struct ProgramWait {
    ProgramWait();
    ~ProgramWait();
    ProgramWait(const ProgramWait&) = delete;
    ProgramWait& operator=(const ProgramWait&) = delete;
};

// Asks the programs behind `windows` whether they still pump messages, as a shift does:
// a program known to sleep is not waited for, one that answered lately is not asked, and
// the others get the shift's short time-out. programAnswers then tells them apart. Runs
// what other programs send meanwhile; asks nothing while a shift runs, which asks itself.
void probePrograms(const HWND* windows, int count);
// False for a window whose program the last probe or shift found asleep (or that is gone):
// a synchronous message to it could wait for as long as it sleeps.
bool programAnswers(HWND window);

// The desktop's icon list view ("SysListView32" under the shell's "SHELLDLL_DefView"), or null.
HWND findDesktopListView();

// Start-up: every window found is known, maximized windows become normal windows of their
// maximized size, minimized ones have their virtual position recorded.
void adoptExistingWindows();

// The window's answer to WM_GETMINMAXINFO, asked with a time-out; a program that does not
// answer in time leaves the system's maximized size and position filled in.
MINMAXINFO askMaximizedInfo(HWND window, UINT timeoutMs);

// The windows the collector remembers between collections (see WM_LIST_SIZE).
ListCount countRememberedWindows();

// Frees the list and forgets every program that stopped answering (exit, tests).
void resetViewportState();
