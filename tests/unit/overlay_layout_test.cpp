// The relative-position frame's strips and the cross cursors' lines, dash phase, readings
// and label placement.
#include "overlay/cursor_layout.h"
#include "overlay/frame_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(FrameStrips, TableOfGridsAndViews) {
    const struct {
        Point view;
        Size screen;
        int columns, rows;
        FrameStrips strips;
    } cases[] = {
        // 3 columns on 1024 pixels: a third of 1024 truncates to 341, 2048 / 3 to 682.
        {{2048, 0},
         {1024, 768},
         3,
         1,
         {{682, 0, 686, 768}, {682, 0, 1023, 4}, {1019, 0, 1023, 768}, {682, 764, 1023, 768}}},
        // One real screen: a border around the whole screen.
        {{0, 0},
         {1024, 768},
         1,
         1,
         {{0, 0, 4, 768}, {0, 0, 1024, 4}, {1020, 0, 1024, 768}, {0, 764, 1024, 768}}},
        // Between screens on 2 × 2: the frame sits in the middle quarter.
        {{512, 384},
         {1024, 768},
         2,
         2,
         {{256, 192, 260, 576}, {256, 192, 768, 196}, {764, 192, 768, 576}, {256, 572, 768, 576}}},
        // The last screen of 5 × 5: every division truncates, the frame stops short of
        // the bottom-right corner.
        {{4096, 3072},
         {1024, 768},
         5,
         5,
         {{819, 614, 823, 767},
          {819, 614, 1023, 618},
          {1019, 614, 1023, 767},
          {819, 763, 1023, 767}}},
        // A grid count of 0 draws as one screen instead of dividing by zero.
        {{0, 0},
         {800, 600},
         0,
         0,
         {{0, 0, 4, 600}, {0, 0, 800, 4}, {796, 0, 800, 600}, {0, 596, 800, 600}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frameStrips(c.view, c.screen, c.columns, c.rows, 96), c.strips)
            << c.columns << "x" << c.rows << " at " << c.view.x << "," << c.view.y;
    // At 144 DPI the strips are 6 pixels thick.
    EXPECT_EQ(frameStrips({512, 384}, {1024, 768}, 2, 2, 144), (FrameStrips{{256, 192, 262, 576},
                                                                            {256, 192, 768, 198},
                                                                            {762, 192, 768, 576},
                                                                            {256, 570, 768, 576}}));
}

TEST(CrossCursorLines, StopOnePixelShortOfTheFarEdges) {
    EXPECT_EQ(horizontalLine({1023, 767}, {1024, 768}), (Rect{0, 767, 1023, 768}));
    EXPECT_EQ(verticalLine({1023, 767}, {1024, 768}), (Rect{1023, 0, 1024, 767}));
    EXPECT_EQ(verticalLine({0, 0}, {1024, 768}), (Rect{0, 0, 1, 767}));
}

TEST(CrossCursorLines, DashPhaseStepsEvery100MsAndWraps) {
    const struct {
        std::uint32_t tick;
        int phase;
    } cases[] = {{0, 0}, {99, 0}, {100, 1}, {1199, 11}, {1200, 0}, {UINT32_MAX, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(dashPhase(c.tick), c.phase) << c.tick;
}

TEST(MeasuringLabels, ThousandsSeparators) {
    const struct {
        int n;
        const wchar_t* text;
    } cases[] = {{0, L"0"},
                 {7, L"7"},
                 {999, L"999"},
                 {1000, L"1,000"},
                 {1023, L"1,023"},
                 {100000, L"100,000"},
                 {-1, L""},
                 {INT_MIN, L""},
                 {12345678, L"12,345,678"},
                 {INT_MAX, L"2,147,483,647"}};
    for (const auto& c : cases)
        EXPECT_EQ(formatThousands(c.n), c.text) << c.n;
}

// A reading of 35 × 16 pixels (a 37 × 18 label) and a 32 × 32 pointer image on 1024 × 768.
constexpr Size kScreen{1024, 768};
constexpr Size kText{35, 16};
constexpr Size kCursor{32, 32};

TEST(MeasuringLabels, XLabelAtTheEdgesAndCorners) {
    const struct {
        Point pointer;
        Point at;
    } cases[] = {
        {{500, 100}, {501, 1}},   // upper half: at the top, right of the line
        {{500, 384}, {501, 1}},   // the middle row still counts as the upper half
        {{500, 385}, {501, 749}}, // lower half: one pixel above the bottom edge
        {{500, 63}, {501, 128}},  // within two pointer heights of the top: below it
        {{500, 64}, {501, 1}},
        {{500, 717}, {501, 749}}, // the pointer's image just clears the
                                  // label
        {{500, 718}, {501, 667}}, // near the bottom: above the pointer's image
        {{986, 100}, {987, 1}},   // the label just fits right of the line
        {{987, 100}, {949, 1}},   // it does not: left of the line
        {{0, 0}, {1, 65}},        // the four corners
        {{1023, 0}, {985, 65}},
        {{0, 767}, {1, 716}},
        {{1023, 767}, {985, 716}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xLabelPlacement(c.pointer, kScreen, kText, kCursor),
                  (Rect{c.at.x, c.at.y, c.at.x + 37, c.at.y + 18}))
            << c.pointer.x << "," << c.pointer.y;
    // A screen too small for the rules: the label is pushed back onto it.
    EXPECT_EQ(xLabelPlacement({20, 20}, {40, 30}, kText, kCursor), (Rect{0, 0, 37, 18}));
    EXPECT_EQ(yLabelPlacement({30, 5}, {40, 30}, kText, kCursor), (Rect{0, 6, 37, 24}));
}

TEST(MeasuringLabels, YLabelAtTheEdgesAndCorners) {
    const struct {
        Point pointer;
        Point at;
    } cases[] = {
        {{200, 300}, {1, 301}},   // left half: at the left edge, below the line
        {{512, 300}, {1, 301}},   // the middle column still counts as the left half
        {{513, 300}, {986, 301}}, // right half: at the right edge
        {{69, 300}, {102, 301}},  // the label would cover the pointer: right of its image
        {{70, 300}, {1, 301}},     {{954, 300}, {986, 301}},
        {{955, 300}, {885, 301}}, // near the right edge: left of the pointer's image
        {{200, 749}, {1, 750}},   // the label just fits below the line
        {{200, 750}, {1, 733}},   // it does not: above the line
        {{0, 0}, {33, 1}},        // the four corners
        {{1023, 0}, {953, 1}},     {{0, 767}, {33, 750}},
        {{1023, 767}, {953, 750}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(yLabelPlacement(c.pointer, kScreen, kText, kCursor),
                  (Rect{c.at.x, c.at.y, c.at.x + 37, c.at.y + 18}))
            << c.pointer.x << "," << c.pointer.y;
}

} // namespace
