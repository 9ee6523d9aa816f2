// Where the exclusion window opens and its column widths.
#include "exclusion/exclusion_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(ExclusionLayout, AThirdOfTheWorkAreaGrownForItsHintAndCentred) {
    const Rect work{0, 0, 1024, 740};
    const struct {
        Rect work;
        Size minimum;
        Rect want;
    } rows[] = {
        {work, {300, 200}, {341, 247, 682, 493}}, // a third each way (truncated), centred
        {work, {420, 200}, {302, 247, 722, 493}}, // wider for the hint at 96 DPI
        {work, {640, 300}, {192, 220, 832, 520}}, // at 144 DPI
        {work, {1300, 900}, {0, 0, 1024, 740}},   // never past the work area
        {{100, 40, 1124, 780}, {300, 200}, {441, 287, 782, 533}}, // a taskbar left or on top
        {{0, 0, 0, 0}, {300, 200}, {0, 0, 1, 1}},                 // an unreadable work area
    };
    for (const auto& r : rows)
        EXPECT_EQ(exclusionWindowPlacement(r.work, r.minimum), r.want)
            << r.minimum.w << "x" << r.minimum.h;
}

TEST(ExclusionLayout, ColumnsShareANarrowListAndKeep200PixelsScaledOtherwise) {
    EXPECT_EQ(exclusionColumnWidth(800, 96), 200);
    EXPECT_EQ(exclusionColumnWidth(800, 144), 300);
    EXPECT_EQ(exclusionColumnWidth(398, 96), 199); // two columns fill the list, no scroll bar
    EXPECT_EQ(exclusionColumnWidth(599, 144), 299);
    EXPECT_EQ(exclusionColumnWidth(0, 96), 1);
}

} // namespace
