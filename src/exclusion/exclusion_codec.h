// The bytes of "除外ウィンドウ.dat": a UTF-16LE signature, then (window name, class name)
// pairs, each string ending in U+0000. Portable; exclusion_file.cpp reads and writes the
// file, this turns its bytes into entries and back.
#pragma once

#include "exclusion/exclusion_rules.h"

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr wchar_t kExclusionSignature[] = L"{8027EEA7-18EC-44c9-95E4-159B46259420}";
inline constexpr size_t kExclusionSignatureUnits = 38;
inline constexpr size_t kExclusionSignatureBytes = 76;
inline constexpr size_t kExclusionReadBytes = 8192; // one string read
inline constexpr size_t kExclusionScanUnits = 4096; // where a terminator may lie
// Larger files are ignored. The limit is the largest file the writer can make (the
// signature and 128 records of two 4,095-unit strings with their terminators), so every
// list the program saves is read back whole at the next start.
inline constexpr std::uint64_t kExclusionFileMaxBytes =
    kExclusionSignatureBytes + std::uint64_t{kExclusionLimit} * 2 * (kExclusionTextLimit + 1) * 2;

bool exclusionFileSizeAccepted(std::uint64_t size);

// The first 76 bytes (or fewer, when the file is shorter) against the signature, ignoring
// the case of letters.
bool hasExclusionSignature(const std::uint8_t* bytes, size_t size);

// One string starting at byte `pos`: it ends at the first unit below U+0020 among the
// first 4,096 units. With all 4,096 units present and no such unit, it is empty and the
// next one starts two bytes on. When the bytes end before any terminator, there is no
// string. On success `pos` moves past the terminator.
bool readExclusionString(const std::uint8_t* bytes, size_t size, size_t& pos, std::wstring& out);

// Appends the records of a whole file (signature already checked) to `out`: at most 128,
// stopping at the first record that is not complete. Keeps what it read when memory runs
// out.
void decodeExclusionRecords(const std::uint8_t* bytes, size_t size,
                            std::vector<ExclusionEntry>& out);

// The whole file for a list: the signature, then every entry in order.
std::vector<std::uint8_t> encodeExclusionFile(const std::vector<ExclusionEntry>& entries);

// What start-up found in the exclusion file.
enum class ExclusionFileFound {
    Missing,    // no file
    Exact,      // read whole: its rules encode to the very same bytes
    Inexact,    // read, but the reading dropped or changed bytes: a cut record, a tail,
                // records past the 128th, a lower-case signature, a control character
    Unreadable, // there, but not opened or read, too big, or without the signature
};

// Appends the rules in a file's bytes to `out` and tells how faithfully they were read:
// Unreadable without the signature, otherwise Exact or Inexact.
ExclusionFileFound readExclusionBytes(const std::uint8_t* bytes, size_t size,
                                      std::vector<ExclusionEntry>& out);

// What a save of the rules does to the file.
enum class FileSaveAction { None, Write, Delete };

struct ExclusionSaveFacts {
    ExclusionFileFound found = ExclusionFileFound::Missing; // at start-up
    bool savedBefore = false; // an earlier save of this run already replaced the file
    bool changed = false;     // the rules differ from those start-up read
    bool empty = false;       // no rules now
};

struct ExclusionSavePlan {
    FileSaveAction action = FileSaveAction::None;
    bool backupFirst = false; // the file found at start is kept under a backup name first
    friend bool operator==(const ExclusionSavePlan&, const ExclusionSavePlan&) = default;
};

// Until the user changes a rule the file stays exactly as it was found: nothing is
// written, and an empty list deletes nothing. A file whose bytes were not all read (or
// not read at all) is kept under a backup name before the first save replaces it.
ExclusionSavePlan planExclusionSave(const ExclusionSaveFacts& facts);
