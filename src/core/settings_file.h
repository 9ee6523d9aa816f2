// Reading and writing Orvalis.dat beside the executable. Saves are written by the saver
// thread; the main thread never waits on the disk for them. A file that exists but could
// not be read at start-up is never written over during that run.
#pragma once

#include "core/file_replace.h"
#include "core/settings.h"

// Start-up: reads the file into Settings. When it exists but cannot be read, the defaults
// stay, later saves are refused and one warning box says so. When there is no file yet
// (the first start), a balloon from the tray icon says where the program is.
void loadSettings();
// Queues the whole record for writing, unless saves are refused.
void saveSettings();
// How many times saveSettings was called in this run: a caller that puts values back in
// memory can tell whether the file took the ones it replaces meanwhile.
unsigned settingsSaveCount();

// The same on an explicit path. loadSettingsFile reads like readSettingsFile and refuses
// every later saveSettingsFile when the file proved unreadable; saveSettingsFile returns
// false when refused, true when queued.
FileRead loadSettingsFile(const wchar_t* path, SettingsRecord& out);
bool saveSettingsFile(const wchar_t* path, const SettingsRecord& s);
// Tests: saves allowed again, as at process start.
void resetSettingsFileState();

// Synchronous. readSettingsFile changes `out` only when the file holds a whole record: its
// first 84 bytes. A file of another length is never deleted; loadSettingsFile has the
// first save keep it under a backup name before replacing it. A sharing violation is
// retried briefly; a whole temporary file stands in for a missing one. writeSettingsFile replaces
// the file only once the new bytes are completely written, so a failure leaves the old file whole.
FileRead readSettingsFile(const wchar_t* path, SettingsRecord& out);
bool writeSettingsFile(const wchar_t* path, const SettingsRecord& s);

// The executable's path with its extension replaced by ".dat"; false when it cannot be built.
bool settingsFilePath(wchar_t (&path)[260]);
