// The exclusion rules' file "除外ウィンドウ.dat" beside the executable. Failures are never
// reported: a file that cannot be read leaves the list as it was, a save that cannot
// complete leaves the old file whole.
#pragma once

#include "exclusion/exclusion_rules.h"

#include <vector>

// Start-up: appends the file's rules to ExclusionList.
void loadExclusions();
// Drops an unconfirmed find-mode candidate, then writes ExclusionList (no file when empty).
void saveExclusions();

// The same on an explicit path. readExclusionFile appends what a file of at most 2 MiB
// with the right signature holds (up to 128 records); false when nothing could be read.
// writeExclusionFile writes the new file beside the old one and swaps it in by one
// rename, or deletes the file for an empty list; false (old file untouched) on failure.
bool readExclusionFile(const wchar_t* path, std::vector<ExclusionEntry>& out);
bool writeExclusionFile(const wchar_t* path, const std::vector<ExclusionEntry>& entries);

// The executable's folder plus "除外ウィンドウ.dat"; false when it cannot be built.
bool exclusionFilePath(wchar_t (&path)[260]);
