// The exclusion rules: windows, named by class and title, that never move and are never
// tracked. The list lives for the whole run; main thread only. The list window (and its
// find mode) edits ExclusionList; exclusion_file.cpp loads and saves it.
#pragma once

#include "exclusion/exclusion_rules.h"

#include <windows.h>

extern ExclusionListRecord ExclusionList;

// A window's class name as a new string owned by the caller (free with freeClassName),
// with its length; length 0 and no text when memory runs out or the window is gone.
struct ClassName {
    wchar_t* text = nullptr;
    int length = 0;
};
ClassName fetchClassName(HWND window);
void freeClassName(ClassName& name);

// Names compare in the user's locale, case-sensitively (StrCmpW).
int compareNames(const wchar_t* a, const wchar_t* b);

// True when some rule names the class, whatever its title.
bool namesExcludedClass(const wchar_t* className);

// True when some rule matches the window. titleLength is GetWindowTextLengthW(window),
// className the caller's fetchClassName result.
bool isExcluded(HWND window, int titleLength, const wchar_t* className);

void resetExclusionList(); // tests: no rules, no candidate
