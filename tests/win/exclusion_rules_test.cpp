// fetchClassName and isExcluded on real windows: class names of every length the buffer
// growth meets, and rules matched against the window's real title.
#include "exclusion/exclusion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct ExclusionRulesWinTest : ::testing::Test {
    std::vector<HWND> windows;

    HWND windowOfClass(const std::wstring& cls, const wchar_t* title) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = cls.c_str();
        RegisterClassW(&wc);
        HWND w = CreateWindowExW(0, cls.c_str(), title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        windows.push_back(w);
        return w;
    }
    void SetUp() override { resetExclusionList(); }
    void TearDown() override {
        for (HWND w : windows)
            DestroyWindow(w);
        resetExclusionList();
    }
};

TEST_F(ExclusionRulesWinTest, ClassNamesOfEveryLengthAreReadWhole) {
    // Lengths around each 4-unit step of the buffer, up to the longest class name.
    for (int length : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 22, 63, 64, 100, 255}) {
        std::wstring cls = L"K";
        while (static_cast<int>(cls.size()) < length)
            cls += static_cast<wchar_t>(L'a' + cls.size() % 26);
        const HWND w = windowOfClass(cls, L"t");
        ASSERT_TRUE(w) << length;
        ClassName name = fetchClassName(w);
        ASSERT_TRUE(name.text) << length;
        EXPECT_EQ(name.length, length);
        EXPECT_EQ(std::wstring(name.text), cls);
        freeClassName(name);
        EXPECT_EQ(name.text, nullptr);
        EXPECT_EQ(name.length, 0);
    }
    ClassName none = fetchClassName(nullptr);
    EXPECT_EQ(none.text, nullptr);
    EXPECT_EQ(none.length, 0);
    freeClassName(none); // freeing nothing is harmless
}

TEST_F(ExclusionRulesWinTest, RulesMatchTheRealTitle) {
    const HWND memo = windowOfClass(L"ExclTestEditor", L"memo.txt");
    const HWND other = windowOfClass(L"ExclTestEditor", L"other.txt");
    const HWND untitled = windowOfClass(L"ExclTestEditor", L"");
    const HWND star = windowOfClass(L"ExclTestStar", L"whatever");
    ASSERT_TRUE(memo && other && untitled && star);
    ExclusionEntry exact{L"ExclTestEditor", kNoImageIndex, L"memo.txt"};
    ExclusionEntry empty{L"ExclTestEditor", kNoImageIndex, L""};
    ExclusionEntry any{L"ExclTestStar", kNoImageIndex, L"*"};
    ExclusionList.entries = {exact, empty, any};

    auto excluded = [](HWND w) {
        ClassName name = fetchClassName(w);
        const bool r = isExcluded(w, GetWindowTextLengthW(w), name.text);
        freeClassName(name);
        return r;
    };
    EXPECT_TRUE(excluded(memo));
    EXPECT_FALSE(excluded(other)); // same length, other text
    EXPECT_TRUE(excluded(untitled));
    EXPECT_TRUE(excluded(star));

    SetWindowTextW(memo, L"memo.txT");
    EXPECT_FALSE(excluded(memo));
    ExclusionList.entries.clear();
    EXPECT_FALSE(excluded(star));
}

} // namespace
