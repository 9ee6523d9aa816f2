// Finding the desktop list view. The shift and the adoption of existing windows come
// with the main job.
#include "core/viewport.h"

namespace {

// A class name counts only when it fits a 15-unit buffer with exactly `len` units.
bool hasClass(HWND w, const wchar_t* name, int len) {
    wchar_t buf[15];
    return GetClassNameW(w, buf, 15) == len && lstrcmpW(buf, name) == 0;
}

BOOL CALLBACK findListView(HWND w, LPARAM out) {
    if (!hasClass(w, L"SysListView32", 13)) return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

} // namespace

HWND findDesktopListView() {
    HWND shell = GetShellWindow();
    if (!shell) return nullptr;
    HWND defView = FindWindowExW(shell, nullptr, L"SHELLDLL_DefView", nullptr);
    if (!defView) return nullptr;
    HWND found = nullptr;
    EnumChildWindows(defView, findListView, reinterpret_cast<LPARAM>(&found));
    return found;
}

void adoptExistingWindows() {}
