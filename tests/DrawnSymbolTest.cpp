// An encoded symbol drawn into a raster: the worked symbol (c = 2, r = 5,
// m = 2, h = 8) pixel by pixel in every orientation, colours, the
// background over the drawing area, and the quiet zone of a sized image.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "barwright/Encoder.h"
#include "barwright/RgbRenderer.h"

namespace barwright {
namespace {

// "1234567" at level 0 fits 2 columns and 5 rows.
EncodedSymbol workedSymbol(bool compact) {
    SymbolSettings settings;
    settings.errorCorrectionLevel = 0;
    settings.columns = 2;
    settings.rows = 5;
    settings.compact = compact;
    EncodedSymbol symbol;
    EXPECT_EQ(encode(settings, symbol), status::kOk);
    return symbol;
}

RgbImage rendered(const EncodedSymbol& symbol, const PictureSettings& picture) {
    RgbImage image;
    EXPECT_EQ(renderRgb(symbol, picture, image), status::kOk);
    return image;
}

// The worked symbol's upright picture, built from the listed rectangles of
// its start and stop patterns and the matrix's element widths, true where
// a bar is.
std::vector<std::vector<bool>> expectedUpright(const EncodedSymbol& symbol) {
    const bool compact = symbol.compact;
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
    const SymbolMatrix& matrix = symbol.matrix;
    EXPECT_EQ(matrix.rowCount, 5);
    for (std::int32_t i = 0; i < matrix.rowCount; ++i) {
        std::int32_t x = 38;
        for (std::int32_t j = 0; j < matrix.elementsPerRow; ++j) {
            const std::int32_t w = 2 * matrix.width(i, j);
            if (j % 2 == 0) fill(x, 4 + 8 * i, w, 8);
            x += w;
        }
        EXPECT_EQ(x, compact ? 140 : 174) << "row " << i;
    }
    return bars;
}

// Colours are 0xRRGGBB; the raster stores red first.
bool isColor(const RgbImage& image, std::int32_t x, std::int32_t y, Color color) {
    const std::uint8_t* p = image.row(y) + 3 * x;
    return p[0] == ((color >> 16) & 0xFF) && p[1] == ((color >> 8) & 0xFF) &&
           p[2] == (color & 0xFF);
}

struct OrientationCase {
    const char* name;
    std::int32_t orientation;
    bool compact;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const OrientationCase& c) { return out << c.name; }

class DrawnSymbol : public testing::TestWithParam<OrientationCase> {};

// Every pixel of the worked symbol, turned as the orientation says: 90
// counter-clockwise, 180, 270 clockwise.
TEST_P(DrawnSymbol, PixelExactInEveryOrientation) {
    const OrientationCase& c = GetParam();
    const EncodedSymbol symbol = workedSymbol(c.compact);
    ASSERT_EQ(symbol.columns, 2);
    ASSERT_EQ(symbol.rows, 5);
    PictureSettings picture;
    picture.orientation = c.orientation;
    const RgbImage image = rendered(symbol, picture);

    const auto upright = expectedUpright(symbol);
    const std::int32_t w = static_cast<std::int32_t>(upright[0].size());
    const std::int32_t h = static_cast<std::int32_t>(upright.size());
    const bool turned = c.orientation == 90 || c.orientation == 270;
    ASSERT_EQ(image.width(), turned ? h : w);
    ASSERT_EQ(image.height(), turned ? w : h);
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
            const bool ok = isColor(image, x, y, upright[v][u] ? kBlack : kWhite);
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
    PictureSettings picture;
    // Three different bytes in each colour, far enough apart in luma to be
    // drawn at all.
    picture.background = 0xFFEEDD;
    picture.foreground = 0x123456;
    const RgbImage image = rendered(workedSymbol(false), picture);
    EXPECT_EQ(image.row(0)[0], 0xFF);
    EXPECT_EQ(image.row(0)[1], 0xEE);
    EXPECT_EQ(image.row(0)[2], 0xDD);
    EXPECT_TRUE(isColor(image, 213, 47, 0xFFEEDD));
    // Inside the start bar, and the space that ends the start pattern.
    EXPECT_EQ(image.row(10)[3 * 5 + 0], 0x12);
    EXPECT_EQ(image.row(10)[3 * 5 + 1], 0x34);
    EXPECT_EQ(image.row(10)[3 * 5 + 2], 0x56);
    EXPECT_TRUE(isColor(image, 36, 10, 0xFFEEDD));
}

// The symbol in a rectangle inside a larger image: the background, white
// included, covers that rectangle and nothing outside it.
TEST(DrawnSymbolColors, BackgroundCoversTheAreaOnly) {
    RgbImage image;
    ASSERT_EQ(image.create(300, 100, 0x808080), status::kOk);
    ASSERT_EQ(drawSymbol(workedSymbol(false), PictureSettings{}, image, Rect{50, 264, 30, 78}),
              status::kOk);
    EXPECT_TRUE(isColor(image, 49, 29, 0x808080));
    EXPECT_TRUE(isColor(image, 50, 30, kWhite));
    EXPECT_TRUE(isColor(image, 263, 77, kWhite));
    EXPECT_TRUE(isColor(image, 264, 78, 0x808080));
    EXPECT_TRUE(isColor(image, 49, 77, 0x808080));
    EXPECT_TRUE(isColor(image, 54, 34, kBlack));
    EXPECT_TRUE(isColor(image, 50 + 36, 30 + 10, kWhite));
}

// Whatever the shape, an image sized for a module width holds the symbol
// with exactly 2m clear pixels on every side.
TEST(DrawnSymbolSizing, SizedImageShowsQuietZoneOnEverySide) {
    for (std::int32_t orientation : {0, 90, 180, 270}) {
        for (bool compact : {false, true}) {
            for (double module : {1.0, 3.0}) {
                PictureSettings picture;
                picture.orientation = orientation;
                picture.moduleWidth = module;
                const RgbImage image = rendered(workedSymbol(compact), picture);
                const auto zone = static_cast<std::int32_t>(2 * module);
                const std::int32_t w = image.width();
                const std::int32_t h = image.height();
                int darkInZone = 0;
                for (std::int32_t y = 0; y < h; ++y) {
                    for (std::int32_t x = 0; x < w; ++x) {
                        const bool inZone = x < zone || y < zone || x >= w - zone || y >= h - zone;
                        darkInZone += inZone && !isColor(image, x, y, kWhite);
                    }
                }
                EXPECT_EQ(darkInZone, 0) << orientation << " " << compact << " " << module;
                // Start or stop bars touch the zone's inner corners.
                EXPECT_TRUE(isColor(image, zone, zone, kBlack));
                EXPECT_TRUE(isColor(image, w - zone - 1, h - zone - 1, kBlack));
            }
        }
    }
}

}  // namespace
}  // namespace barwright
