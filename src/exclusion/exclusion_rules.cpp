// Matching a window against the exclusion rules. Runs for every window on every shift, so
// the title is read only when a rule of the window's class has the title's exact length.
#include "exclusion/exclusion_rules.h"

#include <new>

int compareOrdinal(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
        if (*a == 0)
            return 0;
    }
}

bool sameText(const std::wstring& s, const wchar_t* text, TextCompare compare) {
    return compareOrdinal(s.c_str(), text) == 0 || compare(s.c_str(), text) == 0;
}

bool namesClass(const std::vector<ExclusionEntry>& entries, const wchar_t* className,
                TextCompare compare) {
    if (!className)
        return false;
    for (const ExclusionEntry& e : entries)
        if (sameText(e.className, className, compare))
            return true;
    return false;
}

void removeCandidate(ExclusionListRecord& list) {
    const int i = list.candidateIndex;
    list.candidateIndex = -1;
    if (i < 0 || i >= static_cast<int>(list.entries.size()))
        return;
    list.entries.erase(list.entries.begin() + i);
}

bool matchesExclusion(const std::vector<ExclusionEntry>& entries, int titleLength,
                      const wchar_t* className, TitleReader readTitle, void* context,
                      TextCompare compare) {
    if (!className)
        return false;
    wchar_t* title = nullptr;
    bool excluded = false;
    for (const ExclusionEntry& e : entries) {
        if (!sameText(e.className, className, compare))
            continue;
        if (e.windowName.size() == 1 && e.windowName[0] == L'*') {
            excluded = true;
            break;
        }
        if (titleLength < 0 || e.windowName.size() != static_cast<size_t>(titleLength))
            continue;
        if (!title) {
            title = new (std::nothrow) wchar_t[static_cast<size_t>(titleLength) + 1];
            if (!title)
                break; // no buffer: not excluded
            const int copied = readTitle(context, title, titleLength + 1);
            title[copied >= 0 && copied <= titleLength ? copied : 0] = 0;
        }
        if (sameText(e.windowName, title, compare)) {
            excluded = true;
            break;
        }
    }
    delete[] title;
    return excluded;
}

bool classNameComplete(int copied, int bufferSize) {
    return copied + 1 < bufferSize;
}
