// An encoded symbol drawn by the encoder: the worked symbol (c = 2, r = 5,
// m = 2, h = 8) pixel by pixel in every orientation, colours, the
// background repaint, and failures that leave the image untouched.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "encoder/Pdf417Encoder.h"
#include "render/RgbImage.h"

namespace barwright {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

struct Look {
    std::int32_t orientation = 0;
    bool compact = false;
    std::uint32_t background = kWhite;
    std::uint32_t foreground = kBlack;
    std::int32_t columns = 2;
    std::int32_t rows = 5;
};

// "1234567" at level 0 fits 2 columns and 5 rows.
std::unique_ptr<Pdf417Encoder> encoderFor(const Look& look) {
    auto encoder = std::make_unique<Pdf417Encoder>();
    EXPECT_EQ(encoder->setDeferred(true), 0);
    EXPECT_EQ(encoder->setErrorCorrectionLevel(0), 0);
    EXPECT_EQ(encoder->setColumns(look.columns), 0);
    EXPECT_EQ(encoder->setRows(look.rows), 0);
    EXPECT_EQ(encoder->setCompact(look.compact), 0);
    EXPECT_EQ(encoder->setOrientation(look.orientation), 0);
    EXPECT_EQ(encoder->setBackgroundColor(look.background), 0);
    EXPECT_EQ(encoder->setForegroundColor(look.foreground), 0);
    EXPECT_EQ(encoder->setDeferred(false), 0);
    return encoder;
}

std::unique_ptr<RgbImage> sizedImage(const Pdf417Encoder& encoder, double moduleWidth = 2.0) {
    double width = 0;
    double height = 0;
    EXPECT_EQ(encoder.computeImageSize(moduleWidth, 1, 1, 3, 3, width, height), 0);
    auto image = std::make_unique<RgbImage>(static_cast<std::int32_t>(width),
                                            static_cast<std::int32_t>(height), kWhite,
                                            RgbImage::kDefaultCompression);
    EXPECT_TRUE(image->allocateRows());
    return image;
}

Rect whole(const RgbImage& image) { return Rect{0, image.width(), 0, image.height()}; }

std::vector<std::uint8_t> bytesOf(const RgbImage& image) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        bytes.insert(bytes.end(), image.rows()[y], image.rows()[y] + 3 * image.width());
    }
    return bytes;
}

// The worked symbol's upright picture, built from the listed rectangles of
// its start and stop patterns and the matrix's element widths, true where
// a bar is.
std::vector<std::vector<bool>> expectedUpright(const Pdf417Encoder& encoder, bool compact) {
    const std::int32_t width = compact ? 146 : 214;
    std::vector<std::vector<bool>> bars(48, std::vector<bool>(width, false));
    const auto fill = [&](std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h) {
        for (std::int32_t y = top; y < top + h; ++y) {
            for (std::int32_t x = left; x < left + w; ++x) bars[y][x] = true;
        }
    };
    for (const auto& r : {std::vector<std::int32_t>{4, 16}, {22, 2}, {26, 2}, {30, 2}}) {
        fill(r[0], 4, r[1], 40);
    }
    if (compact) {
        fill(140, 4, 2, 40);
    } else {
        for (const auto& r :
             {std::vector<std::int32_t>{174, 14}, {190, 2}, {198, 2}, {202, 2}, {208, 2}}) {
            fill(r[0], 4, r[1], 40);
        }
    }
    const CodewordMatrix& matrix = encoder.matrix();
    EXPECT_EQ(matrix.rowCount(), 5);
    for (std::int32_t i = 0; i < matrix.rowCount(); ++i) {
        std::int32_t x = 38;
        for (std::int32_t j = 0; j < matrix.rowStride(); ++j) {
            const std::int32_t w = 2 * matrix.rowData(i)[j];
            if (j % 2 == 0) fill(x, 4 + 8 * i, w, 8);
            x += w;
        }
        EXPECT_EQ(x, compact ? 140 : 174) << "row " << i;
    }
    return bars;
}

bool isColor(const RgbImage& image, std::int32_t x, std::int32_t y, std::uint32_t color) {
    const std::uint8_t* p = image.rows()[y] + 3 * x;
    return p[0] == (color & 0xFF) && p[1] == ((color >> 8) & 0xFF) &&
           p[2] == ((color >> 16) & 0xFF);
}

struct OrientationCase {
    const char* name;
    std::int32_t orientation;
    bool compact;
};

class DrawnSymbol : public testing::TestWithParam<OrientationCase> {};

