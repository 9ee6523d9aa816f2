// "Orvalis.view" beside the executable: the view record (view_record.h). Read once at
// start-up; rewritten through the saver thread after the view moved or the screen
// changed, at most twice a second, so that a kill or a crash loses at most the last half
// second of moves. The main thread never waits on the disk for it.
#pragma once

#include "core/geometry.h"
#include "core/view_record.h"

#include <windows.h>

// The least time between two writes of the record.
constexpr unsigned kViewRecordIntervalMs = 500;

// The executable's path with its extension replaced by ".view"; false when it cannot be built.
bool viewRecordPath(wchar_t (&path)[260]);

// This Windows session as the record names it.
ViewSession currentViewSession();

// Start-up: the view origin to start at, given the one the start position gives. A
// record that is missing, unreadable or from another session, area or screen is ignored.
Point resumeViewOrigin(Point fromStartPosition);

// Queues the record of the current ViewOrigin, area and screen.
void recordView();

// The same on explicit paths (tests).
std::optional<ViewRecord> readViewRecord(const wchar_t* path);
void recordViewAt(const wchar_t* path);
