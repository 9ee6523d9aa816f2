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

// What start-up found, and the rules as they stood after loading, so that a save can
// tell whether the user changed anything.
struct LoadedState {
    ExclusionFileFound found = ExclusionFileFound::Missing;
    bool savedBefore = false;
    bool loadedKnown = false; // false when memory ran out: every save then counts as a change
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
    std::vector<ExclusionEntry> entries;
    return readExclusionBytes(bytes.data(), bytes.size(), entries) == ExclusionFileFound::Exact &&
           !entries.empty();
}

// The file and what reading it found.
ExclusionFileFound readFound(const wchar_t* path, std::vector<ExclusionEntry>& out) {
    std::vector<std::uint8_t> bytes;
    switch (readFileWhole(path, kExclusionFileMaxBytes, wholeExclusionFile, bytes)) {
    case FileRead::Missing: return ExclusionFileFound::Missing;
    case FileRead::Unreadable: return ExclusionFileFound::Unreadable;
    case FileRead::Read: break;
    }
    return readExclusionBytes(bytes.data(), bytes.size(), out);
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
    switch (readFound(path, out)) {
    case ExclusionFileFound::Missing: return FileRead::Missing;
    case ExclusionFileFound::Unreadable: return FileRead::Unreadable;
    default: return FileRead::Read;
    }
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

ExclusionFileFound loadExclusionFile(const wchar_t* path) {
    state = LoadedState{};
    state.found = readFound(path, ExclusionList.entries);
    try {
        state.loaded = namesOf(ExclusionList.entries);
        state.loadedKnown = true;
    } catch (const std::bad_alloc&) {
        state.loaded.clear();
    }
    return state.found;
}

void saveExclusionFile(const wchar_t* path) {
    removeCandidate(ExclusionList);
    try {
        ExclusionSaveFacts facts;
        facts.found = state.found;
        facts.savedBefore = state.savedBefore;
        facts.changed = !state.loadedKnown || namesOf(ExclusionList.entries) != state.loaded;
        facts.empty = ExclusionList.entries.empty();
        const ExclusionSavePlan plan = planExclusionSave(facts);
        if (plan.action == FileSaveAction::None)
            return;
        std::vector<std::uint8_t> bytes;
        if (plan.action == FileSaveAction::Write)
            bytes = encodeExclusionFile(ExclusionList.entries);
        queueFileSave(path, std::move(bytes), plan.action == FileSaveAction::Delete,
                      plan.backupFirst);
        // The saver keeps the file until its backup is made; from here on it is ours.
        state.savedBefore = true;
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
