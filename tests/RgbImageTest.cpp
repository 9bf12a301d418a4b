// The raster: the fill it starts from, the byte order of colours, fills
// that touch exactly their span, and sizes refused before anything is
// allocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

#include "barwright/RgbImage.h"

namespace barwright {
namespace {

RgbImage whiteImage(std::int32_t width, std::int32_t height) {
    RgbImage image;
    EXPECT_EQ(image.create(width, height, kWhite), status::kOk);
    return image;
}

// Grey fills (white included) take another path than other colours; both
// cover every pixel, and a second create replaces the first image.
TEST(RgbImage, CreateFillsEveryPixel) {
    const struct {
        Color fill;
        std::uint8_t bytes[3];
    } cases[] = {{kWhite, {0xFF, 0xFF, 0xFF}},
                 {0x808080, {0x80, 0x80, 0x80}},
                 {0x123456, {0x12, 0x34, 0x56}},
                 {0xAB123456, {0x12, 0x34, 0x56}}};
    RgbImage image;
    ASSERT_EQ(image.create(4, 3, kBlack), status::kOk);
    for (const auto& c : cases) {
        ASSERT_EQ(image.create(7, 5, c.fill), status::kOk);
        EXPECT_EQ(image.width(), 7);
        EXPECT_EQ(image.height(), 5);
        std::vector<std::uint8_t> expected;
        for (int i = 0; i < 7 * 5; ++i) expected.insert(expected.end(), c.bytes, c.bytes + 3);
        EXPECT_EQ(image.pixels(), expected) << "fill " << std::hex << c.fill;
    }
}

struct PixelCase {
    const char* name;
    Color color;
    std::uint8_t bytes[3];  // red, green, blue as stored
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const PixelCase& c) { return out << c.name; }

class RgbImageColor : public testing::TestWithParam<PixelCase> {};

// Colours are 0xRRGGBB, as on the command line; the raster stores red first.
TEST_P(RgbImageColor, StoresRedGreenBlue) {
    const PixelCase& c = GetParam();
    RgbImage image = whiteImage(3, 2);
    image.fillRect(1, 1, 2, 1, c.color);
    for (int x = 1; x < 3; ++x) {
        const std::uint8_t* pixel = image.row(1) + 3 * x;
        EXPECT_EQ(pixel[0], c.bytes[0]) << "x " << x;
        EXPECT_EQ(pixel[1], c.bytes[1]) << "x " << x;
        EXPECT_EQ(pixel[2], c.bytes[2]) << "x " << x;
    }
    // Row 0 and pixel (0, 1) stay white.
    for (int i = 0; i < 9; ++i) EXPECT_EQ(image.row(0)[i], 0xFF);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(image.row(1)[i], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Colors, RgbImageColor,
    testing::Values(PixelCase{"Red", 0xFF0000, {0xFF, 0x00, 0x00}},
                    PixelCase{"Green", 0x00FF00, {0x00, 0xFF, 0x00}},
                    PixelCase{"Blue", 0x0000FF, {0x00, 0x00, 0xFF}},
                    PixelCase{"Mixed", 0x123456, {0x12, 0x34, 0x56}},
                    PixelCase{"TopByteIgnored", 0xAB123456, {0x12, 0x34, 0x56}},
                    PixelCase{"Black", 0x000000, {0x00, 0x00, 0x00}},
                    PixelCase{"Grey", 0x808080, {0x80, 0x80, 0x80}},
                    PixelCase{"GreyTopByteIgnored", 0xFF404040, {0x40, 0x40, 0x40}}),
    [](const testing::TestParamInfo<PixelCase>& info) { return info.param.name; });

struct SpanCase {
    const char* name;
    Color color;
    std::int32_t x, y, w, h;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const SpanCase& c) { return out << c.name; }

class RgbImageSpan : public testing::TestWithParam<SpanCase> {};

// Both the block-fill and the per-pixel path change exactly the rectangle's
// bytes: nothing before, after, above or below it.
TEST_P(RgbImageSpan, TouchesExactlyTheRectangle) {
    const SpanCase& c = GetParam();
    const std::int32_t width = 9;
    const std::int32_t height = 6;
    RgbImage image = whiteImage(width, height);
    image.fillRect(c.x, c.y, c.w, c.h, c.color);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h;
            for (int channel = 0; channel < 3; ++channel) {
                const std::uint8_t expected =
                    inside ? static_cast<std::uint8_t>(c.color >> (16 - 8 * channel)) : 0xFF;
                const std::uint8_t actual = image.row(y)[3 * x + channel];
                EXPECT_EQ(actual, expected) << "x " << x << " y " << y << " channel " << channel;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spans, RgbImageSpan,
    testing::Values(SpanCase{"GreyThreeWide", 0x808080, 2, 1, 3, 2},
                    SpanCase{"GreyOneWide", 0x808080, 4, 0, 1, 6},
                    SpanCase{"GreyFullRow", 0x000000, 0, 5, 9, 1},
                    // Spans of 3w bytes that are not a multiple of 4 exercise the tail.
                    SpanCase{"GreySevenWide", 0x101010, 1, 2, 7, 3},
                    SpanCase{"ColorThreeWide", 0x123456, 2, 1, 3, 2},
                    SpanCase{"ColorLastPixel", 0xFF0000, 8, 5, 1, 1},
                    SpanCase{"WidthZero", 0x000000, 3, 3, 0, 2},
                    SpanCase{"HeightZero", 0x123456, 3, 3, 2, 0},
                    SpanCase{"WidthNegative", 0x000000, 3, 3, -2, 2},
                    SpanCase{"HeightNegative", 0x123456, 3, 3, 2, -1}),
    [](const testing::TestParamInfo<SpanCase>& info) { return info.param.name; });

// Grey spans are stored in words of 4, 8 or 16 bytes that may overlap at
// the end, or by memset when long; every length from 3 to 120 bytes at
// every byte offset within a pixel must still hit exactly its span.
TEST(RgbImage, GreySpansOfEveryLengthTouchOnlyTheirBytes) {
    const std::int32_t width = 45;
    for (std::int32_t w = 1; w <= 40; ++w) {
        for (std::int32_t x = 0; x < 3; ++x) {
            RgbImage image = whiteImage(width, 3);
            image.fillRect(x, 1, w, 1, 0x202020);
            std::vector<std::uint8_t> expected(3 * width * 3, 0xFF);
            std::fill_n(expected.begin() + 3 * width + 3 * x, 3 * w, 0x20);
            ASSERT_EQ(image.pixels(), expected) << "x " << x << " w " << w;
        }
    }
}

struct SizeCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const SizeCase& c) { return out << c.name; }

class RgbImageRefusedSize : public testing::TestWithParam<SizeCase> {};

// Refused before allocation: these would either be no image at all, exceed
// libpng's limit, or overcommit gigabytes that are only found missing while
// painting. The image that was there is gone too.
TEST_P(RgbImageRefusedSize, RefusedWithoutAllocating) {
    const SizeCase& c = GetParam();
    RgbImage image = whiteImage(2, 2);
    EXPECT_EQ(image.create(c.width, c.height, kWhite), status::kCantAllocateImage);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.height(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RgbImageRefusedSize,
    testing::Values(SizeCase{"ZeroWidth", 0, 10}, SizeCase{"ZeroHeight", 10, 0},
                    SizeCase{"NegativeWidth", -1, 10}, SizeCase{"NegativeHeight", 10, -5},
                    SizeCase{"WidthAboveLimit", RgbImage::kMaxDimension + 1, 1},
                    SizeCase{"HeightAboveLimit", 1, RgbImage::kMaxDimension + 1},
                    SizeCase{"Int32Max", 2147483647, 2147483647},
                    // 20000 x 17900 x 3 bytes is just above 2^30.
                    SizeCase{"PixelBytesAboveLimit", 20000, 17900},
                    SizeCase{"BothAtLimit", RgbImage::kMaxDimension, RgbImage::kMaxDimension}),
    [](const testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

TEST(RgbImage, LargestSizesWithinTheLimitsAreAccepted) {
    // A single row or column at the dimension limit is well within the byte
    // limit.
    RgbImage wide;
    EXPECT_EQ(wide.create(RgbImage::kMaxDimension, 1, kWhite), status::kOk);
    RgbImage tall;
    EXPECT_EQ(tall.create(1, RgbImage::kMaxDimension, kWhite), status::kOk);
    EXPECT_EQ(tall.row(RgbImage::kMaxDimension - 1)[2], 0xFF);
}

}  // namespace
}  // namespace barwright
