// The PNG writer picks libpng's filter for every RGB row itself, without
// libpng's trials. Its files must be the very bytes that libpng's own
// whole-image write gives with its default filters: every image here is also
// written by a plain reference writer at the same fixed time, and the files
// must agree byte for byte. 1-bit rows take Up when they repeat the row
// above and None otherwise; the reference asks libpng for the same, row by
// row.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/BitRenderer.h"
#include "barwright/Encoder.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "support/PngChunks.h"
#include "support/SymbolCase.h"

namespace barwright {
namespace {

using test::bigEndian32;
using test::Chunk;
using test::chunksOf;

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void flushNothing(png_structp) {}
[[noreturn]] void jumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The time both writers put into their files.
constexpr std::time_t kWriteTime = 1700000000;

// The image as libpng gets it: 8-bit RGB, or 1-bit palette with two colours;
// pixels per metre for a pHYs chunk, or 0.
struct ReferenceFormat {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    png_color palette[2] = {};
    png_uint_32 pixelsPerMetre = 0;
};

// libpng left to its defaults: the same header, gamma, time and texts as the
// writer's, and the whole image handed over at once, so that libpng chooses
// every row's filter itself.
bool writeReferenceWithLibpng(png_structp png, png_infop info, const ReferenceFormat& format,
                              png_bytepp rows, std::vector<std::uint8_t>* out) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, format.width, format.height, format.bitDepth, format.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    const bool palette = format.colorType == PNG_COLOR_TYPE_PALETTE;
    if (palette) {
        png_set_PLTE(png, info, format.palette, 2);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_UP);
    }
    png_set_gAMA(png, info, 0.5);
    if (format.pixelsPerMetre != 0) {
        png_set_pHYs(png, info, format.pixelsPerMetre, format.pixelsPerMetre, PNG_RESOLUTION_METER);
    }
    png_time stamp{};
    png_convert_from_time_t(&stamp, kWriteTime);
    png_set_tIME(png, info, &stamp);
    char keys[5][16] = {"Title", "Author", "Description", "Creation Time", "Software"};
    char texts[5][32] = {"Title_Text", "Author_Text", "Description_Text", "", "Software_Text"};
    if (png_convert_to_rfc1123_buffer(texts[3], &stamp) == 0) return false;
    png_text text[5] = {};
    for (int i = 0; i < 5; ++i) {
        text[i].compression = PNG_TEXT_COMPRESSION_NONE;
        text[i].key = keys[i];
        text[i].text = texts[i];
    }
    png_set_text(png, info, text, 5);
    png_write_info(png, info);
    if (palette) {
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        for (png_uint_32 y = 0; y < format.height; ++y) {
            if (y > 0) {
                const bool repeat = std::memcmp(rows[y], rows[y - 1], rowBytes) == 0;
                png_set_filter(png, PNG_FILTER_TYPE_BASE, repeat ? PNG_FILTER_UP : PNG_FILTER_NONE);
            }
            png_write_row(png, rows[y]);
        }
    } else {
        png_write_image(png, rows);
    }
    png_write_end(png, info);
    return true;
}

std::vector<std::uint8_t> referencePng(const ReferenceFormat& format, std::vector<png_bytep> rows) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpOnError, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!writeReferenceWithLibpng(png, info, format, rows.data(), &out)) out.clear();
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<std::uint8_t> referencePng(RgbImage& image) {
    ReferenceFormat format;
    format.width = static_cast<png_uint_32>(image.width());
    format.height = static_cast<png_uint_32>(image.height());
    std::vector<png_bytep> rows;
    for (std::int32_t y = 0; y < image.height(); ++y) rows.push_back(image.row(y));
    return referencePng(format, rows);
}

