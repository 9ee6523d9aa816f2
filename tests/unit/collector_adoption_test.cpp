// The arithmetic of the adoption at start-up: the rectangle a maximized window keeps, and
// the packed virtual position recorded for a minimized one.
#include "core/adoption_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(AdoptionRules, MaximizedRectangleIsTheReportedPositionAndSize) {
    struct Case {
        Point pos, size;
        Rect expected;
    } cases[] = {
        {{-4, -4}, {1032, 776}, {-4, -4, 1028, 772}}, // the system's usual answer
        {{5, 6}, {700, 500}, {5, 6, 705, 506}},       // a program's own answer
        {{0, 0}, {0, 0}, {0, 0, 0, 0}},
        {{-8, 100}, {1936, 1056}, {-8, 100, 1928, 1156}},
        // Whatever a program answers, the far edges stay in range.
        {{1, INT_MIN}, {INT_MAX, -1}, {1, INT_MIN, INT_MAX, INT_MIN}},
        {{INT_MAX, -5}, {INT_MAX, INT_MIN}, {INT_MAX, -5, INT_MAX, INT_MIN}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reportedMaximizedRect(c.pos, c.size), c.expected);
}

TEST(AdoptionRules, MinimizedPositionIsVirtualAndPackedInSigned16BitHalves) {
    struct Case {
        Point topLeft, origin;
        PackedPoint expected;
    } cases[] = {
        {{120, 80}, {0, 0}, {120, 80}},
        {{120, 80}, {1024, 768}, {1144, 848}},
        {{-50, -20}, {0, 0}, {-50, -20}}, // left of and above the view
        {{-50, -20}, {4096, 3072}, {4046, 3052}},
        {{30000, 10}, {4000, 0}, {-31536, 10}}, // beyond 16 bits: only the low half stays
    };
    for (const Case& c : cases) {
        const std::uint32_t packed = minimizedVirtualPosition(c.topLeft, c.origin);
        EXPECT_EQ(unpackPosition(packed), c.expected);
    }
    EXPECT_EQ(minimizedVirtualPosition({1, 2}, {0, 0}), 0x00020001u);
    EXPECT_EQ(minimizedVirtualPosition({-1, -2}, {0, 0}), 0xFFFEFFFFu);
}

} // namespace
