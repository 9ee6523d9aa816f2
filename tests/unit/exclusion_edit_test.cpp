// Editing the rule list: duplicates, deletion with the image list closing its gaps,
// renaming limits, the stable two-way sort, and the find-mode candidate kept on its entry.
#include "exclusion/exclusion_edit.h"

#include "folded_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ExclusionEntry rule(const wchar_t* cls, const wchar_t* title, int image = kNoImageIndex) {
    ExclusionEntry e;
    e.className = cls;
    e.windowName = title;
    e.imageIndex = image;
    return e;
}

// Titles in list order, each with its class after a slash.
std::wstring names(const ExclusionListRecord& list) {
    std::wstring s;
    for (const ExclusionEntry& e : list.entries)
        s += e.windowName + L"/" + e.className + L" ";
    return s;
}

// Image indexes in list order.
std::vector<int> images(const ExclusionListRecord& list) {
    std::vector<int> v;
    for (const ExclusionEntry& e : list.entries)
        v.push_back(e.imageIndex);
    return v;
}

struct FakeImageList {
    std::vector<int> removed;
    bool refuse = false;
};
bool removeFake(void* context, int image) {
    auto* l = static_cast<FakeImageList*>(context);
    if (l->refuse)
        return false;
    l->removed.push_back(image);
    return true;
}

TEST(ExclusionDuplicates, TheLaterEntryGoesAndTheEarlierIsKept) {
    ExclusionListRecord list;
    list.entries = {rule(L"A", L"x"), rule(L"B", L"x"), rule(L"A", L"*"),
                    rule(L"A", L"x"), rule(L"B", L"x"), rule(L"A", L"x")};
    const std::vector<DuplicateRemoval> steps = removeDuplicates(list, compareOrdinal);
    EXPECT_EQ(names(list), L"x/A x/B */A ");
    // Each later twin found its nearest earlier one, searching from the end.
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].removed, 5);
    EXPECT_EQ(steps[0].kept, 3);
    EXPECT_EQ(steps[1].removed, 4);
    EXPECT_EQ(steps[1].kept, 1);
    EXPECT_EQ(steps[2].removed, 3);
    EXPECT_EQ(steps[2].kept, 0);

    // Equal by the comparison given, not only unit by unit.
    list.entries = {rule(L"Cls", L"memo"), rule(L"CLS", L"MEMO")};
    EXPECT_TRUE(removeDuplicates(list, compareOrdinal).empty());
    EXPECT_EQ(removeDuplicates(list, compareFolded).size(), 1u);
    EXPECT_EQ(names(list), L"memo/Cls ");
}

TEST(ExclusionDelete, SelectedRulesGoAndLaterPicturesMoveDown) {
    ExclusionListRecord list;
    list.entries = {rule(L"A", L"a", 0), rule(L"B", L"b", 3), rule(L"C", L"c", 1), rule(L"D", L"d"),
                    rule(L"E", L"e", 2)};
    list.candidateIndex = 4;
    FakeImageList images_;
    const std::vector<int> deleted = deleteEntries(list, {2, 0, 9, 2}, removeFake, &images_);
    EXPECT_EQ(deleted, (std::vector<int>{2, 0})); // last first; duplicates and strays skipped
    EXPECT_EQ(images_.removed, (std::vector<int>{1, 0}));
    EXPECT_EQ(names(list), L"b/B d/D e/E ");
    EXPECT_EQ(images(list), (std::vector<int>{1, kNoImageIndex, 0}));
    EXPECT_EQ(list.candidateIndex, 2); // still the same entry

    // A picture the image list would not remove leaves the others where they are.
    images_.refuse = true;
    deleteEntries(list, {0}, removeFake, &images_);
    EXPECT_EQ(images(list), (std::vector<int>{kNoImageIndex, 0}));
    // Deleting the candidate itself leaves find mode without one.
    deleteEntries(list, {1}, removeFake, &images_);
    EXPECT_EQ(list.candidateIndex, -1);
    EXPECT_TRUE(deleteEntries(list, {}, removeFake, &images_).empty());
}

