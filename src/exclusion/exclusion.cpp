// The process-wide rule list, the class-name reader and the test the collector and the
// activation handler call. Nothing here sends a message to the window it asks about.
#include "exclusion/exclusion.h"

#include <new>

ExclusionListRecord ExclusionList;

namespace {

int readTitle(void* context, wchar_t* buffer, int capacity) {
    return GetWindowTextW(*static_cast<HWND*>(context), buffer, capacity);
}

} // namespace

ClassName fetchClassName(HWND window) {
    for (int size = kClassBufferStart; size < kClassBufferLimit; size += kClassBufferStep) {
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

bool isExcluded(HWND window, int titleLength, const wchar_t* className) {
    return matchesExclusion(ExclusionList.entries, titleLength, className, readTitle, &window);
}

void resetExclusionList() {
    ExclusionList = ExclusionListRecord{};
}
