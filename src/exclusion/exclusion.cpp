// The process-wide rule list, the class-name reader and the test the collector and the
// activation handler call. Nothing here sends a message to the window it asks about.
#include "exclusion/exclusion.h"

#include <shlwapi.h>

#include <cstring>
#include <new>

ExclusionListRecord ExclusionList;

namespace {

int readTitle(void* context, wchar_t* buffer, int capacity) {
    return GetWindowTextW(*static_cast<HWND*>(context), buffer, capacity);
}

} // namespace

ClassName fetchClassName(HWND window) {
    // Class names are at most 256 units: one read into a buffer that large settles almost
    // every window with a single call (each call is a round trip to the window server).
    wchar_t first[kClassBufferFirst];
    const int got = GetClassNameW(window, first, kClassBufferFirst);
    if (got <= 0)
        return {}; // no such window
    if (classNameComplete(got, kClassBufferFirst)) {
        auto* text = new (std::nothrow) wchar_t[static_cast<size_t>(got) + 1];
        if (!text)
            return {};
        std::memcpy(text, first, (static_cast<size_t>(got) + 1) * sizeof(wchar_t));
        return {text, got};
    }
    for (int size = kClassBufferFirst + kClassBufferStep; size < kClassBufferLimit;
         size += kClassBufferStep) {
        auto* buffer = new (std::nothrow) wchar_t[static_cast<size_t>(size)];
        if (!buffer)
            return {};
        const int copied = GetClassNameW(window, buffer, size);
        if (copied <= 0) {
            delete[] buffer; // no such window
            return {};
        }
        if (classNameComplete(copied, size))
            return {buffer, copied};
        delete[] buffer;
    }
    return {};
}

void freeClassName(ClassName& name) {
    delete[] name.text;
    name = {};
}

int compareNames(const wchar_t* a, const wchar_t* b) {
    return StrCmpW(a, b);
}

bool namesExcludedClass(const wchar_t* className) {
    return namesClass(ExclusionList.entries, className, compareNames);
}

bool isExcluded(HWND window, int titleLength, const wchar_t* className) {
    return matchesExclusion(ExclusionList.entries, titleLength, className, readTitle, &window,
                            compareNames);
}

void resetExclusionList() {
    ExclusionList = ExclusionListRecord{};
}
