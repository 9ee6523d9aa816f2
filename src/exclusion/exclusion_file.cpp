// Reading and writing the exclusion file through Win32 file calls. The new file is written
// as "<name>.new" and renamed over the old one, so a failed write never costs the user the
// rules saved before.
#include "exclusion/exclusion_file.h"

#include "exclusion/exclusion.h"
#include "exclusion/exclusion_codec.h"

#include "core/file_replace.h"

#include <shlwapi.h>
#include <windows.h>

#include <new>

namespace {

bool readAll(HANDLE f, std::vector<std::uint8_t>& bytes) {
    DWORD done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(f, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr))
            return false;
        if (got == 0)
            break; // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return true;
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

bool readExclusionFile(const wchar_t* path, std::vector<ExclusionEntry>& out) {
    if (!PathFileExistsW(path))
        return false;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= 0 &&
              exclusionFileSizeAccepted(static_cast<std::uint64_t>(size.QuadPart));
    std::vector<std::uint8_t> bytes;
    if (ok) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    ok = ok && readAll(f, bytes);
    CloseHandle(f);
    if (!ok || !hasExclusionSignature(bytes.data(), bytes.size()))
        return false;
    decodeExclusionRecords(bytes.data(), bytes.size(), out);
    return true;
}

bool writeExclusionFile(const wchar_t* path, const std::vector<ExclusionEntry>& entries) {
    // A read-only file is the user's to keep: Windows would refuse to delete it, and some
    // file systems would let a rename replace it anyway.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    if (entries.empty()) {
        // No rules, no file; a file that cannot be deleted stays as it was.
        return !PathFileExistsW(path) || DeleteFileW(path);
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = encodeExclusionFile(entries);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return replaceFileWhole(path, bytes.data(), bytes.size());
}

void loadExclusions() {
    wchar_t path[260];
    if (exclusionFilePath(path))
        readExclusionFile(path, ExclusionList.entries);
}

void saveExclusions() {
    removeCandidate(ExclusionList);
    wchar_t path[260];
    if (exclusionFilePath(path))
        writeExclusionFile(path, ExclusionList.entries);
}