std::vector<std::uint8_t> readFile(std::FILE* file) {
    std::vector<std::uint8_t> bytes;
    std::rewind(file);
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

// Both sinks of the writer against the reference: the same chunks in the
// same order, byte for byte.
template <typename Image>
void expectSameAsReference(const Image& image, const std::vector<std::uint8_t>& reference,
                           const std::string& name, std::int32_t dpi = 0) {
    SCOPED_TRACE(name);
    const std::vector<Chunk> expected = chunksOf(reference);
    ASSERT_FALSE(expected.empty());

    PngOptions options;
    options.timeGiven = true;
    options.time = kWriteTime;
    options.dpi = dpi;
    std::vector<std::uint8_t> inMemory;
    ASSERT_EQ(writePng(image, options, inMemory), status::kOk);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(writePng(image, options, file), status::kOk);
    const std::vector<std::uint8_t> onDisk = readFile(file);
    std::fclose(file);

    const std::vector<std::uint8_t>* const kWritten[] = {&inMemory, &onDisk};
    for (const std::vector<std::uint8_t>* written : kWritten) {
        const std::vector<Chunk> actual = chunksOf(*written);
        ASSERT_EQ(actual.size(), expected.size()) << (written == &onDisk ? "file" : "memory");
        for (std::size_t i = 0; i < actual.size(); ++i) {
            EXPECT_EQ(actual[i].type, expected[i].type) << "chunk " << i;
            EXPECT_TRUE(actual[i].data == expected[i].data)
                << (written == &onDisk ? "file" : "memory") << ", chunk " << i << " "
                << expected[i].type << " differs";
        }
        EXPECT_TRUE(*written == reference) << (written == &onDisk ? "file" : "memory");
    }
}

using test::SymbolCase;

// Upright symbols repeat every pixel row of a codeword row, turned ones
// the pixel columns of a module; black bars are zero bytes, and colours
// change which rows are all zero.
const SymbolCase kSymbols[] = {
    {"SmallUpright", "1234567", 3, false, 0, 2, 4, true, 0x000000, 0xFFFFFF},
    {"SmallTurned90", "1234567", 3, false, 90, 2, 4, true, 0x000000, 0xFFFFFF},
    {"SmallTurned180", "1234567", 3, false, 180, 2, 4, true, 0x000000, 0xFFFFFF},
    {"SmallTurned270", "1234567", 3, false, 270, 2, 4, true, 0x000000, 0xFFFFFF},
    {"CompactUpright", "Compact symbol, 2 columns", 2, true, 0, 3, 3, true, 0x000000, 0xFFFFFF},
    {"CompactTurned90", "Compact symbol, 2 columns", 2, true, 90, 1, 2, false, 0x000000, 0xFFFFFF},
    {"CompactTurned180", "Compact symbol", 1, true, 180, 2, 5, true, 0x203040, 0xF0E0D0},
    {"CompactTurned270", "Compact symbol", 4, true, 270, 3, 4, true, 0x000000, 0xFFFFFF},
    {"ColouredUpright", "Invoice 2024-0042: 3 x widget @ 19.99 EUR", 6, false, 0, 2, 4, true,
     0x8B0000, 0xE0FFFF},
    {"ColouredTurned90", "Invoice 2024-0042: 3 x widget @ 19.99 EUR", 6, false, 90, 2, 3, true,
     0x00FF00, 0x000000},
    {"ZeroBackgroundTurned180", "0123456789012345678901234567890123456789", 5, false, 180, 1, 3,
     true, 0xFFFFFF, 0x000000},
    {"ColouredTurned270", "Invoice 2024-0042", 4, false, 270, 2, 4, false, 0x123456, 0xFEDCBA},
    {"OnePixelModulesUpright", "ABCDEFGHIJKLMNOP", 8, false, 0, 1, 1, false, 0x000000, 0xFFFFFF},
};

class PngFilterSymbols : public testing::TestWithParam<SymbolCase> {};

TEST_P(PngFilterSymbols, SameBytesAsLibpngAlone) {
    const SymbolCase& c = GetParam();
    const SymbolSettings settings = c.symbol();
    const PictureSettings picture = c.picture();
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    RgbImage image;
    ASSERT_EQ(renderRgb(symbol, picture, image), status::kOk);
    expectSameAsReference(image, referencePng(image), c.name);
}

INSTANTIATE_TEST_SUITE_P(Symbols, PngFilterSymbols, testing::ValuesIn(kSymbols),
                         [](const testing::TestParamInfo<SymbolCase>& info) {
                             return info.param.name;
                         });

// A 1-bit image is a palette PNG, with Up on repeated rows;
// a resolution adds a pHYs chunk wherever libpng puts it, in either kind.
TEST_P(PngFilterSymbols, OneBitAndResolutionSameBytesAsLibpngAlone) {
    const SymbolCase& c = GetParam();
    const SymbolSettings settings = c.symbol();
    const PictureSettings picture = c.picture();
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    BitImage bits;
    ASSERT_EQ(renderBits(symbol, picture, bits), status::kOk);
    // 300 dpi is 11811.02 pixels per metre, 96 dpi 3779.53: rounded both ways.
    for (const std::int32_t dpi : {0, 300, 96}) {
        ReferenceFormat format;
        format.width = static_cast<png_uint_32>(bits.width());
        format.height = static_cast<png_uint_32>(bits.height());
        format.bitDepth = 1;
        format.colorType = PNG_COLOR_TYPE_PALETTE;
        format.palette[0] = {static_cast<png_byte>(c.background >> 16),
                             static_cast<png_byte>(c.background >> 8),
                             static_cast<png_byte>(c.background)};
        format.palette[1] = {static_cast<png_byte>(c.foreground >> 16),
                             static_cast<png_byte>(c.foreground >> 8),
                             static_cast<png_byte>(c.foreground)};
        format.pixelsPerMetre = dpi == 300 ? 11811 : dpi == 96 ? 3780 : 0;
        std::vector<png_bytep> rows;
        for (std::int32_t y = 0; y < bits.height(); ++y) {
            rows.push_back(const_cast<png_bytep>(bits.row(y)));
        }
        expectSameAsReference(bits, referencePng(format, rows),
                              std::string(c.name) + " 1-bit at " + std::to_string(dpi), dpi);
    }
    RgbImage rgb;
    ASSERT_EQ(renderRgb(symbol, picture, rgb), status::kOk);
    ReferenceFormat format;
    format.width = static_cast<png_uint_32>(rgb.width());
    format.height = static_cast<png_uint_32>(rgb.height());
    format.pixelsPerMetre = 11811;
    std::vector<png_bytep> rows;
    for (std::int32_t y = 0; y < rgb.height(); ++y) rows.push_back(rgb.row(y));
    expectSameAsReference(rgb, referencePng(format, rows), std::string(c.name) + " RGB at 300",
                          300);
}

// Paints row y, byte x (0 .. 3 * width - 1) of an image.
using Painter = std::function<std::uint8_t(std::int32_t y, std::int32_t x)>;

struct SyntheticCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    Painter paint;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const SyntheticCase& c) { return out << c.name; }

