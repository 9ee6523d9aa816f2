// The overlay thread in this process: its hidden strips at start, the frame shown by a
// thread message and hidden by another, and its exit code.
#include "core/app.h"
#include "core/settings.h"
#include "core/view.h"
#include "overlay/overlay_thread.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

bool waitFor(bool (*cond)(), DWORD ms = 5000) {
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(10);
    }
    return true;
}

RECT rectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

TEST(OverlayThread, ShowsAndHidesTheFrameAndEndsOnQuit) {
    EXPECT_EQ(overlayThreadProc(nullptr), 1u);

    resetAppState();
    appInstance = GetModuleHandleW(nullptr);
    Settings = SettingsRecord{};
    Settings.moveDisplay = u'b';
    Settings.columns = 3;
    Settings.rows = 1;
    RealScreenSize = {1024, 768};
    ViewOrigin = {2048, 0};
    BorderFrame = BorderFrameRecord{};
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, overlayThreadProc, &BorderFrame, 0, &id);
    ASSERT_TRUE(thread);
    // The strips exist, hidden; making them gave the thread its queue.
    ASSERT_TRUE(waitFor([] { return IsWindow(BorderFrame.bottomStrip) != 0; }));
    EXPECT_FALSE(IsWindowVisible(BorderFrame.leftStrip));
    wchar_t name[32] = {};
    GetClassNameW(BorderFrame.leftStrip, name, 32);
    EXPECT_STREQ(name, L"ZRBorderWindowClass");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(BorderFrame.topStrip, GWL_EXSTYLE)),
              0x080800A8u);

    PostThreadMessageW(id, WM_BORDER_SHOW, 0, 0);
    // The timer is started last, once the strips are placed.
    ASSERT_TRUE(waitFor([] { return BorderFrame.hideTimer != 0; }));
    EXPECT_TRUE(IsWindowVisible(BorderFrame.bottomStrip));
    const RECT right = rectOf(BorderFrame.rightStrip);
    EXPECT_EQ(right.left, 682 + 341 - 4);
    EXPECT_EQ(right.bottom, 768);

    PostThreadMessageW(id, WM_BORDER_HIDE, 0, 0);
    ASSERT_TRUE(waitFor([] { return !IsWindowVisible(BorderFrame.leftStrip); }));
    EXPECT_EQ(BorderFrame.hideTimer, 0u);

    PostThreadMessageW(id, WM_QUIT, 0, 0);
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 1u);
    CloseHandle(thread);
    Settings = SettingsRecord{};
}

// Start-up posts to the thread as soon as it has started it (a shift at start shows the
// frame): the thread's queue must exist by then, or the message is lost.
TEST(OverlayThread, AMessagePostedTheMomentItStartsIsNotLost) {
    resetAppState();
    appInstance = GetModuleHandleW(nullptr);
    Settings = SettingsRecord{};
    Settings.moveDisplay = u'b';
    RealScreenSize = {1024, 768};
    ViewOrigin = {0, 0};
    BorderFrame = BorderFrameRecord{};
    startOverlayThread();
    ASSERT_TRUE(overlayThread);
    postToOverlayThread(WM_BORDER_SHOW);
    EXPECT_TRUE(waitFor([] { return BorderFrame.hideTimer != 0; })) << "the show was lost";
    postToOverlayThread(WM_QUIT);
    EXPECT_EQ(WaitForSingleObject(overlayThread, 5000), WAIT_OBJECT_0);
    CloseHandle(overlayThread);
    resetAppState();
    Settings = SettingsRecord{};
}

} // namespace
