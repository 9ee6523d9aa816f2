// Reading and writing the exclusion file through Win32 file calls, and the guard that keeps
// a file this run could not read. The new file is written as "<name>.new" and renamed over
// the old one, so a failed write never costs the user the rules saved before.
#include "exclusion/exclusion_file.h"

#include "exclusion/exclusion.h"
#include "exclusion/exclusion_codec.h"

#include "core/file_saver.h"

#include <shlwapi.h>
#include <windows.h>

#include <new>

namespace {

struct Names {
    std::wstring className;
    std::wstring windowName;
    bool operator==(const Names&) const = default;
};

// What start-up found: whether the file there could not be read, and the rules as they
// stood after loading, so that a save can tell whether the user changed anything.
struct LoadedState {
    bool unreadableFileKept = false;
    std::vector<Names> loaded;
};
LoadedState state;

std::vector<Names> namesOf(const std::vector<ExclusionEntry>& entries) {
    std::vector<Names> names;
    for (const ExclusionEntry& e : entries)
        names.push_back({e.className, e.windowName});
    return names;
}

// A temporary file is whole when it is exactly what the program writes for the rules it
// holds: a file cut short in the middle of a record re-encodes differently.
bool wholeExclusionFile(const std::vector<std::uint8_t>& bytes) {
    if (!hasExclusionSignature(bytes.data(), bytes.size()) ||
        bytes.size() < kExclusionSignatureBytes)
        return false;
    std::vector<ExclusionEntry> entries;
    try {
        decodeExclusionRecords(bytes.data(), bytes.size(), entries);
        return !entries.empty() && encodeExclusionFile(entries) == bytes;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool exclusionFilePath(wchar_t (&path)[260]) {
    const DWORD n = GetModuleFileNameW(nullptr, path, 260);
    if (n == 0 || n >= 260)
        return false;
    if (!PathRemoveFileSpecW(path))
        return false;
    return PathAppendW(path, L"除外ウィンドウ.dat") != FALSE;
}

FileRead readExclusionFile(const wchar_t* path, std::vector<ExclusionEntry>& out) {
    std::vector<std::uint8_t> bytes;
    const FileRead result = readFileWhole(path, kExclusionFileMaxBytes, wholeExclusionFile, bytes);
    if (result != FileRead::Read)
        return result;
    if (!hasExclusionSignature(bytes.data(), bytes.size()))
        return FileRead::Unreadable;
    decodeExclusionRecords(bytes.data(), bytes.size(), out);
    return FileRead::Read;
}

bool writeExclusionFile(const wchar_t* path, const std::vector<ExclusionEntry>& entries) {
    if (entries.empty())
        return deleteFileUnlessReadOnly(path); // no rules, no file
    std::vector<std::uint8_t> bytes;
    try {
        bytes = encodeExclusionFile(entries);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return replaceFileWhole(path, bytes.data(), bytes.size());
}

FileRead loadExclusionFile(const wchar_t* path) {
    const FileRead result = readExclusionFile(path, ExclusionList.entries);
    state.unreadableFileKept = result == FileRead::Unreadable;
    try {
        state.loaded = namesOf(ExclusionList.entries);
    } catch (const std::bad_alloc&) {
        state.loaded.clear();
    }
    return result;
}

void saveExclusionFile(const wchar_t* path) {
    removeCandidate(ExclusionList);
    try {
        if (state.unreadableFileKept && namesOf(ExclusionList.entries) == state.loaded)
            return; // nothing of the user's to write, and a file of theirs to keep
        std::vector<std::uint8_t> bytes;
        if (!ExclusionList.entries.empty())
            bytes = encodeExclusionFile(ExclusionList.entries);
        queueFileSave(path, std::move(bytes), ExclusionList.entries.empty(),
                      state.unreadableFileKept);
        // The saver keeps the file until its backup is made; from here on it is ours.
        state.unreadableFileKept = false;
    } catch (const std::bad_alloc&) {
        // dropped like a failed save: the old file stays whole
    }
}

void resetExclusionFileState() {
    state = LoadedState{};
}

void loadExclusions() {
    wchar_t path[260];
    if (exclusionFilePath(path))
        loadExclusionFile(path);
}

void saveExclusions() {
    wchar_t path[260];
    if (exclusionFilePath(path))
        saveExclusionFile(path);
    else
        removeCandidate(ExclusionList);
}
