// What the collector remembers of windows between collections: only the windows the last
// collection met, with the facts they were met with.
#include "core/window_memory.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowMemory, AWindowIsRecalledUntilACollectionNoLongerMeetsIt) {
    WindowMemoryRecord m;
    beginCollection(m);
    EXPECT_EQ(recallWindow(m, 0x10), nullptr);
    RememberedWindow* a = rememberWindow(m, 0x10, 7, false, true);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(rememberClassName(*a, L"EditorWndX", 9)); // only the given length
    ASSERT_NE(rememberWindow(m, 0x20, 8, true, false), nullptr);
    endCollection(m);

    beginCollection(m); // meets 0x10 only
    const RememberedWindow* again = recallWindow(m, 0x10);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->thread, 7u);
    EXPECT_FALSE(again->ownProcess);
    EXPECT_TRUE(again->topLevel);
    EXPECT_TRUE(again->hasClassName);
    EXPECT_EQ(again->className, L"EditorWnd");
    endCollection(m);

    beginCollection(m);
    EXPECT_EQ(recallWindow(m, 0x20), nullptr); // not met last time: forgotten
    ASSERT_NE(recallWindow(m, 0x10), nullptr);
    endCollection(m);
    EXPECT_EQ(m.windows.size(), 1u);
}

TEST(WindowMemory, ACollectionThatDoesNotEndForgetsNothing) {
    WindowMemoryRecord m;
    beginCollection(m);
    rememberWindow(m, 0x10, 1, false, true);
    rememberWindow(m, 0x20, 2, false, true);
    endCollection(m);
    beginCollection(m); // the enumeration fails after meeting 0x10
    recallWindow(m, 0x10);
    beginCollection(m); // the next one ends normally and meets both
    recallWindow(m, 0x10);
    recallWindow(m, 0x20);
    endCollection(m);
    EXPECT_EQ(m.windows.size(), 2u);
}

TEST(WindowMemory, RememberingAgainReplacesTheOldFacts) {
    WindowMemoryRecord m;
    beginCollection(m);
    RememberedWindow* a = rememberWindow(m, 0x10, 1, false, true);
    rememberClassName(*a, L"Old", 3);
    a = rememberWindow(m, 0x10, 2, true, false);
    EXPECT_EQ(a->thread, 2u);
    EXPECT_TRUE(a->ownProcess);
    EXPECT_FALSE(a->topLevel);
    EXPECT_FALSE(a->hasClassName);
    EXPECT_FALSE(rememberClassName(*a, nullptr, 3));
    EXPECT_FALSE(rememberClassName(*a, L"X", 0));
    EXPECT_FALSE(a->hasClassName);
}

TEST(WindowMemory, TheRoundCounterWrapsPastZero) {
    WindowMemoryRecord m;
    m.round = 0xFFFFFFFFu;
    beginCollection(m);
    rememberWindow(m, 0x10, 1, false, true);
    endCollection(m);
    EXPECT_NE(m.round, 0u);
    beginCollection(m);
    ASSERT_NE(recallWindow(m, 0x10), nullptr);
    endCollection(m);
    forgetAllWindows(m);
    EXPECT_TRUE(m.windows.empty());
}

} // namespace
