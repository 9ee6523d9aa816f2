// Write beside, then rename over; read with patience for a moment's sharing violation.
#include "core/file_replace.h"

#include <windows.h>

#include <new>

namespace {

// Another program that has the file open without sharing (a viewer, a backup, a virus
// scanner) usually lets go within a moment. Nothing else is worth a second attempt.
constexpr int kLoadAttempts = 10; // about 200 ms at start-up
constexpr DWORD kLoadRetryMs = 20;
constexpr int kSaveAttempts = 20; // about 1 s, on the saver thread only
constexpr DWORD kSaveRetryMs = 50;

// Attributes the user may have given the file and that a replacement keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool sharingViolation(DWORD e) {
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
}

// A rename over a file that another program has open is refused as "access denied", even
// when that program shares deletion. The temporary file beside it was just created, so
// the folder is writable, and the target is not read-only (checked before): the file is
// in use, which passes like a sharing violation.
bool renameRefusedWhileInUse(DWORD e) {
    return sharingViolation(e) || e == ERROR_ACCESS_DENIED;
}

// Runs `step` until it succeeds or fails for a reason that waiting does not cure.
template <typename Step>
bool retryWhile(bool (*passing)(DWORD), int attempts, DWORD pauseMs, Step step) {
    for (int attempt = 1;; ++attempt) {
        if (step())
            return true;
        if (attempt >= attempts || !passing(GetLastError()))
            return false;
        Sleep(pauseMs);
    }
}

template <typename Step> bool retrySharing(int attempts, DWORD pauseMs, Step step) {
    return retryWhile(sharingViolation, attempts, pauseMs, step);
}

bool temporaryPath(const wchar_t* path, const wchar_t* suffix, wchar_t (&out)[MAX_PATH + 8]) {
    if (lstrlenW(path) + lstrlenW(suffix) >= MAX_PATH)
        return false;
    lstrcpyW(out, path);
    lstrcatW(out, suffix);
    return true;
}

// The hook library carries this file for its saves only; the reading, with its growable
// buffer, stays in the program and out of every process the library is mapped into.
#if !defined(OVL_BUILDING)
enum class Open { Done, Missing, Failed };

Open readOnce(const wchar_t* path, std::uint64_t maxBytes, std::vector<std::uint8_t>& out) {
    HANDLE f = INVALID_HANDLE_VALUE;
    const bool opened = retrySharing(kLoadAttempts, kLoadRetryMs, [&] {
        f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
        return f != INVALID_HANDLE_VALUE;
    });
    if (!opened) {
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? Open::Missing
                                                                      : Open::Failed;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= 0 &&
              static_cast<std::uint64_t>(size.QuadPart) <= maxBytes;
    if (ok) {
        try {
            out.resize(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    DWORD done = 0;
    while (ok && done < out.size()) {
        DWORD got = 0;
        ok = ReadFile(f, out.data() + done, static_cast<DWORD>(out.size() - done), &got, nullptr) !=
             FALSE;
        if (got == 0)
            break; // the file shrank meanwhile
        done += got;
    }
    CloseHandle(f);
    if (!ok)
        return Open::Failed;
    out.resize(done);
    return Open::Done;
}
#endif

int saveAttempts(Patience patience) {
    return patience == Patience::RetrySharing ? kSaveAttempts : 1;
}

// Clears a temporary file left by an earlier run, even a read-only one.
bool clearTemporary(const wchar_t* temp, int attempts) {
    if (GetFileAttributesW(temp) == INVALID_FILE_ATTRIBUTES)
        return true;
    SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
    return retrySharing(attempts, kSaveRetryMs, [&] { return DeleteFileW(temp) != FALSE; });
}

bool writeTemporary(const wchar_t* temp, DWORD attributes, const void* bytes, std::size_t size,
                    int attempts) {
    HANDLE f = INVALID_HANDLE_VALUE;
    // Created with the attributes it is to keep: the rename carries them over.
    retrySharing(attempts, kSaveRetryMs, [&] {
        f = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        return f != INVALID_HANDLE_VALUE;
    });
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    // Flushed before the rename: after a crash the file is either the old one or the new
    // one whole, never a new name over missing contents.
    const bool ok = WriteFile(f, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                    written == size && FlushFileBuffers(f);
    CloseHandle(f);
    return ok;
}

} // namespace

#if !defined(OVL_BUILDING)
FileRead readFileWhole(const wchar_t* path, std::uint64_t maxBytes,
                       bool (*whole)(const std::vector<std::uint8_t>&),
                       std::vector<std::uint8_t>& out) {
    out.clear();
    switch (readOnce(path, maxBytes, out)) {
    case Open::Done: return FileRead::Read;
    case Open::Failed: return FileRead::Unreadable;
    case Open::Missing: break;
    }
    // A crash between writing the temporary file and the rename, on the very first save,
    // leaves only the temporary file; a whole one holds what the user last kept.
    wchar_t temp[MAX_PATH + 8];
    if (!temporaryPath(path, L".new", temp) || readOnce(temp, maxBytes, out) != Open::Done ||
        !whole(out)) {
        out.clear();
        return FileRead::Missing;
    }
    // Never over a file that appeared meanwhile. The program writes temporary files with
    // the kept attributes only: anything else (read-only above all, which would refuse
    // every later save) was not the program's and does not carry over.
    if (MoveFileExW(temp, path, 0)) {
        const DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & ~kKeptAttributes) != 0)
            SetFileAttributesW(path, (attributes & kKeptAttributes) ? attributes & kKeptAttributes
                                                                    : FILE_ATTRIBUTE_NORMAL);
    }
    return FileRead::Read;
}
#endif

bool replaceFileWhole(const wchar_t* path, const void* bytes, std::size_t size, Patience patience) {
    wchar_t temp[MAX_PATH + 8];
    if (!temporaryPath(path, L".new", temp) || size > MAXDWORD)
        return false;
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
    const int attempts = saveAttempts(patience);
    if (!clearTemporary(temp, attempts))
        return false;
    if (writeTemporary(temp, kept, bytes, size, attempts) &&
        retryWhile(renameRefusedWhileInUse, attempts, kSaveRetryMs, [&] {
            return MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
                   FALSE;
        }))
        return true;
    SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp);
    return false;
}

bool deleteFileUnlessReadOnly(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return false;
    return retrySharing(kSaveAttempts, kSaveRetryMs, [&] { return DeleteFileW(path) != FALSE; });
}

bool keepFileAsBackup(const wchar_t* path) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return true;
    const wchar_t* suffixes[] = {L".bak",  L".bak1", L".bak2", L".bak3", L".bak4",
                                 L".bak5", L".bak6", L".bak7", L".bak8", L".bak9"};
    for (const wchar_t* suffix : suffixes) {
        wchar_t backup[MAX_PATH + 8];
        if (!temporaryPath(path, suffix, backup))
            return false;
        if (retrySharing(kSaveAttempts, kSaveRetryMs,
                         [&] { return MoveFileExW(path, backup, 0) != FALSE; }))
            return true;
        const DWORD e = GetLastError();
        if (e != ERROR_ALREADY_EXISTS && e != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