// Rows drawn from a few patterns so that repeats, near-repeats and zero
// rows follow each other in many orders.
std::uint8_t patternByte(std::int32_t pattern, std::int32_t x) {
    // Bytes just above 0 and just below 256 weigh least in libpng's sums.
    static const std::uint8_t kValues[] = {0, 1, 2, 127, 128, 129, 253, 254, 255};
    std::uint32_t h =
        static_cast<std::uint32_t>(pattern) * 2654435761u ^ static_cast<std::uint32_t>(x) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return pattern == 0 ? 0 : kValues[h % std::size(kValues)];
}

const SyntheticCase kSynthetic[] = {
    {"AllBlack", 40, 30, [](std::int32_t, std::int32_t) -> std::uint8_t { return 0; }},
    {"AllWhite", 40, 30, [](std::int32_t, std::int32_t) -> std::uint8_t { return 255; }},
    {"AllOne", 17, 9, [](std::int32_t, std::int32_t) -> std::uint8_t { return 1; }},
    {"Noise", 61, 43,
     [](std::int32_t y, std::int32_t x) { return patternByte(y * 1000 + 1 + x / 7, x); }},
    {"NoiseRowsRepeatingInRuns", 50, 60,
     [](std::int32_t y, std::int32_t x) { return patternByte(1 + (y / 3) % 5, x); }},
    {"ZeroRowsBetweenRepeats", 33, 40,
     [](std::int32_t y, std::int32_t x) { return patternByte((y % 7 < 3) ? 0 : 1 + y / 14, x); }},
    // Equal to the row two above, never to the one just above.
    {"AlternatingRows", 20, 25,
     [](std::int32_t y, std::int32_t x) { return patternByte(1 + y % 2, x); }},
    // Rows that repeat but for their first or last byte, where libpng
    // prefers None to Up: a writer that compared rows a byte short would
    // pick Up.
    {"RowsDifferingInFirstByte", 30, 20,
     [](std::int32_t y, std::int32_t x) -> std::uint8_t {
         if (x == 0) return y % 2 == 0 ? 100 : 0;
         return x == 89 ? 1 : 0;
     }},
    {"RowsDifferingInLastByte", 30, 20,
     [](std::int32_t y, std::int32_t x) -> std::uint8_t {
         if (x == 89) return y % 2 == 0 ? 100 : 0;
         return x == 0 ? 1 : 0;
     }},
    // Repeated rows whose filtered bytes sum to 1 under None: Up must
    // still win, which holds only because the filter type byte is not
    // counted in libpng's sums.
    {"RepeatedRowsSummingToOne", 20, 12,
     [](std::int32_t, std::int32_t x) -> std::uint8_t { return x == 5 ? 1 : 0; }},
    {"RepeatedRowsSummingToOneFromAbove", 20, 12,
     [](std::int32_t, std::int32_t x) -> std::uint8_t { return x == 0 ? 255 : 0; }},
    // Zero but for one byte: not a zero row, and not a repeat.
    {"NearlyZeroRows", 25, 25,
     [](std::int32_t y, std::int32_t x) -> std::uint8_t { return x == 3 * y ? 1 : 0; }},
    // Repeated rows whose first pixel is zero and the rest constant: Sub's
    // sum is small there but not zero.
    {"ZeroFirstPixelThenConstant", 12, 10,
     [](std::int32_t, std::int32_t x) -> std::uint8_t { return x < 3 ? 0 : 255; }},
    {"OnePixelWide", 1, 50,
     [](std::int32_t y, std::int32_t x) { return patternByte(y / 4 % 3, x); }},
    {"OnePixelWideNoise", 1, 50,
     [](std::int32_t y, std::int32_t x) { return patternByte(1 + y, x); }},
    {"OneRow", 80, 1, [](std::int32_t, std::int32_t x) { return patternByte(5, x); }},
    {"OneZeroRow", 80, 1, [](std::int32_t, std::int32_t) -> std::uint8_t { return 0; }},
    {"OnePixel", 1, 1, [](std::int32_t, std::int32_t) -> std::uint8_t { return 200; }},
    // Long enough that the compressed data spans several IDAT chunks.
    {"LargeRepeating", 700, 300,
     [](std::int32_t y, std::int32_t x) { return patternByte(y / 10 % 4, x / 6); }},
};

