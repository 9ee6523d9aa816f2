// Before the first test: the shared desktop of a fresh Wine session starts with the test
// program and puts the pointer back in the middle of the screen once it is up. Waiting
// for it here keeps the first test's pointer where the test puts it.
#include "harness.h"

#include <gtest/gtest.h>

namespace {

struct DesktopReady : ::testing::Environment {
    void SetUp() override {
        HWND w = CreateWindowExW(WS_EX_TOOLWINDOW, L"Static", L"warm-up", WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, nullptr, nullptr);
        ShowWindow(w, SW_SHOWNOACTIVATE);
        e2e::pumpFor(1500);
        DestroyWindow(w);
        e2e::setCursor(1, 1);
        e2e::pumpFor(300);
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new DesktopReady);

} // namespace
