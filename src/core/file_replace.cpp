// Write beside, then rename over.
#include "core/file_replace.h"

#include <windows.h>

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
    if (ok && MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp);
    return false;
}
