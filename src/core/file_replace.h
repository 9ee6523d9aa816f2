// Replacing a small file whole: the new bytes go to "<path>.new" beside it and are swapped
// in by one rename, so a crash, a full disk or a locked file never leaves a half-written
// or missing file behind. Used by the settings file and the exclusion file.
#pragma once

#include <cstddef>

// True when `path` now holds exactly `bytes`; on any failure the old file is untouched
// and no temporary file remains. While another program holds the old file open the swap
// is retried for a short while.
bool replaceFileWhole(const wchar_t* path, const void* bytes, std::size_t size);
