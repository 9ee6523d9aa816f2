// Matching windows against exclusion rules: "*" titles, exact class and title, empty
// strings, case, and how often the title is read; dropping an unconfirmed candidate.
#include "exclusion/exclusion_rules.h"

#include "folded_compare.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FakeTitle {
    std::wstring text;
    int reads = 0;
    int lastCapacity = 0;
};

int readFake(void* context, wchar_t* buffer, int capacity) {
    auto* t = static_cast<FakeTitle*>(context);
    ++t->reads;
    t->lastCapacity = capacity;
    int n = 0;
    for (; n < capacity - 1 && n < static_cast<int>(t->text.size()); ++n)
        buffer[n] = t->text[n];
    buffer[n] = 0;
    return n;
}

bool excluded(const std::vector<ExclusionEntry>& rules, const wchar_t* cls,
              const std::wstring& title, int* reads = nullptr) {
    FakeTitle t{title};
    const bool r =
        matchesExclusion(rules, static_cast<int>(title.size()), cls, readFake, &t, compareOrdinal);
    if (reads)
        *reads = t.reads;
    return r;
}

ExclusionEntry rule(const wchar_t* cls, const wchar_t* title) {
    ExclusionEntry e;
    e.className = cls;
    e.windowName = title;
    return e;
}

