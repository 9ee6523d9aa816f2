// Write beside, then rename over.
#include "core/file_replace.h"

#include <windows.h>

namespace {

// At most about 70 ms in all, paid only while the old file is held open.
constexpr int kRenameAttempts = 8;
constexpr DWORD kRenameRetryMs = 10;

} // namespace

bool replaceFileWhole(const wchar_t* path, const void* bytes, std::size_t size) {
    wchar_t temp[MAX_PATH + 8];
    if (lstrlenW(path) + 5 > MAX_PATH || size > MAXDWORD)
        return false;
    lstrcpyW(temp, path);
    lstrcatW(temp, L".new");

    HANDLE f = CreateFileW(temp, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, bytes, static_cast<DWORD>(size), &written, nullptr) &&
                    written == size && FlushFileBuffers(f);
    CloseHandle(f);
    if (ok) {
        // The rename is refused while another program has the old file open, if only to
        // read it for a moment; waiting a little for it to let go keeps the new contents.
        for (int attempt = 1; attempt <= kRenameAttempts; ++attempt) {
            if (MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return true;
            if (attempt < kRenameAttempts)
                Sleep(kRenameRetryMs);
        }
    }
    DeleteFileW(temp);
    return false;
}
