// Where every bar lands: the worked symbol (c = 2, r = 5, m = 2, h = 8)
// rectangle by rectangle, the four orientations, alignment of spare pixels
// and the compact stop bar.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "barwright/RgbImage.h"
#include "render/SymbolGeometry.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

using drawing::Placement;
using geometry::SymbolShape;

// A bar as (left, top, width, height), the way the rectangles are listed.
struct Bar {
    std::int32_t left, top, width, height;
    bool operator==(const Bar& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const Bar& bar) {
    return out << "(" << bar.left << ", " << bar.top << ", " << bar.width << ", " << bar.height
               << ")";
}

Bar toBar(const Rect& rect) { return Bar{rect.left, rect.top, rect.width(), rect.height()}; }

SymbolShape shape(std::int32_t orientation, bool compact = false) {
    SymbolShape s;
    s.columns = 2;
    s.rows = 5;
    s.compact = compact;
    s.orientation = orientation;
    return s;
}

// Element widths of real codewords (17 modules each), so that rows differ
// and bars of different widths appear.
constexpr std::uint8_t kPatterns[][8] = {{3, 1, 1, 1, 1, 1, 3, 6},
                                         {5, 1, 1, 1, 1, 1, 2, 5},
                                         {2, 1, 1, 1, 1, 1, 5, 5},
                                         {4, 1, 1, 1, 1, 1, 4, 4}};

// The rows of a 2-column symbol: the indicators and codewords of row i
// all use pattern i mod 4.
struct FakeRows {
    FakeRows(std::int32_t rowCount, bool compact)
        : stride(8 * (2 + (compact ? 1 : 2))), widths(static_cast<std::size_t>(rowCount * stride)) {
        for (std::int32_t i = 0; i < rowCount; ++i) {
            for (std::int32_t j = 0; j < stride; ++j) {
                widths[static_cast<std::size_t>(i * stride + j)] = kPatterns[i % 4][j % 8];
            }
        }
        view.data = widths.data();
        view.rowCount = rowCount;
        view.rowStride = stride;
    }
    std::int32_t stride;
    std::vector<std::uint8_t> widths;
    drawing::RowWidths view;
};

struct Drawn {
    Placement placement;
    std::vector<Bar> startStop;
    std::vector<Bar> rows;
};

// Fits the worked symbol into the image and collects its bars in
// painting order.
Drawn drawBars(const SymbolShape& s, const Rect& image, std::int32_t alignH = 1,
               std::int32_t alignV = 1) {
    geometry::Fit fit;
    EXPECT_EQ(geometry::fitToImage(s, image, fit), 0);
    Drawn drawn;
    drawn.placement = drawing::placeSymbol(s, fit, alignH, alignV);
    drawing::forEachStartStopBar(drawn.placement, s, fit.moduleWidth, fit.rowHeight,
                                 [&](const Rect& r) { drawn.startStop.push_back(toBar(r)); });
    const FakeRows rows(s.rows, s.compact);
    drawing::forEachRowBar(drawn.placement, rows.view, fit.moduleWidth, fit.rowHeight,
                           [&](const Rect& r) { drawn.rows.push_back(toBar(r)); });
    return drawn;
}

const Rect kUpright{0, 214, 0, 48};
const Rect kTurned{0, 48, 0, 214};

TEST(Drawing, WorkedExampleStartAndStopBars) {
    const Drawn drawn = drawBars(shape(0), kUpright);
    EXPECT_EQ(drawn.placement.left, 4);
    EXPECT_EQ(drawn.placement.top, 4);
    EXPECT_EQ(drawn.placement.width, 206);
    EXPECT_EQ(drawn.placement.height, 40);
    // Start from its outer edge inward, stop from its inner edge outward,
    // ending at x = 210 with 4 pixels of quiet zone to the right.
    const std::vector<Bar> expected = {{4, 4, 16, 40},  {22, 4, 2, 40},   {26, 4, 2, 40},
                                       {30, 4, 2, 40},  {174, 4, 14, 40}, {190, 4, 2, 40},
                                       {198, 4, 2, 40}, {202, 4, 2, 40},  {208, 4, 2, 40}};
    EXPECT_EQ(drawn.startStop, expected);
}

TEST(Drawing, WorkedExampleRows) {
    const Drawn drawn = drawBars(shape(0), kUpright);
    // 4 patterns of 4 bars in each of the 5 rows, one rectangle per bar.
    ASSERT_EQ(drawn.rows.size(), 5u * 16u);
    for (std::size_t i = 0; i < 5; ++i) {
        const Bar first = drawn.rows[i * 16];
        EXPECT_EQ(first.left, 38) << "row " << i;
        EXPECT_EQ(first.top, static_cast<std::int32_t>(4 + 8 * i)) << "row " << i;
        EXPECT_EQ(first.height, 8) << "row " << i;
        // The right row indicator ends where the stop pattern begins.
        const Bar& last = drawn.rows[i * 16 + 15];
        const std::int32_t trailingSpace = 2 * kPatterns[i % 4][7];
        EXPECT_EQ(last.left + last.width + trailingSpace, 174) << "row " << i;
    }
    // Row 0 is codeword pattern 3,1,1,1,1,1,3,6 at 2 pixels a module.
    const std::vector<Bar> firstPattern(drawn.rows.begin(), drawn.rows.begin() + 4);
    const std::vector<Bar> expected = {{38, 4, 6, 8}, {46, 4, 2, 8}, {50, 4, 2, 8}, {54, 4, 6, 8}};
    EXPECT_EQ(firstPattern, expected);
    EXPECT_EQ(drawn.rows[4], (Bar{72, 4, 6, 8}));
}

struct OrientationCase {
    const char* name;
    std::int32_t orientation;
    Rect image;
    Bar widestStartBar;
    Bar firstBarOfRow0;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const OrientationCase& c) { return out << c.name; }

class DrawingOrientation : public testing::TestWithParam<OrientationCase> {};

TEST_P(DrawingOrientation, StartBarAndRowZeroWhereExpected) {
    const OrientationCase& c = GetParam();
    const Drawn drawn = drawBars(shape(c.orientation), c.image);
    EXPECT_EQ(drawn.startStop.front(), c.widestStartBar);
    EXPECT_EQ(drawn.rows.front(), c.firstBarOfRow0);
}

INSTANTIATE_TEST_SUITE_P(
    Orientations, DrawingOrientation,
    testing::Values(
        // Start on the left, row 0 on top.
        OrientationCase{"Upright", 0, kUpright, {4, 4, 16, 40}, {38, 4, 6, 8}},
        // Start at the bottom, row 0 on the left.
        OrientationCase{"QuarterCounterClockwise", 90, kTurned, {4, 194, 40, 16}, {4, 170, 8, 6}},
        // Start on the right, row 0 at the bottom.
        OrientationCase{"HalfTurn", 180, kUpright, {194, 4, 16, 40}, {170, 36, 6, 8}},
        // Start at the top, row 0 on the right.
        OrientationCase{"QuarterClockwise", 270, kTurned, {4, 4, 40, 16}, {36, 38, 8, 6}},
        // Anything else is drawn upright.
        OrientationCase{"UnknownActsAsUpright", 45, kUpright, {4, 4, 16, 40}, {38, 4, 6, 8}}),
    [](const testing::TestParamInfo<OrientationCase>& info) { return info.param.name; });

RgbImage paint(std::int32_t orientation, bool compact) {
    const SymbolShape s = shape(orientation, compact);
    geometry::Fit fit;
    double width = 0;
    double height = 0;
    EXPECT_EQ(geometry::computeImageSize(s, 2.0, 1, 1, geometry::kUnitPixels, geometry::kUnitPixels,
                                         width, height),
              0);
    RgbImage image;
    EXPECT_EQ(
        image.create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), kWhite),
        status::kOk);
    EXPECT_EQ(geometry::fitToImage(s, Rect{0, image.width(), 0, image.height()}, fit), 0);
    const Placement placement = drawing::placeSymbol(s, fit, 1, 1);
    const auto fill = [&](const Rect& r) {
        image.fillRect(r.left, r.top, r.width(), r.height(), kBlack);
    };
    drawing::forEachStartStopBar(placement, s, fit.moduleWidth, fit.rowHeight, fill);
    const FakeRows rows(s.rows, compact);
    drawing::forEachRowBar(placement, rows.view, fit.moduleWidth, fit.rowHeight, fill);
    return image;
}

