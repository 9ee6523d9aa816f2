// The main window's command table and its small decisions.
#include "mainwnd/commands.h"

#include "res/resource.h"

CommandAction commandFor(unsigned id) {
    switch (id & 0xFFFF) {
    case IDM_SETTINGS: return {Command::Settings};
    case IDM_EXIT: return {Command::Exit};
    case IDM_CROSS_CURSOR: return {Command::CrossCursor};
    case IDM_MEASURING_CURSOR: return {Command::MeasuringCursor};
    case IDM_EXCLUSIONS: return {Command::Exclusions};
    case IDM_TOGGLE_SCROLL: return {Command::ToggleScroll};
    case IDM_TILE_VERTICAL: return {Command::TileVertical};
    case IDM_TILE_HORIZONTAL: return {Command::TileHorizontal};
    case IDM_OVERVIEW: return {Command::Overview};
    case IDM_HELP_FIRST: return {Command::Help, L"first.html"};
    case IDM_HELP_HOWTOUSE: return {Command::Help, L"howtouse.html"};
    case IDM_HELP_UNINSTALL: return {Command::Help, L"uninstall.html"};
    case IDM_HELP_NOTFOUND: return {Command::Help, L"notfound.html"};
    case IDM_HELP_STOPSCROLL: return {Command::Help, L"stopscroll.html"};
    case IDM_HELP_LIMIT: return {Command::Help, L"limit.html"};
    case IDM_HELP_REQUIREMENTS: return {Command::Help, L"requirements.html"};
    case IDM_HELP_FILES: return {Command::Help, L"files.html"};
    case IDM_HELP_ABOUT: return {Command::Help, L"about.html"};
    case IDM_CASCADE: return {Command::Cascade};
    case IDM_GATHER: return {Command::Gather};
    default: return {}; // 2 ("cancel") and 172 only close the menu
    }
}

CursorToggle toggleCrossCursor(int cross, int measuring) {
    if (cross) return {0, measuring, true, false, false, false};
    return {1, 0, false, measuring != 0, true, false};
}

CursorToggle toggleMeasuringCursor(int cross, int measuring) {
    if (measuring) return {cross, 0, false, true, false, false};
    return {0, 1, cross != 0, false, false, true};
}

Size displaySizeAfterChange(unsigned lParam, Size systemMetrics) {
    const int w = static_cast<int>(lParam & 0xFFFF);
    const int h = static_cast<int>((lParam >> 16) & 0xFFFF);
    // A size with a zero side would leave a virtual area nothing can be divided by.
    if (w == 0 || h == 0) return systemMetrics;
    return {w, h};
}
