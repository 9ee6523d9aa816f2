// Reading and replacing the program's small files whole. The new bytes go to "<path>.new"
// beside the file and are swapped in by one rename, so a crash, a full disk or a locked
// file never leaves a half-written or missing file. Used by the settings and exclusion
// files; the replacing runs on the saver thread (file_saver.h), the reading at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class FileRead {
    Read,       // the bytes are the file's
    Missing,    // no file (nor a whole temporary one) at the path
    Unreadable, // the file exists but could not be opened or read
};

// Reads a whole file of at most `maxBytes` (a larger one counts as unreadable). A sharing
// violation is retried for a short while. When the file is missing and "<path>.new" holds
// bytes for which `whole` answers true, those are taken and the temporary file becomes
// the file, writable (only the attributes a replacement keeps carry over).
FileRead readFileWhole(const wchar_t* path, std::uint64_t maxBytes,
                       bool (*whole)(const std::vector<std::uint8_t>&),
                       std::vector<std::uint8_t>& out);

// Whether a replacement waits for a file that another program holds for a moment.
enum class Patience {
    RetrySharing, // short sleeps, about a second in all: the saver thread
    FailAtOnce,   // one attempt: a thread that must never wait (the shell's)
};

// True when `path` now holds exactly `bytes`. A read-only file is the user's to keep and
// is never replaced. The file's other attributes (hidden, system) carry over; a stale
// temporary file is cleared first. Only a sharing violation is retried, and only with
// RetrySharing. On any failure the old file is untouched and no temporary file remains.
bool replaceFileWhole(const wchar_t* path, const void* bytes, std::size_t size,
                      Patience patience = Patience::RetrySharing);

// Deletes the file unless it is read-only; true when no file remains.
bool deleteFileUnlessReadOnly(const wchar_t* path);

// Renames the file to "<path>.bak" (or ".bak1" ... ".bak9" when taken). True when renamed
// or when there was no file.
bool keepFileAsBackup(const wchar_t* path);