bool dark(const RgbImage& image, std::int32_t x, std::int32_t y) {
    return image.row(y)[3 * x] == 0;
}

// Painting each orientation in place gives exactly the upright picture
// turned as a whole: 90 counter-clockwise, 180, 270 clockwise.
TEST(Drawing, OrientationsAreTurnsOfTheUprightPicture) {
    for (bool compact : {false, true}) {
        const RgbImage upright = paint(0, compact);
        const std::int32_t w = upright.width();
        const std::int32_t h = upright.height();
        const RgbImage quarter = paint(90, compact);
        const RgbImage half = paint(180, compact);
        const RgbImage threeQuarters = paint(270, compact);
        ASSERT_EQ(quarter.width(), h);
        ASSERT_EQ(quarter.height(), w);
        ASSERT_EQ(half.width(), w);
        ASSERT_EQ(threeQuarters.width(), h);
        int mismatches = 0;
        for (std::int32_t v = 0; v < h; ++v) {
            for (std::int32_t u = 0; u < w; ++u) {
                const bool bar = dark(upright, u, v);
                mismatches += bar != dark(quarter, v, w - 1 - u);
                mismatches += bar != dark(half, w - 1 - u, h - 1 - v);
                mismatches += bar != dark(threeQuarters, h - 1 - v, u);
            }
        }
        EXPECT_EQ(mismatches, 0) << (compact ? "compact" : "full");
    }
}

