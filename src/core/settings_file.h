// Reading and writing Orvalis.dat beside the executable. Failures are silent except a
// path that cannot be built when saving; the in-memory record always stays usable.
#pragma once

#include "core/settings.h"

void loadSettings();
void saveSettings();

// The same operations on an explicit path (the two above use the executable's).
// readSettingsFile returns false and leaves `out` alone when nothing usable was read;
// a file of the wrong size is deleted. writeSettingsFile replaces the file only once
// the new bytes are completely written, so a failure leaves the old file whole.
bool readSettingsFile(const wchar_t* path, SettingsRecord& out);
bool writeSettingsFile(const wchar_t* path, const SettingsRecord& s);

// The executable's path with its extension replaced by ".dat"; false when it cannot be built.
bool settingsFilePath(wchar_t (&path)[260]);
