// The exclusion window in this process: the pictures of its image list follow the rules,
// with windows of this process as the ones the rules name and find mode finds.
#include "exclusion/exclusion.h"
#include "exclusion/exclusion_window.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

namespace {

constexpr wchar_t kTargetClass[] = L"ExclusionIconTarget";

HWND exclusionWindow() {
    return FindWindowW(L"ZerdaneExceptionListWndCls", nullptr);
}

HWND listOf(HWND window) {
    return FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
}

// Paints the rows, which asks for their pictures, and counts the pictures held.
int picturesAfterPainting(HWND window) {
    HWND list = listOf(window);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return ImageList_GetImageCount(
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
}

TEST(ExclusionWindowPictures, ADroppedCandidateTakesItsIconAlongAndAReopeningLooksAgain) {
    resetExclusionList();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kTargetClass;
    wc.hIcon = LoadIconW(nullptr, IDI_WARNING);
    RegisterClassW(&wc);
    HWND ruled = CreateWindowExW(0, kTargetClass, L"ruled", WS_OVERLAPPED | WS_VISIBLE, 20, 20, 150,
                                 100, nullptr, nullptr, nullptr, nullptr);
    HWND pointed = CreateWindowExW(0, kTargetClass, L"pointed", WS_OVERLAPPED | WS_VISIBLE, 20, 200,
                                   150, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(ruled && pointed);
    ExclusionList.entries = {{kTargetClass, kNoImageIndex, L"ruled"}};
    showExclusionWindow();
    HWND window = exclusionWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(picturesAfterPainting(window), 1);

    // Find mode takes the window under the pointer as a candidate, with its own picture.
    // The desktop may still centre the pointer once after its first windows: the pointer
    // is set again until a tick finds the window.
    SendMessageW(window, WM_COMMAND, IDM_EXCL_FIND, 0);
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (ExclusionList.entries.size() < 2 && GetTickCount64() < deadline) {
        SetCursorPos(95, 250);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        POINT p{};
        if (GetCursorPos(&p) && WindowFromPoint(p) == pointed)
            SendMessageW(window, WM_TIMER, 1, 0);
    }
    ASSERT_EQ(ExclusionList.entries.size(), 2u);
    EXPECT_EQ(ExclusionList.entries[1].windowName, L"pointed");
    EXPECT_EQ(picturesAfterPainting(window), 2);

    // The exit drops the unconfirmed candidate, and its picture with it.
    dropUnconfirmedCandidate();
    EXPECT_EQ(ExclusionList.entries.size(), 1u);
    EXPECT_EQ(picturesAfterPainting(window), 1);

    // The next opening has a new image list: the rule's picture is looked up again.
    DestroyWindow(window);
    showExclusionWindow();
    window = exclusionWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(picturesAfterPainting(window), 1);
    EXPECT_EQ(ExclusionList.entries[0].imageIndex, 0);

    DestroyWindow(window);
    DestroyWindow(pointed);
    DestroyWindow(ruled);
    resetExclusionList();
}

} // namespace
