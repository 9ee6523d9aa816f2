// The exclusion rules' file "除外ウィンドウ.dat" beside the executable. Until the user
// changes a rule, no save touches the file. A file that could not be read, or whose bytes
// were not all read (a cut record, a damaged tail), is kept under a backup name before
// anything is written over it. Saves are written by the saver thread, which tells the user
// once when they fail.
#pragma once

#include "core/file_replace.h"
#include "exclusion/exclusion_codec.h"
#include "exclusion/exclusion_rules.h"

#include <vector>

// Start-up: appends the file's rules to ExclusionList.
void loadExclusions();
// Drops an unconfirmed find-mode candidate, then queues ExclusionList for writing (no
// file when empty) once the rules differ from those loaded.
void saveExclusions();

// The same on an explicit path. loadExclusionFile remembers what it found and what the
// list held then, which saveExclusionFile needs to protect the file.
ExclusionFileFound loadExclusionFile(const wchar_t* path);
void saveExclusionFile(const wchar_t* path);
void resetExclusionFileState(); // tests: as at process start

// Synchronous. readExclusionFile appends what a file of at most 2 MiB with the right
// signature holds (up to 128 records); Unreadable for a file that exists but cannot be
// opened or read, is too big or lacks the signature; it changes no file on disk except
// adopting a whole "<name>.new" when the file is missing. writeExclusionFile writes the new
// file beside the old one and swaps it in by one rename, or deletes the file for an empty
// list; false (old file untouched) on failure.
FileRead readExclusionFile(const wchar_t* path, std::vector<ExclusionEntry>& out);
bool writeExclusionFile(const wchar_t* path, const std::vector<ExclusionEntry>& entries);

// The executable's folder plus "除外ウィンドウ.dat"; false when it cannot be built.
bool exclusionFilePath(wchar_t (&path)[260]);