// Every pixel of the worked symbol, turned as the orientation says: 90
// counter-clockwise, 180, 270 clockwise.
TEST_P(DrawnSymbol, PixelExactInEveryOrientation) {
    const OrientationCase& c = GetParam();
    Look look;
    look.orientation = c.orientation;
    look.compact = c.compact;
    const auto encoder = encoderFor(look);
    ASSERT_EQ(encoder->columns(), 2);
    ASSERT_EQ(encoder->rows(), 5);
    const auto image = sizedImage(*encoder);
    ASSERT_EQ(encoder->draw(*image, whole(*image)), 0);

    const auto upright = expectedUpright(*encoder, c.compact);
    const std::int32_t w = static_cast<std::int32_t>(upright[0].size());
    const std::int32_t h = static_cast<std::int32_t>(upright.size());
    const bool turned = c.orientation == 90 || c.orientation == 270;
    ASSERT_EQ(image->width(), turned ? h : w);
    ASSERT_EQ(image->height(), turned ? w : h);
    int mismatches = 0;
    for (std::int32_t v = 0; v < h; ++v) {
        for (std::int32_t u = 0; u < w; ++u) {
            std::int32_t x = u;
            std::int32_t y = v;
            switch (c.orientation) {
                case 90:
                    x = v, y = w - 1 - u;
                    break;
                case 180:
                    x = w - 1 - u, y = h - 1 - v;
                    break;
                case 270:
                    x = h - 1 - v, y = u;
                    break;
                default:
                    break;
            }
            const bool ok = isColor(*image, x, y, upright[v][u] ? kBlack : kWhite);
            mismatches += ok ? 0 : 1;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Orientations, DrawnSymbol,
                         testing::Values(OrientationCase{"Upright", 0, false},
                                         OrientationCase{"Quarter", 90, false},
                                         OrientationCase{"Half", 180, false},
                                         OrientationCase{"ThreeQuarters", 270, false},
                                         OrientationCase{"CompactUpright", 0, true},
                                         OrientationCase{"CompactQuarter", 90, true},
                                         OrientationCase{"CompactHalf", 180, true},
                                         OrientationCase{"CompactThreeQuarters", 270, true}),
                         [](const testing::TestParamInfo<OrientationCase>& info) {
                             return info.param.name;
                         });

TEST(DrawnSymbolColors, BackgroundAndBarsInTheirByteOrder) {
    Look look;
    look.background = 0x0000FF;  // red
    look.foreground = 0x563412;  // bytes 12 34 56
    const auto encoder = encoderFor(look);
    const auto image = sizedImage(*encoder);
    ASSERT_EQ(encoder->draw(*image, whole(*image)), 0);
    EXPECT_TRUE(isColor(*image, 0, 0, 0x0000FF));
    EXPECT_TRUE(isColor(*image, 213, 47, 0x0000FF));
    EXPECT_EQ(image->rows()[0][0], 0xFF);
    EXPECT_EQ(image->rows()[0][1], 0x00);
    // Inside the start bar, and the space that ends the start pattern.
    EXPECT_EQ(image->rows()[10][3 * 5 + 0], 0x12);
    EXPECT_EQ(image->rows()[10][3 * 5 + 1], 0x34);
    EXPECT_EQ(image->rows()[10][3 * 5 + 2], 0x56);
    EXPECT_TRUE(isColor(*image, 36, 10, 0x0000FF));
}

TEST(DrawnSymbolColors, WhiteBackgroundRepaintsNothing) {
    const auto encoder = encoderFor(Look{});
    const auto image = sizedImage(*encoder);
    image->fillRect(0, 0, image->width(), image->height(), 0x808080);
    ASSERT_EQ(encoder->draw(*image, whole(*image)), 0);
    // The quiet zone keeps what was there; only bars were painted.
    EXPECT_TRUE(isColor(*image, 0, 0, 0x808080));
    EXPECT_TRUE(isColor(*image, 36, 10, 0x808080));
    EXPECT_TRUE(isColor(*image, 5, 10, kBlack));
}

TEST(DrawnSymbolColors, OtherBackgroundRepaintsTheWholeRectangle) {
    Look look;
    look.background = 0x00FF00;
    const auto encoder = encoderFor(look);
    const auto image = sizedImage(*encoder);
    image->fillRect(0, 0, image->width(), image->height(), 0x808080);
    ASSERT_EQ(encoder->draw(*image, whole(*image)), 0);
    EXPECT_TRUE(isColor(*image, 0, 0, 0x00FF00));
    EXPECT_TRUE(isColor(*image, 213, 47, 0x00FF00));
    EXPECT_TRUE(isColor(*image, 36, 10, 0x00FF00));
}

// The symbol in a rectangle inside a larger image: the background covers
// that rectangle, not the image's corner.
TEST(DrawnSymbolColors, BackgroundFollowsAnOffsetRectangle) {
    Look look;
    look.background = 0x00FF00;
    const auto encoder = encoderFor(look);
    RgbImage image(300, 100, kWhite, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    ASSERT_EQ(encoder->draw(image, Rect{50, 264, 30, 78}), 0);
    EXPECT_TRUE(isColor(image, 49, 29, kWhite));
    EXPECT_TRUE(isColor(image, 50, 30, 0x00FF00));
    EXPECT_TRUE(isColor(image, 263, 77, 0x00FF00));
    EXPECT_TRUE(isColor(image, 264, 78, kWhite));
    EXPECT_TRUE(isColor(image, 54, 34, kBlack));
}

struct FailureCase {
    const char* name;
    std::int32_t columns;
    std::int32_t width;
    std::int32_t height;
    Rect rect;
    bool allocate;
    Status status;
};

class DrawnSymbolFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(DrawnSymbolFailure, LeavesTheImageAsAllocated) {
    const FailureCase& c = GetParam();
    auto encoder = std::make_unique<Pdf417Encoder>();
    ASSERT_EQ(encoder->setDeferred(true), 0);
    ASSERT_EQ(encoder->setErrorCorrectionLevel(0), 0);
    ASSERT_EQ(encoder->setColumns(c.columns), 0);
    ASSERT_EQ(encoder->setRows(5), 0);
    ASSERT_EQ(encoder->setBackgroundColor(0x0000FF), 0);
    (void)encoder->setDeferred(false);
    RgbImage image(c.width, c.height, kWhite, RgbImage::kDefaultCompression);
    if (c.allocate) {
        ASSERT_TRUE(image.allocateRows());
    }
    const std::vector<std::uint8_t> before =
        c.allocate ? bytesOf(image) : std::vector<std::uint8_t>{};
    EXPECT_EQ(encoder->draw(image, c.rect), c.status);
    if (c.allocate) {
        EXPECT_EQ(bytesOf(image), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DrawnSymbolFailure,
    testing::Values(
        // 107 modules across a 106-pixel image.
        FailureCase{"ModuleBelowOnePixel", 2, 106, 48, {0, 106, 0, 48}, true, 14},
        FailureCase{"RowsDoNotFit", 2, 214, 47, {0, 214, 0, 47}, true, 15},
        // A failed encode wins over a fit that would have worked.
        FailureCase{"EncodeFailed", 31, 214, 48, {0, 214, 0, 48}, true, 8},
        // Painting does not clip, so a rectangle outside the image is refused.
        FailureCase{"RectangleBeyondImage", 2, 214, 48, {0, 215, 0, 48}, true, 1},
        FailureCase{"RectangleBeforeImage", 2, 214, 48, {-1, 214, 0, 48}, true, 1},
        FailureCase{"RowsNotAllocated", 2, 214, 48, {0, 214, 0, 48}, false, 1}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// Whatever the shape, an image sized for a module width holds the symbol
// with exactly 2m clear pixels on every side.
TEST(DrawnSymbolSizing, SizedImageShowsQuietZoneOnEverySide) {
    for (std::int32_t orientation : {0, 90, 180, 270}) {
        for (bool compact : {false, true}) {
            for (double module : {1.0, 3.0}) {
                Look look;
                look.orientation = orientation;
                look.compact = compact;
                const auto encoder = encoderFor(look);
                const auto image = sizedImage(*encoder, module);
                ASSERT_EQ(encoder->draw(*image, whole(*image)), 0);
                const auto zone = static_cast<std::int32_t>(2 * module);
                const std::int32_t w = image->width();
                const std::int32_t h = image->height();
                int darkInZone = 0;
                for (std::int32_t y = 0; y < h; ++y) {
                    for (std::int32_t x = 0; x < w; ++x) {
                        const bool inZone = x < zone || y < zone || x >= w - zone || y >= h - zone;
                        darkInZone += inZone && !isColor(*image, x, y, kWhite);
                    }
                }
                EXPECT_EQ(darkInZone, 0) << orientation << " " << compact << " " << module;
                // Start or stop bars touch the zone's inner corners.
                EXPECT_TRUE(isColor(*image, zone, zone, kBlack));
                EXPECT_TRUE(isColor(*image, w - zone - 1, h - zone - 1, kBlack));
            }
        }
    }
}

}  // namespace
}  // namespace barwright