struct AlignCase {
    const char* name;
    std::int32_t orientation;
    Rect image;
    std::int32_t alignH;
    std::int32_t alignV;
    std::int32_t left;  // x0
    std::int32_t top;   // y0
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const AlignCase& c) { return out << c.name; }

class DrawingAlignment : public testing::TestWithParam<AlignCase> {};

TEST_P(DrawingAlignment, SparePixelsGoToTheMargins) {
    const AlignCase& c = GetParam();
    const Drawn drawn = drawBars(shape(c.orientation), c.image, c.alignH, c.alignV);
    EXPECT_EQ(drawn.placement.left, c.left);
    EXPECT_EQ(drawn.placement.top, c.top);
    // The start bar moves with the symbol.
    const Bar& start = drawn.startStop.front();
    if (c.orientation == 0) {
        EXPECT_EQ(start.left, c.left);
        EXPECT_EQ(start.top, c.top);
    }
}

// 219 x 53 leaves 5 spare pixels each way for the upright symbol (m = 2,
// area 211 x 45 for 206 x 40); 53 x 219 does the same for the turned one.
INSTANTIATE_TEST_SUITE_P(
    Alignments, DrawingAlignment,
    testing::Values(
        AlignCase{"CentreGivesOddPixelToRightAndBottom", 0, {0, 219, 0, 53}, 1, 1, 6, 6},
        AlignCase{"LeftTop", 0, {0, 219, 0, 53}, 0, 0, 4, 4},
        AlignCase{"RightBottom", 0, {0, 219, 0, 53}, 2, 2, 9, 9},
        AlignCase{"RightTop", 0, {0, 219, 0, 53}, 2, 0, 9, 4},
        AlignCase{"OtherValuesActAsLeftTop", 0, {0, 219, 0, 53}, 3, -1, 4, 4},
        AlignCase{"TurnedCentre", 90, {0, 53, 0, 219}, 1, 1, 6, 6},
        AlignCase{"TurnedRightBottom", 270, {0, 53, 0, 219}, 2, 2, 9, 9},
        AlignCase{"NoSpareNoMove", 0, {0, 214, 0, 48}, 2, 2, 4, 4},
        AlignCase{"OffsetImage", 0, {10, 229, 20, 73}, 1, 2, 16, 29}),
    [](const testing::TestParamInfo<AlignCase>& info) { return info.param.name; });

TEST(Drawing, CompactStopIsOneModuleBar) {
    // Compact: 17 x 2 + 35 = 69 modules, 138 pixels, in a 146 x 48 image.
    const Drawn drawn = drawBars(shape(0, true), Rect{0, 146, 0, 48});
    const std::vector<Bar> expected = {{4, 4, 16, 40},
                                       {22, 4, 2, 40},
                                       {26, 4, 2, 40},
                                       {30, 4, 2, 40},
                                       // 17 x (c + 2) modules from the start edge, one module wide,
                                       // ending at the quiet zone.
                                       {140, 4, 2, 40}};
    EXPECT_EQ(drawn.startStop, expected);
    // Rows hold the left indicator and two codewords: 3 patterns of 4 bars.
    ASSERT_EQ(drawn.rows.size(), 5u * 12u);
    const Bar& lastOfRow0 = drawn.rows[11];
    EXPECT_EQ(lastOfRow0.left + lastOfRow0.width + 2 * kPatterns[0][7], 140);
}

}  // namespace
}  // namespace barwright
