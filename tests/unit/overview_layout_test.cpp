// The overview's arithmetic: placement, scale, grid, view outline, hover frame, jump, drag
// and fades, with the worked numbers the overview is drawn and clicked by.
#include "overview/overview_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 3 × 2 screens of 1280 × 1024 in a 600 × 400 picture: cells of 200 × 200.
const AreaShape k3x2{3, 2, {1280, 1024}};
const Size kPicture{600, 400};

TEST(OverviewLayout, PlacementFallsBackToHalfTheScreenAndStaysOnIt) {
    const Size screen{1024, 768};
    const Size none{};
    EXPECT_EQ(overviewPlacement({10, 700}, {0, 0}, screen, none, 96), (Rect{0, 384, 512, 768}));
    EXPECT_EQ(overviewPlacement({500, 400}, {300, 200}, screen, none, 96),
              (Rect{350, 300, 650, 500}));
    // Too wide, too low: each axis falls back on its own.
    EXPECT_EQ(overviewPlacement({1020, 5}, {2000, 127}, screen, none, 96),
              (Rect{512, 0, 1024, 384}));
    // At 144 DPI the least size is 240 × 192: a stored 200 × 150 is too small.
    EXPECT_EQ(overviewPlacement({500, 400}, {200, 150}, screen, none, 144),
              (Rect{244, 208, 756, 592}));
    // Grown for a status text that needs 670 pixels, taller in proportion; a larger stored
    // size stands.
    EXPECT_EQ(overviewPlacement({500, 400}, {0, 0}, screen, {670, 60}, 144),
              (Rect{165, 149, 835, 651}));
    EXPECT_EQ(overviewPlacement({500, 400}, {800, 300}, screen, {670, 60}, 144),
              (Rect{100, 250, 900, 550}));
    // Never past the screen, however much the text asks for.
    EXPECT_EQ(overviewPlacement({500, 400}, {0, 0}, screen, {1500, 60}, 144),
              (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(overviewMinimum({480, 30}, screen, 96), (Size{480, 128}));
    EXPECT_EQ(overviewMinimum({100, 30}, screen, 144), (Size{240, 192}));
    EXPECT_EQ(overviewMinimum({1500, 30}, screen, 192), (Size{1024, 256}));
}

TEST(OverviewLayout, ScaleGridAndOutline) {
    const AreaShape a2x2{2, 2, {1280, 1024}};
    EXPECT_EQ(pictureOf(Point{100, 50}, {1280, 0}, {640, 512}, a2x2), (Point{345, 12}));
    EXPECT_EQ(thumbnailSize({401, 399}, {640, 512}, a2x2), (Size{100, 99}));
    // Green at most 0xC0 gives 0xFF, above gives 0xA0; red and blue are kept.
    EXPECT_EQ(gridPenColor(0x00804020u), 0x0080FF20u);
    EXPECT_EQ(gridPenColor(0x00C0C0C0u), 0x00C0FFC0u);
    EXPECT_EQ(gridPenColor(0x00C1D1E1u), 0x00C1A0E1u);
    EXPECT_EQ(gridLines(600, 3), (std::vector<int>{200, 400}));
    EXPECT_TRUE(gridLines(600, 1).empty());
    EXPECT_EQ(viewOutline({1280, 1024}, kPicture, k3x2), (Rect{200, 200, 400, 400}));
    // Rounded, not truncated: 601 × 1920 / 3840 = 300.5.
    EXPECT_EQ(viewOutline({1920, 0}, {601, 400}, k3x2).left, 301);
    EXPECT_EQ(viewOutline({0, 0}, kPicture, {1, 1, {1280, 1024}}), (Rect{0, 0, 600, 400}));
    EXPECT_EQ(warpPoint({1280, 1024}, kPicture, k3x2), (Point{300, 300}));
}

TEST(OverviewLayout, HoverFrameSnapsUnlessCtrlAndStaysInThePicture) {
    const struct {
        Point p;
        bool snap;
        Rect frame;
    } cases[] = {
        {{110, 150}, true, {0, 50, 200, 250}},     // 10 past a boundary: snaps left
        {{110, 150}, false, {10, 50, 210, 250}},   // Ctrl: centred on the pointer
        {{290, 150}, true, {200, 50, 400, 250}},   // 10 short of one: snaps right
        {{490, 150}, true, {400, 50, 600, 250}},   // snapping into the last cell
        {{590, 390}, false, {400, 200, 600, 400}}, // past the right and bottom
        {{50, 30}, false, {0, 0, 200, 200}},       // past the left and top
    };
    for (const auto& c : cases)
        EXPECT_EQ(hoverHighlight(c.p, kPicture, 3, 2, c.snap), c.frame) << c.p.x << "," << c.p.y;
}

TEST(OverviewLayout, JumpSnapsToScreensAndIsClamped) {
    const struct {
        Point p;
        bool snap;
        Point origin;
    } cases[] = {
        {{110, 100}, true, {0, 0}},       // X = 64 snaps to 0
        {{110, 100}, false, {64, 0}},     // with Ctrl
        {{120, 100}, true, {128, 0}},     // 128 is not below a tenth of 1280
        {{288, 100}, true, {1280, 0}},    // 1203 is above nine tenths: the next screen
        {{599, 399}, true, {2560, 1024}}, // past the last column and row
    };
    for (const auto& c : cases)
        EXPECT_EQ(jumpOrigin(c.p, kPicture, k3x2, c.snap), c.origin) << c.p.x << "," << c.p.y;
    EXPECT_EQ(pickPoint({100, 100}, kPicture, k3x2), (Point{600, 500}));
}

TEST(OverviewLayout, DragUsesWholeFactorsAndStopsAtTheAreaEdges) {
    const Rect w{100, 100, 500, 400};
    const Point view{1280, 0};
    const struct {
        Point to;
        Point move;
    } cases[] = {
        {{10, 4}, {60, 20}},           // 6 and 5 virtual pixels per picture pixel
        {{-300, -100}, {-1380, -100}}, // stops at virtual 0 on both axes
        {{400, 400}, {2060, 1648}},    // stops at the far edges 3840 and 2048
    };
    for (const auto& c : cases)
        EXPECT_EQ(dragDistance({0, 0}, c.to, w, view, kPicture, k3x2), c.move) << c.to.x;
    EXPECT_EQ(dragDamage(w, view, kPicture, k3x2), (Rect{215, 19, 278, 78}));
}

TEST(OverviewLayout, FadesPointerReturnAndPlate) {
    EXPECT_EQ(fadeStep(2500), 3u); // leave fade at the default double-click time
    EXPECT_EQ(fadeStep(5000), 1u); // idle fade
    EXPECT_EQ(fadeStep(100000), 1u);
    EXPECT_EQ(nextFade(255, 3), (FadeResult{252, false}));
    EXPECT_EQ(nextFade(3, 3), (FadeResult{0, true}));
    EXPECT_EQ(restoredCursor({0, 2000}, {1024, 768}), (Point{5, 762}));
    EXPECT_EQ(restoredCursor({1023, 3}, {1024, 768}), (Point{1018, 5}));
    const struct {
        Size plate, text, icon;
        int dpi;
        Rect wantText;
        Point wantIcon;
    } plates[] = {
        {{200, 60}, {100, 16}, {16, 16}, 96, {45, 22, 155, 40}, {29, 23}},
        {{200, 60}, {100, 24}, {24, 24}, 144, {42, 18, 157, 45}, {18, 19}},
        // A title as wide as the measuring box allows: the icon would start left of the
        // plate's edge (by one pixel at 96 DPI); a 24-pixel icon on a small plate at 144
        // DPI: each moves in to the edge, its title with it.
        {{200, 60}, {160, 16}, {16, 16}, 96, {18, 22, 188, 40}, {2, 23}},
        {{90, 40}, {30, 24}, {24, 24}, 144, {26, 8, 71, 35}, {2, 9}},
    };
    for (const auto& p : plates) {
        const PlateLayout l = plateLayout(p.plate, p.text, p.icon, p.dpi);
        EXPECT_EQ(l.text, p.wantText) << p.plate.w << " at " << p.dpi;
        EXPECT_EQ(l.icon, p.wantIcon) << p.plate.w << " at " << p.dpi;
        EXPECT_GE(l.icon.x, 2);
        EXPECT_LE(l.text.right, p.plate.w);
    }
    EXPECT_EQ(plateMeasureBox({200, 60}, 96), (Rect{30, 0, 190, 60}));
    EXPECT_EQ(plateMeasureBox({200, 60}, 144), (Rect{45, 0, 185, 60}));
}

TEST(OverviewLayout, PlateIconRunsByTheColourUnderThem) {
    const Size icon{16, 16}, plate{50, 38};
    struct Row {
        Point at;
        std::vector<IconRun> runs;
    } rows[] = {
        {{10, 11}, {{10, 26, 2}}},                      // on the face
        {{2, 2}, {{2, 18, 2}}},                         // touching the edge's inner side
        {{1, 11}, {{1, 2, 1}, {2, 17, 2}}},             // over the inner edge column
        {{-1, 11}, {{0, 1, 0}, {1, 2, 1}, {2, 15, 2}}}, // over both edge columns
        {{-15, 11}, {{0, 1, 0}}},                       // one column left on the plate
        {{-16, 11}, {}},                                // off the plate
        {{10, 1}, {}},                                  // over the top edge
        {{10, 21}, {}},                                 // over the bottom edge
        {{33, 11}, {}},                                 // over the right edge
        {{32, 20}, {{32, 48, 2}}},                      // the face's last pixels
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.at.x << "," << row.at.y);
        const IconRuns r = plateIconRuns(row.at, icon, plate);
        EXPECT_EQ(std::vector<IconRun>(r.run, r.run + r.count), row.runs);
    }
}

} // namespace
