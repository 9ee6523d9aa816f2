// Commands of iconshell.exe, the stand-in for the desktop shell in the desktop-icon
// end-to-end test. It makes itself the shell window, holding a "SHELLDLL_DefView" with
// the "SysListView32" of kShellIcons. The commands go to the shell window
// (GetShellWindow) by SendMessageTimeoutW.
#pragma once

#include <cstdint>

struct ShellIcon {
    const wchar_t* label;
    int x, y;
};

// The second "Notes" shares the first one's label; the long one does not fit the first
// 260-unit buffer in which a label is read.
inline constexpr wchar_t kLongIconLabel[] =
    L"A label much longer than any file name is likely to be, written out so that it "
    L"needs more than the two hundred and sixty units that the first reading of a label "
    L"leaves room for, which makes the reading ask again with more room; and a few more "
    L"words still, so that doubling that room once is also what it takes.";
inline constexpr ShellIcon kShellIcons[] = {
    {L"Notes", 40, 40},         {L"Folder", 40, 140}, {L"Notes", 200, 40},
    {kLongIconLabel, 200, 140}, {L"Trash", 40, 240},
};
inline constexpr int kShellIconCount = sizeof(kShellIcons) / sizeof(kShellIcons[0]);

enum IconShellCommand : unsigned {
    kShellPosition = 0x8000 + 1, // wParam: item → packShellPoint(its position), or 0
    kShellPlace,                 // wParam: item, lParam: packShellPoint → set its position
    kShellArrange,               // wParam: 0 free, 1 auto-arrange, 2 snap to grid
    kShellCount,                 // → the item count
};

// Both coordinates in one 32-bit result, 16 signed bits each, as in either build.
inline std::uint32_t packShellPoint(int x, int y) {
    return (static_cast<std::uint32_t>(x) & 0xFFFF) | (static_cast<std::uint32_t>(y) << 16);
}
inline int shellPointX(std::uint32_t packed) {
    return static_cast<std::int16_t>(packed & 0xFFFF);
}
inline int shellPointY(std::uint32_t packed) {
    return static_cast<std::int16_t>(packed >> 16);
}
