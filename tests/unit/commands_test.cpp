// The main window's command table, the cross-cursor exclusion and display changes.
#include "mainwnd/commands.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

TEST(CommandTable, IdentifiersReachTheirActions) {
    struct Case {
        unsigned id;
        Command command;
        const wchar_t* page;
    } cases[] = {
        {104, Command::Settings, nullptr},      {105, Command::Exit, nullptr},
        {106, Command::CrossCursor, nullptr},   {107, Command::MeasuringCursor, nullptr},
        {130, Command::Exclusions, nullptr},    {132, Command::ToggleScroll, nullptr},
        {163, Command::TileVertical, nullptr},  {164, Command::TileHorizontal, nullptr},
        {165, Command::Overview, nullptr},      {166, Command::Help, L"first.html"},
        {167, Command::Help, L"howtouse.html"}, {168, Command::Help, L"uninstall.html"},
        {169, Command::Help, L"notfound.html"}, {170, Command::Help, L"stopscroll.html"},
        {171, Command::Help, L"limit.html"},    {173, Command::Help, L"requirements.html"},
        {174, Command::Help, L"files.html"},    {175, Command::Help, L"about.html"},
        {32772, Command::Cascade, nullptr},     {32773, Command::Gather, nullptr},
        // Not handled: the cancel item, the unused 172 and the greyed captions.
        {2, Command::None, nullptr},            {172, Command::None, nullptr},
        {32774, Command::None, nullptr},        {32777, Command::None, nullptr},
        {0, Command::None, nullptr},
    };
    for (const auto& c : cases) {
        const CommandAction a = commandFor(c.id);
        EXPECT_EQ(a.command, c.command) << "id " << c.id;
        if (c.page)
            EXPECT_TRUE(a.helpPage && std::wcscmp(a.helpPage, c.page) == 0) << "id " << c.id;
        else
            EXPECT_EQ(a.helpPage, nullptr) << "id " << c.id;
    }
    // Only the low word is the identifier (the high word is the notification code).
    EXPECT_EQ(commandFor(0x10000u | 105).command, Command::Exit);
}

TEST(CrossCursors, NeverOnTogether) {
    for (int cross : {0, 1})
        for (int measuring : {0, 1}) {
            if (cross && measuring) continue; // cannot arise
            for (bool measuringCommand : {false, true}) {
                const CursorToggle t = measuringCommand ? toggleMeasuringCursor(cross, measuring)
                                                        : toggleCrossCursor(cross, measuring);
                EXPECT_FALSE(t.crossCursor && t.measuringCursorOn);
                // Whatever is switched off is closed, and only what is switched on opens.
                EXPECT_EQ(t.closeCross, cross && !t.crossCursor);
                EXPECT_EQ(t.closeMeasuring, measuring && !t.measuringCursorOn);
                EXPECT_EQ(t.openCross, !cross && t.crossCursor);
                EXPECT_EQ(t.openMeasuring, !measuring && t.measuringCursorOn);
            }
        }
    const CursorToggle on = toggleCrossCursor(0, 1);
    EXPECT_EQ(on.crossCursor, 1);
    EXPECT_EQ(on.measuringCursorOn, 0);
    const CursorToggle off = toggleMeasuringCursor(0, 1);
    EXPECT_EQ(off.measuringCursorOn, 0);
    EXPECT_EQ(off.crossCursor, 0);
}

TEST(DisplayChange, SizeFromMessageOrSystem) {
    const Size system{1024, 768};
    EXPECT_EQ(displaySizeAfterChange(0, system), system);
    EXPECT_EQ(displaySizeAfterChange((1080u << 16) | 1920u, system), (Size{1920, 1080}));
    // Words are unsigned: 40000 stays 40000.
    EXPECT_EQ(displaySizeAfterChange((600u << 16) | 40000u, system), (Size{40000, 600}));
    EXPECT_EQ(displaySizeAfterChange(1920u, system), system); // zero height
    EXPECT_EQ(displaySizeAfterChange(1080u << 16, system), system);
}

} // namespace
