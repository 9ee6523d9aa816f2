// Editing the rule list. Every function keeps candidateIndex naming the same entry, or -1
// once that entry is gone, so find mode never writes over another rule.
#include "exclusion/exclusion_edit.h"

#include <algorithm>

namespace {

bool validIndex(const ExclusionListRecord& list, int index) {
    return index >= 0 && index < static_cast<int>(list.entries.size());
}

const std::wstring& sortKey(const ExclusionEntry& e, int column) {
    return column == 0 ? e.windowName : e.className;
}

} // namespace

void removeEntry(ExclusionListRecord& list, int index) {
    if (!validIndex(list, index))
        return;
    list.entries.erase(list.entries.begin() + index);
    if (list.candidateIndex == index)
        list.candidateIndex = -1;
    else if (list.candidateIndex > index)
        --list.candidateIndex;
}

void forgetImage(ExclusionListRecord& list, int index, ImageRemover removeImage, void* context) {
    if (!validIndex(list, index))
        return;
    const int image = list.entries[index].imageIndex;
    list.entries[index].imageIndex = kNoImageIndex;
    if (image < 0 || !removeImage(context, image))
        return;
    // The image list closes the gap: every later picture moves down by one.
    for (ExclusionEntry& e : list.entries)
        if (e.imageIndex > image)
            --e.imageIndex;
}

std::vector<int> deleteEntries(ExclusionListRecord& list, std::vector<int> rows,
                               ImageRemover removeImage, void* context) {
    std::sort(rows.begin(), rows.end(), [](int a, int b) { return a > b; });
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<int> deleted;
    deleted.reserve(rows.size());
    for (int row : rows) {
        if (!validIndex(list, row))
            continue;
        forgetImage(list, row, removeImage, context);
        removeEntry(list, row);
        deleted.push_back(row);
    }
    return deleted;
}

std::vector<DuplicateRemoval> removeDuplicates(ExclusionListRecord& list, TextCompare compare) {
    std::vector<DuplicateRemoval> steps;
    for (int i = static_cast<int>(list.entries.size()) - 1; i >= 1; --i) {
        const ExclusionEntry& later = list.entries[i];
        for (int j = i - 1; j >= 0; --j) {
            const ExclusionEntry& earlier = list.entries[j];
            if (!sameText(earlier.windowName, later.windowName.c_str(), compare) ||
                !sameText(earlier.className, later.className.c_str(), compare))
                continue;
            steps.push_back({i, j});
            removeEntry(list, i);
            break;
        }
    }
    return steps;
}

bool renameEntry(ExclusionListRecord& list, int index, const wchar_t* text) {
    if (!text || !validIndex(list, index))
        return false;
    size_t length = 0;
    while (text[length] != 0)
        if (++length > static_cast<size_t>(kExclusionTextLimit))
            return false;
    try {
        list.entries[index].windowName.assign(text, length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool sortEntries(ExclusionListRecord& list, int column, TextCompare compare,
                 std::vector<int>& from) {
    const int n = static_cast<int>(list.entries.size());
    if (n < 2 || (column != 0 && column != 1))
        return false;
    const bool descending = compare(sortKey(list.entries.front(), column).c_str(),
                                    sortKey(list.entries.back(), column).c_str()) < 0;
    // Selection of the first smallest (or largest) remaining entry: stable whatever the
    // comparison, and the list never holds more than 128 entries.
    std::vector<int> remaining(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        remaining[i] = i;
    from.clear();
    from.reserve(static_cast<size_t>(n));
    while (!remaining.empty()) {
        size_t best = 0;
        for (size_t k = 1; k < remaining.size(); ++k) {
            const int c = compare(sortKey(list.entries[remaining[k]], column).c_str(),
                                  sortKey(list.entries[remaining[best]], column).c_str());
            if (descending ? c > 0 : c < 0)
                best = k;
        }
        from.push_back(remaining[best]);
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(best));
    }
    std::vector<ExclusionEntry> sorted;
    sorted.reserve(static_cast<size_t>(n));
    int candidate = -1;
    for (int r = 0; r < n; ++r) {
        sorted.push_back(std::move(list.entries[from[r]]));
        if (from[r] == list.candidateIndex)
            candidate = r;
    }
    list.entries = std::move(sorted);
    list.candidateIndex = candidate;
    return true;
}

int placeCandidate(ExclusionListRecord& list, ExclusionEntry&& found, bool& appended) {
    appended = !validIndex(list, list.candidateIndex);
    if (!appended) {
        ExclusionEntry& c = list.entries[list.candidateIndex];
        c.className = std::move(found.className);
        c.windowName = std::move(found.windowName);
        return list.candidateIndex;
    }
    found.imageIndex = kNoImageIndex;
    list.entries.push_back(std::move(found));
    list.candidateIndex = static_cast<int>(list.entries.size()) - 1;
    return list.candidateIndex;
}