class PngFilterSynthetic : public testing::TestWithParam<SyntheticCase> {};

TEST_P(PngFilterSynthetic, SameBytesAsLibpngAlone) {
    const SyntheticCase& c = GetParam();
    RgbImage image;
    ASSERT_EQ(image.create(c.width, c.height, kWhite), status::kOk);
    for (std::int32_t y = 0; y < c.height; ++y) {
        for (std::int32_t x = 0; x < 3 * c.width; ++x) {
            image.row(y)[x] = c.paint(y, x);
        }
    }
    expectSameAsReference(image, referencePng(image), c.name);
}

INSTANTIATE_TEST_SUITE_P(Images, PngFilterSynthetic, testing::ValuesIn(kSynthetic),
                         [](const testing::TestParamInfo<SyntheticCase>& info) {
                             return info.param.name;
                         });

// Seeded random images built from repeated, zero and fresh rows.
TEST(PngFilter, RandomRowSequencesMatchLibpngAlone) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 40; ++round) {
        const std::int32_t width = 1 + static_cast<std::int32_t>(random() % 40);
        const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 40);
        RgbImage image;
        ASSERT_EQ(image.create(width, height, kWhite), status::kOk);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint32_t kind = random() % 4;
            const std::int32_t pattern = kind == 0 ? 0 : static_cast<std::int32_t>(random() % 4);
            for (std::int32_t x = 0; x < 3 * width; ++x) {
                if (kind == 1 && y > 0) {
                    image.row(y)[x] = image.row(y - 1)[x];
                } else if (kind == 2) {
                    image.row(y)[x] = static_cast<std::uint8_t>(random());
                } else {
                    image.row(y)[x] = patternByte(pattern, x);
                }
            }
        }
        expectSameAsReference(image, referencePng(image), "round " + std::to_string(round));
    }
}

}  // namespace
}  // namespace barwright
