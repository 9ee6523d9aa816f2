// Builds the iconpos.dat path beside the library; see icon_path.h. Runs inside the
// library's attach notification: fixed buffers only.
#include "hook/icon_path.h"

namespace {
constexpr wchar_t kFileName[] = L"iconpos.dat";
constexpr unsigned kFileNameLength = sizeof(kFileName) / sizeof(kFileName[0]) - 1;
} // namespace

bool makeIconPosPath(const wchar_t* moduleName, unsigned nameLength,
                     wchar_t (&path)[kIconPathCapacity]) {
    path[0] = L'\0';
    // A name that filled the whole buffer may have been cut short: its folder is unknown.
    if (moduleName == nullptr || nameLength == 0 || nameLength >= kIconPathCapacity) {
        return false;
    }
    unsigned folderLength = nameLength;
    while (folderLength > 0 && moduleName[folderLength - 1] != L'\\') {
        --folderLength;
    }
    if (folderLength == 0 || folderLength + kFileNameLength + 1 > kIconPathCapacity) {
        return false;
    }
    for (unsigned i = 0; i < folderLength; ++i) {
        path[i] = moduleName[i];
    }
    for (unsigned i = 0; i <= kFileNameLength; ++i) {
        path[folderLength + i] = kFileName[i];
    }
    return true;
}
