// The edits the exclusion list window makes to the rules: removing duplicates, deleting,
// renaming, sorting and placing a find-mode candidate. Portable; the window gathers the
// selection, calls these and then updates its list view rows to match.
#pragma once

#include "exclusion/exclusion_rules.h"

#include <vector>

// Removes the entry at `index` and keeps the candidate index on its entry (-1 when the
// candidate itself goes).
void removeEntry(ExclusionListRecord& list, int index);

// Drops the picture of a rule from the image list: `removeImage` is asked to remove image
// `imageIndex` and returns whether it did.
using ImageRemover = bool (*)(void* context, int imageIndex);

// Forgets the icon of entry `index`: when it has one and removeImage drops it, every higher
// image index is lowered by one. The entry is left with no icon either way.
void forgetImage(ExclusionListRecord& list, int index, ImageRemover removeImage, void* context);

// Deletes the entries at `rows` (any order; indices outside the list are ignored) from the
// last to the first, dropping their icons as above. Returns the deleted indices in that
// order, for the caller to delete the same rows.
std::vector<int> deleteEntries(ExclusionListRecord& list, std::vector<int> rows,
                               ImageRemover removeImage, void* context);

// One step of removing duplicates: entry `removed` went, `kept` is its earlier twin.
struct DuplicateRemoval {
    int removed;
    int kept;
};
// For each entry from the last down to the second, the first earlier entry (searching
// backwards) with the same window name and class name makes it go. Returns the steps in
// the order they were taken.
std::vector<DuplicateRemoval> removeDuplicates(ExclusionListRecord& list, TextCompare compare);

// Replaces the window name of entry `index` with `text`. Refused (false, nothing changed)
// for a cancelled edit (null text), a text longer than 4,095 units, an index outside the
// list or no memory.
bool renameEntry(ExclusionListRecord& list, int index, const wchar_t* text);

// Sorts by window name (column 0) or class name (column 1), stably: descending when the
// first entry's key is below the last one's, otherwise ascending, so that sorting twice
// reverses. Nothing happens (false) for fewer than two entries or another column.
// `from[r]` tells where the entry now at r was before; the candidate index follows its
// entry.
bool sortEntries(ExclusionListRecord& list, int column, TextCompare compare,
                 std::vector<int>& from);

// Puts a window found in find mode into the list: appended as the new candidate when
// there is none (`appended` true), else written over the candidate's names. Returns the
// candidate's index.
int placeCandidate(ExclusionListRecord& list, ExclusionEntry&& found, bool& appended);
