// Whole-pixel sizes: the image a module width needs, the fitting of a
// symbol into a given image, and the refusal of sizes that cannot be drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>

#include "render/SymbolGeometry.h"

namespace barwright {
namespace {

using geometry::SymbolShape;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kPx = geometry::kUnitPixels;

// c = 2, r = 5, the symbol of the worked examples.
SymbolShape shape(std::int32_t orientation = 0, bool quietZone = true, double ratio = 4.0,
                  bool compact = false, std::int32_t columns = 2, std::int32_t rows = 5) {
    SymbolShape s;
    s.columns = columns;
    s.rows = rows;
    s.compact = compact;
    s.quietZone = quietZone;
    s.orientation = orientation;
    s.yToXRatio = ratio;
    return s;
}

TEST(SymbolGeometry, WidthInModules) {
    struct {
        std::int32_t columns;
        bool compact;
        std::int64_t modules;
    } const kCases[] = {{1, false, 86}, {2, false, 103}, {30, false, 579},
                        {1, true, 52},  {2, true, 69},   {30, true, 545}};
    for (const auto& c : kCases) {
        EXPECT_EQ(geometry::symbolWidthModules(c.columns, c.compact), c.modules)
            << c.columns << (c.compact ? " compact" : " full");
    }
}

TEST(SymbolGeometry, RoundHalfUp) {
    struct {
        double x;
        double rounded;
    } const kCases[] = {
        {0.0, 0},
        {0.4, 0},
        {0.5, 1},
        {2.49, 2},
        {2.5, 3},
        {2.0, 2},
        // Just below a half: adding 0.5 first would round this up.
        {0.49999999999999994, 0},
        {2147483646.5, 2147483647.0},
        // Kept in double: beyond int32 nothing wraps before the range check.
        {1e12 + 0.5, 1e12 + 1.0},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(geometry::roundHalfUp(c.x), c.rounded) << c.x;
    }
}

struct SizeCase {
    const char* name;
    SymbolShape shape;
    double xDimension;
    std::int32_t resolutionH;
    std::int32_t resolutionV;
    std::int32_t inputUnit;
    std::int32_t outputUnit;
    Status status;
    double width;
    double height;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const SizeCase& c) { return out << c.name; }

class ImageSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ImageSize, Computed) {
    const SizeCase& c = GetParam();
    double width = -1.0;
    double height = -1.0;
    EXPECT_EQ(geometry::computeImageSize(c.shape, c.xDimension, c.resolutionH, c.resolutionV,
                                         c.inputUnit, c.outputUnit, width, height),
              c.status);
    EXPECT_NEAR(width, c.width, 1e-9);
    EXPECT_NEAR(height, c.height, 1e-9);
}

const SizeCase kSizeCases[] = {
    {"WorkedExample", shape(), 2.0, 1, 1, kPx, kPx, 0, 214, 48},
    {"Turned90", shape(90), 2.0, 1, 1, kPx, kPx, 0, 48, 214},
    {"Turned270", shape(270), 2.0, 1, 1, kPx, kPx, 0, 48, 214},
    {"HalfTurnStaysUpright", shape(180), 2.0, 1, 1, kPx, kPx, 0, 214, 48},
    {"NoQuietZone", shape(0, false), 2.0, 1, 1, kPx, kPx, 0, 206, 40},
    {"Compact", shape(0, true, 4.0, true), 2.0, 1, 1, kPx, kPx, 0, 146, 48},
    {"HalfRoundsUp", shape(), 2.5, 1, 1, kPx, kPx, 0, 321, 72},
    {"BelowHalfRoundsDown", shape(), 2.49, 1, 1, kPx, kPx, 0, 214, 48},
    {"SmallestModule", shape(), 0.5, 1, 1, kPx, kPx, 0, 107, 24},
    {"ModuleRoundsToZero", shape(), 0.4, 1, 1, kPx, kPx, 1, 0, 0},
    {"NegativeModule", shape(), -2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"RatioZeroMeansThree", shape(0, true, 0.0), 2.0, 1, 1, kPx, kPx, 0, 214, 38},
    {"RatioHalf", shape(0, true, 0.5), 2.0, 1, 1, kPx, kPx, 0, 214, 13},
    // A row below one pixel would leave an image with no visible symbol.
    {"RowBelowOnePixel", shape(0, true, 0.1), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"RowBelowOnePixelNoQuietZone", shape(0, false, 0.1), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"NegativeRatio", shape(0, true, -4.0), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"NaNRatio", shape(0, true, kNaN), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"InfiniteRatio", shape(0, true, kInf), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    // Sizes beyond int32 pixels are refused instead of overflowing.
    {"HugeModule", shape(), 1e12, 1, 1, kPx, kPx, 1, 0, 0},
    {"InfiniteModule", shape(), kInf, 1, 1, kPx, kPx, 1, 0, 0},
    {"NaNModule", shape(), kNaN, 1, 1, kPx, kPx, 1, 0, 0},
    {"HugeRatio", shape(0, true, 1e12), 2.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"RowHeightJustTooTall", shape(0, false, 2147483648.0), 1.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"RowsTooTallTogether", shape(0, false, 3e7, false, 2, 90), 1.0, 1, 1, kPx, kPx, 1, 0, 0},
    // 107 x 20069940 = 2147483580 is the widest image that still fits.
    {"WidestThatFits", shape(), 20069940.0, 1, 1, kPx, kPx, 0, 2147483580.0, 481678560.0},
    {"OnePixelWider", shape(), 20069941.0, 1, 1, kPx, kPx, 1, 0, 0},
    {"TurnedTallestThatFits", shape(90), 20069940.0, 1, 1, kPx, kPx, 0, 481678560.0, 2147483580.0},
    // Physical units: 10 mils at 300 dpi is a 3-pixel module.
    {"ThousandthsOfInch", shape(), 10.0, 300, 300, 0, 0, 0, 1070, 240},
    {"Inches", shape(), 0.01, 200, 200, 1, 1, 0, 1.07, 0.24},
    {"Millimetres", shape(), 0.254, 200, 200, 2, 2, 0, 27.178, 6.096},
    {"MillimetresToPixels", shape(), 0.254, 200, 200, 2, kPx, 0, 214, 48},
    {"PixelsToInches", shape(), 2.0, 100, 100, kPx, 1, 0, 2.14, 0.48},
    {"PixelsIgnoreResolution", shape(), 2.0, 7, 7, kPx, kPx, 0, 214, 48},
    {"UnknownInputUnit", shape(), 2.0, 1, 1, 4, kPx, 1, 0, 0},
    {"NegativeInputUnit", shape(), 2.0, 1, 1, -1, kPx, 1, 0, 0},
    {"UnknownOutputUnit", shape(), 2.0, 1, 1, kPx, 4, 1, 0, 0},
    {"ZeroResolutionH", shape(), 2.0, 0, 1, kPx, kPx, 1, 0, 0},
    {"ZeroResolutionV", shape(), 2.0, 1, 0, kPx, kPx, 1, 0, 0},
    {"NegativeResolution", shape(), 2.0, -1, -1, kPx, kPx, 1, 0, 0},
    // Rows twice as dense across: row height and the quiet zone across
    // double, in whichever direction the rows run.
    {"UnequalResolutions", shape(), 2.0, 100, 200, kPx, kPx, 0, 214, 96},
    {"UnequalResolutionsTurned", shape(90), 2.0, 200, 100, kPx, kPx, 0, 96, 214},
};

INSTANTIATE_TEST_SUITE_P(Cases, ImageSize, testing::ValuesIn(kSizeCases),
                         [](const testing::TestParamInfo<SizeCase>& info) {
                             return info.param.name;
                         });

struct FitCase {
    const char* name;
    SymbolShape shape;
    Rect image;
    Status status;
    std::int32_t moduleWidth = 0;  // checked only with status 0
    std::int32_t rowHeight = 0;
    Rect area = {};
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const FitCase& c) { return out << c.name; }

class Fitting : public testing::TestWithParam<FitCase> {};

TEST_P(Fitting, Fitted) {
    const FitCase& c = GetParam();
    geometry::Fit fit;
    EXPECT_EQ(geometry::fitToImage(c.shape, c.image, fit), c.status);
    if (c.status != 0) {
        return;
    }
    EXPECT_EQ(fit.moduleWidth, c.moduleWidth);
    EXPECT_EQ(fit.rowHeight, c.rowHeight);
    EXPECT_EQ(fit.area.left, c.area.left);
    EXPECT_EQ(fit.area.right, c.area.right);
    EXPECT_EQ(fit.area.top, c.area.top);
    EXPECT_EQ(fit.area.bottom, c.area.bottom);
}

const FitCase kFitCases[] = {
    {"WorkedExample", shape(), {0, 214, 0, 48}, 0, 2, 8, {4, 210, 4, 44}},
    {"Turned90", shape(90), {0, 48, 0, 214}, 0, 2, 8, {4, 44, 4, 210}},
    {"Turned270", shape(270), {0, 48, 0, 214}, 0, 2, 8, {4, 44, 4, 210}},
    {"Into200x100", shape(), {0, 200, 0, 100}, 0, 1, 4, {2, 198, 2, 98}},
    {"NoQuietZone", shape(0, false), {0, 206, 0, 40}, 0, 2, 8, {0, 206, 0, 40}},
    {"Compact", shape(0, true, 4.0, true), {0, 200, 0, 100}, 0, 2, 8, {4, 196, 4, 96}},
    {"OffsetRectangle", shape(), {10, 224, 20, 68}, 0, 2, 8, {14, 220, 24, 64}},
    {"ThirtyColumnsIn500Wide", shape(0, true, 4.0, false, 30, 3), {0, 500, 0, 600}, 14},
    {"ThirtyColumnsTurnedUsesHeight",
     shape(90, true, 4.0, false, 30, 3),
     {0, 500, 0, 600},
     0,
     1,
     4,
     {2, 498, 2, 598}},
    {"NinetyRowsIn363", shape(0, true, 4.0, false, 2, 90), {0, 200, 0, 363}, 15},
    {"NinetyRowsIn364",
     shape(0, true, 4.0, false, 2, 90),
     {0, 200, 0, 364},
     0,
     1,
     4,
     {2, 198, 2, 362}},
    {"ColumnsZero", shape(0, true, 4.0, false, 0, 5), {0, 214, 0, 48}, 8},
    {"ColumnsAbove30", shape(0, true, 4.0, false, 31, 5), {0, 9000, 0, 48}, 8},
    {"RowsBelow3", shape(0, true, 4.0, false, 2, 2), {0, 214, 0, 48}, 9},
    {"RowsAbove90", shape(0, true, 4.0, false, 2, 91), {0, 214, 0, 9000}, 9},
    {"ColumnsCheckedBeforeRows", shape(0, true, 4.0, false, 0, 0), {0, 214, 0, 48}, 8},
    {"NotOnePixelModule", shape(), {0, 106, 0, 48}, 14},
    {"ReversedRectangle", shape(), {214, 0, 0, 48}, 14},
    // Ratio 0 stretches the rows over the height.
    {"RatioZeroStretches", shape(0, true, 0.0), {0, 200, 0, 100}, 0, 1, 19, {2, 198, 2, 98}},
    {"RatioZeroTooLittleRoom", shape(0, true, 0.0), {0, 200, 0, 8}, 15},
    {"RatioZeroNoRoom", shape(0, true, 0.0), {0, 200, 0, 3}, 15},
    // A row below one pixel draws no visible symbol.
    {"RowBelowOnePixel", shape(0, true, 0.1), {0, 214, 0, 48}, 15},
    {"NegativeRatio", shape(0, true, -4.0), {0, 214, 0, 48}, 15},
    {"NaNRatio", shape(0, true, kNaN), {0, 214, 0, 48}, 15},
    {"InfiniteRatio", shape(0, true, kInf), {0, 214, 0, 48}, 15},
    {"RowTallerThanInt32", shape(0, true, 1e12), {0, 214, 0, kInt32Max}, 15},
    {"TooShort", shape(), {0, 214, 0, 47}, 15},
    {"LargestRectangle",
     shape(),
     {0, kInt32Max, 0, kInt32Max},
     0,
     20069940,
     80279760,
     {40139880, kInt32Max - 40139880, 40139880, kInt32Max - 40139880}},
    // Wider than int32 pixels: only int32 pixels of it are used.
    {"WiderThanInt32",
     shape(),
     {kInt32Min, kInt32Max, 0, kInt32Max},
     0,
     20069940,
     80279760,
     {kInt32Min + 40139880, kInt32Max - 40139880, 40139880, kInt32Max - 40139880}},
};

INSTANTIATE_TEST_SUITE_P(Cases, Fitting, testing::ValuesIn(kFitCases),
                         [](const testing::TestParamInfo<FitCase>& info) {
                             return info.param.name;
                         });

// An image sized for a module width fits back with that module width, the
// same row height and no spare pixels, in every orientation and form.
TEST(SymbolGeometry, SizedImageFitsExactly) {
    const std::int32_t kOrientations[] = {0, 90, 180, 270};
    const double kRatios[] = {4.0, 0.5, 2.7, 0.0};
    const double kModules[] = {1.0, 2.0, 3.4, 7.5};
    const std::int32_t kColumns[] = {1, 5, 30};
    const std::int32_t kRows[] = {3, 17, 90};
    for (std::int32_t orientation : kOrientations) {
        for (bool quietZone : {true, false}) {
            for (bool compact : {true, false}) {
                for (double ratio : kRatios) {
                    for (double module : kModules) {
                        for (std::int32_t columns : kColumns) {
                            for (std::int32_t rows : kRows) {
                                const SymbolShape s =
                                    shape(orientation, quietZone, ratio, compact, columns, rows);
                                const auto m =
                                    static_cast<std::int32_t>(geometry::roundHalfUp(module));
                                const std::int32_t h =
                                    static_cast<std::int32_t>(m * (ratio == 0.0 ? 3.0 : ratio));
                                double width = 0;
                                double height = 0;
                                const Status sized = geometry::computeImageSize(
                                    s, module, 1, 1, kPx, kPx, width, height);
                                if (h < 1) {
                                    EXPECT_EQ(sized, 1);
                                    continue;
                                }
                                ASSERT_EQ(sized, 0);
                                const Rect image{0, static_cast<std::int32_t>(width), 0,
                                                 static_cast<std::int32_t>(height)};
                                geometry::Fit fit;
                                ASSERT_EQ(geometry::fitToImage(s, image, fit), 0);
                                EXPECT_EQ(fit.moduleWidth, m);
                                EXPECT_EQ(fit.rowHeight, h);
                                const geometry::Extent extent = geometry::symbolExtent(s, m, h);
                                EXPECT_EQ(fit.area.right - fit.area.left, extent.width);
                                EXPECT_EQ(fit.area.bottom - fit.area.top, extent.height);
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace barwright