TEST(ExclusionRename, LimitsAndRefusals) {
    ExclusionListRecord list;
    list.entries = {rule(L"A", L"old")};
    const std::wstring longest(kExclusionTextLimit, L'x');
    const std::wstring tooLong(kExclusionTextLimit + 1, L'x');
    EXPECT_FALSE(renameEntry(list, 0, nullptr)); // cancelled
    EXPECT_FALSE(renameEntry(list, 0, tooLong.c_str()));
    EXPECT_FALSE(renameEntry(list, 1, L"new"));
    EXPECT_FALSE(renameEntry(list, -1, L"new"));
    EXPECT_EQ(list.entries[0].windowName, L"old");
    EXPECT_TRUE(renameEntry(list, 0, longest.c_str()));
    EXPECT_EQ(list.entries[0].windowName, longest);
    EXPECT_TRUE(renameEntry(list, 0, L""));
    EXPECT_EQ(list.entries[0].windowName, L"");
    EXPECT_EQ(list.entries[0].className, L"A");
}

TEST(ExclusionSort, StableInBothDirectionsAndTheCandidateFollows) {
    ExclusionListRecord list;
    // Equal titles "b" keep their order (class 1 before 2) whichever way the list sorts.
    list.entries = {rule(L"1", L"b"), rule(L"0", L"c"), rule(L"2", L"b"), rule(L"3", L"a")};
    list.candidateIndex = 1;
    std::vector<int> from;
    ASSERT_TRUE(sortEntries(list, 0, compareOrdinal, from)); // "b" < "a" is false: ascending
    EXPECT_EQ(names(list), L"a/3 b/1 b/2 c/0 ");
    EXPECT_EQ(from, (std::vector<int>{3, 0, 2, 1}));
    EXPECT_EQ(list.candidateIndex, 3);
    ASSERT_TRUE(sortEntries(list, 0, compareOrdinal, from)); // "a" < "c": descending
    EXPECT_EQ(names(list), L"c/0 b/1 b/2 a/3 ");
    EXPECT_EQ(list.candidateIndex, 0);
    ASSERT_TRUE(sortEntries(list, 1, compareOrdinal, from)); // by class, "0" < "3": descending
    EXPECT_EQ(names(list), L"a/3 b/2 b/1 c/0 ");
    EXPECT_EQ(from, (std::vector<int>{3, 2, 1, 0}));

    // First and last keys equal: the click sorts ascending; the next one descending, and
    // the equal titles still keep their order.
    list.entries = {rule(L"x", L"m"), rule(L"y", L"z"), rule(L"w", L"a"), rule(L"v", L"m")};
    ASSERT_TRUE(sortEntries(list, 0, compareOrdinal, from));
    EXPECT_EQ(names(list), L"a/w m/x m/v z/y ");
    ASSERT_TRUE(sortEntries(list, 0, compareOrdinal, from));
    EXPECT_EQ(names(list), L"z/y m/x m/v a/w ");

    list.entries.resize(1);
    EXPECT_FALSE(sortEntries(list, 0, compareOrdinal, from));
    list.entries = {rule(L"b", L"b"), rule(L"a", L"a")};
    EXPECT_FALSE(sortEntries(list, 2, compareOrdinal, from));
    EXPECT_EQ(names(list), L"b/b a/a ");
}

TEST(ExclusionCandidate, AppendedOnceThenReplacedInPlace) {
    ExclusionListRecord list;
    list.entries = {rule(L"A", L"a")};
    bool appended = false;
    EXPECT_EQ(placeCandidate(list, rule(L"B", L"b", 5), appended), 1);
    EXPECT_TRUE(appended);
    EXPECT_EQ(list.entries[1].imageIndex, kNoImageIndex);
    list.entries[1].imageIndex = 4;
    EXPECT_EQ(placeCandidate(list, rule(L"C", L"c"), appended), 1);
    EXPECT_FALSE(appended);
    EXPECT_EQ(names(list), L"a/A c/C ");
    EXPECT_EQ(list.entries[1].imageIndex, 4); // the caller decides about the picture

    FakeImageList il;
    forgetImage(list, 1, removeFake, &il);
    EXPECT_EQ(il.removed, std::vector<int>{4});
    EXPECT_EQ(list.entries[1].imageIndex, kNoImageIndex);
}

} // namespace