TEST(ExclusionMatch, TableOfRulesAndWindows) {
    struct Case {
        const char* name;
        std::vector<ExclusionEntry> rules;
        const wchar_t* cls;
        std::wstring title;
        bool expected;
    } cases[] = {
        {"star, any title", {rule(L"Notepad", L"*")}, L"Notepad", L"memo.txt", true},
        {"star, empty title", {rule(L"Notepad", L"*")}, L"Notepad", L"", true},
        {"star, one-letter title", {rule(L"Notepad", L"*")}, L"Notepad", L"x", true},
        {"star, other class", {rule(L"Notepad", L"*")}, L"WordPad", L"memo.txt", false},
        {"exact title", {rule(L"Notepad", L"memo.txt")}, L"Notepad", L"memo.txt", true},
        {"other title, same length",
         {rule(L"Notepad", L"memo.txt")},
         L"Notepad",
         L"memo.txu",
         false},
        {"longer title", {rule(L"Notepad", L"memo")}, L"Notepad", L"memo.txt", false},
        {"shorter title", {rule(L"Notepad", L"memo.txt")}, L"Notepad", L"memo", false},
        {"title case differs", {rule(L"Notepad", L"Memo")}, L"Notepad", L"memo", false},
        {"class case differs", {rule(L"notepad", L"*")}, L"Notepad", L"memo", false},
        {"class prefix", {rule(L"Note", L"*")}, L"Notepad", L"memo", false},
        {"class longer", {rule(L"Notepad2", L"*")}, L"Notepad", L"memo", false},
        {"empty pattern, empty title", {rule(L"Notepad", L"")}, L"Notepad", L"", true},
        {"empty pattern, titled window", {rule(L"Notepad", L"")}, L"Notepad", L"memo", false},
        {"empty class rule, empty class", {rule(L"", L"*")}, L"", L"memo", true},
        {"empty class rule, named class", {rule(L"", L"*")}, L"Notepad", L"memo", false},
        {"star is literal inside a pattern",
         {rule(L"Notepad", L"memo*")},
         L"Notepad",
         L"memo.txt",
         false},
        {"trailing star matches a literal star",
         {rule(L"Notepad", L"memo*")},
         L"Notepad",
         L"memo*",
         true},
        {"two stars are no wildcard", {rule(L"Notepad", L"**")}, L"Notepad", L"ab", false},
        {"star title on a star rule", {rule(L"Notepad", L"*")}, L"Notepad", L"*", true},
        {"second rule matches",
         {rule(L"Notepad", L"other"), rule(L"Notepad", L"memo")},
         L"Notepad",
         L"memo",
         true},
        {"no rules", {}, L"Notepad", L"memo", false},
        {"Japanese title", {rule(L"#32770", L"拡大鏡")}, L"#32770", L"拡大鏡", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(excluded(c.rules, c.cls, c.title), c.expected);
        // The order of the rules never changes the answer.
        std::vector<ExclusionEntry> reversed(c.rules.rbegin(), c.rules.rend());
        EXPECT_EQ(excluded(reversed, c.cls, c.title), c.expected);
    }
}

TEST(ExclusionMatch, NamesAreEqualByTheComparisonGiven) {
    const std::vector<ExclusionEntry> rules = {rule(L"notepad", L"MEMO")};
    FakeTitle t{L"memo"};
    EXPECT_TRUE(matchesExclusion(rules, 4, L"Notepad", readFake, &t, compareFolded));
    EXPECT_FALSE(matchesExclusion(rules, 4, L"Notepad", readFake, &t, compareOrdinal));
    EXPECT_TRUE(namesClass(rules, L"NOTEPAD", compareFolded));
    EXPECT_FALSE(namesClass(rules, L"NOTEPAD", compareOrdinal));
    EXPECT_FALSE(namesClass(rules, nullptr, compareFolded));
}

TEST(ExclusionMatch, TitleIsReadOnlyWhenClassAndLengthAgreeAndAtMostOnce) {
    const std::vector<ExclusionEntry> rules = {
        rule(L"Other", L"memo"),         // other class: never read
        rule(L"Notepad", L"long title"), // other length: never read
        rule(L"Notepad", L"abcd"),       // reads the title
        rule(L"Notepad", L"wxyz"),       // reuses it
        rule(L"Notepad", L"memo"),
    };
    int reads = -1;
    EXPECT_TRUE(excluded(rules, L"Notepad", L"memo", &reads));
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(excluded(rules, L"Notepad", L"none", &reads));
    EXPECT_EQ(reads, 1);
    EXPECT_FALSE(excluded(rules, L"Notepad", L"12345", &reads));
    EXPECT_EQ(reads, 0);
    EXPECT_FALSE(excluded(rules, L"Third", L"memo", &reads));
    EXPECT_EQ(reads, 0);
    // A star rule needs no title at all.
    EXPECT_TRUE(excluded({rule(L"Notepad", L"*")}, L"Notepad", L"memo", &reads));
    EXPECT_EQ(reads, 0);

    FakeTitle t{L"memo"};
    matchesExclusion(rules, 4, L"Notepad", readFake, &t, compareOrdinal);
    EXPECT_EQ(t.lastCapacity, 5); // the title's length plus the terminator
}

TEST(ExclusionMatch, TitleChangedSinceItsLengthWasRead) {
    // The caller measured 4 units, but the window now answers with fewer or more.
    const std::vector<ExclusionEntry> rules = {rule(L"Notepad", L"memo")};
    FakeTitle shorter{L"mem"};
    EXPECT_FALSE(matchesExclusion(rules, 4, L"Notepad", readFake, &shorter, compareOrdinal));
    FakeTitle longer{L"memo.txt"}; // cut at the buffer: the first 4 units match
    EXPECT_TRUE(matchesExclusion(rules, 4, L"Notepad", readFake, &longer, compareOrdinal));
    FakeTitle none{L""};
    EXPECT_FALSE(matchesExclusion(rules, 4, L"Notepad", readFake, &none, compareOrdinal));
    // A reader that reports nonsense counts is not trusted past the buffer.
    auto liar = [](void*, wchar_t* buffer, int capacity) {
        for (int i = 0; i < capacity; ++i)
            buffer[i] = L'm';
        return capacity + 10;
    };
    EXPECT_FALSE(matchesExclusion(rules, 4, L"Notepad", liar, nullptr, compareOrdinal));
}

TEST(ExclusionMatch, NullClassOrNegativeLengthMatchNothingButStars) {
    const std::vector<ExclusionEntry> rules = {rule(L"", L""), rule(L"Notepad", L"*")};
    FakeTitle t{L""};
    EXPECT_FALSE(matchesExclusion(rules, 0, nullptr, readFake, &t, compareOrdinal));
    EXPECT_FALSE(
        matchesExclusion({rule(L"Notepad", L"")}, -1, L"Notepad", readFake, &t, compareOrdinal));
    EXPECT_TRUE(matchesExclusion(rules, -1, L"Notepad", readFake, &t, compareOrdinal));
    EXPECT_EQ(t.reads, 0);
}

TEST(ExclusionCandidate, RemovedOnlyWhenItsIndexIsValid) {
    ExclusionListRecord list;
    list.entries = {rule(L"A", L"*"), rule(L"B", L"*"), rule(L"C", L"*")};
    list.candidateIndex = 1;
    removeCandidate(list);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].className, L"A");
    EXPECT_EQ(list.entries[1].className, L"C");
    EXPECT_EQ(list.candidateIndex, -1);

    removeCandidate(list); // none: nothing changes
    EXPECT_EQ(list.entries.size(), 2u);
    for (int stale : {2, 7, -5}) {
        list.candidateIndex = stale;
        removeCandidate(list);
        EXPECT_EQ(list.entries.size(), 2u) << stale;
        EXPECT_EQ(list.candidateIndex, -1) << stale;
    }
}

TEST(ClassNameBuffer, NeedsTwoUnitsToSpare) {
    // A 3-letter name needs the 8-unit buffer: 3 + 1 is not less than 4.
    EXPECT_FALSE(classNameComplete(3, 4));
    EXPECT_TRUE(classNameComplete(3, 8));
    EXPECT_TRUE(classNameComplete(2, 4));
    EXPECT_FALSE(classNameComplete(6, 7));
    EXPECT_TRUE(classNameComplete(0, 4));
}

} // namespace
