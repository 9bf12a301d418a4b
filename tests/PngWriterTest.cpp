// The PNG file: pixels read back, chunk order, the text entries, the time
// stamp in UTC, gamma, compression level, zlib's memory reused, and write
// failures.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "barwright/PngWriter.h"
#include "support/PngChunks.h"
#include "support/PngImage.h"

namespace barwright {
namespace {

using test::bigEndian32;
using test::Chunk;
using test::chunksOf;

std::vector<std::uint8_t> pngOf(const RgbImage& image, const PngOptions& options = {}) {
    std::vector<std::uint8_t> png;
    EXPECT_EQ(writePng(image, options, png), status::kOk);
    return png;
}

RgbImage whiteImage(std::int32_t width, std::int32_t height) {
    RgbImage image;
    EXPECT_EQ(image.create(width, height, kWhite), status::kOk);
    return image;
}

// An image with a few colours in known places.
void paintSample(RgbImage& image) {
    image.fillRect(0, 0, 2, 1, 0xFF0000);
    image.fillRect(2, 1, 3, 2, 0x123456);
    image.fillRect(1, 3, 1, 1, 0x000000);
    image.fillRect(4, 3, 1, 1, 0x808080);
}

TEST(PngWriter, PixelsReadBackExactly) {
    RgbImage image = whiteImage(5, 4);
    paintSample(image);
    const std::vector<std::uint8_t> png = pngOf(image);
    const test::PngImage read =
        test::readPngBytes(std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    ASSERT_TRUE(read.valid) << read.error;
    EXPECT_EQ(read.width, 5u);
    EXPECT_EQ(read.height, 4u);
    // Plain 8-bit RGB: no alpha, no palette, not interlaced.
    EXPECT_EQ(read.bitDepth, 8);
    EXPECT_EQ(read.colourType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(read.interlace, PNG_INTERLACE_NONE);
    EXPECT_EQ(read.pixels, image.pixels());
}

TEST(PngWriter, ChunksInOrderWithHeaderGammaAndTexts) {
    RgbImage image = whiteImage(300, 20);
    paintSample(image);
    const std::vector<Chunk> chunks = chunksOf(pngOf(image));
    ASSERT_GE(chunks.size(), 10u);

    const char* const kHead[] = {"IHDR", "gAMA", "tIME", "tEXt", "tEXt",
                                 "tEXt", "tEXt", "tEXt", "IDAT"};
    for (std::size_t i = 0; i < std::size(kHead); ++i) {
        EXPECT_EQ(chunks[i].type, kHead[i]) << "chunk " << i;
    }
    for (std::size_t i = std::size(kHead); i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].type, "IDAT") << "chunk " << i;
    }
    EXPECT_EQ(chunks.back().type, "IEND");

    // Width, height, depth 8, colour type 2 (RGB), compression, filter and
    // interlace 0.
    const std::vector<std::uint8_t> header = chunks[0].data;
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(bigEndian32(&header[0]), 300u);
    EXPECT_EQ(bigEndian32(&header[4]), 20u);
    EXPECT_EQ(std::vector<std::uint8_t>(header.begin() + 8, header.end()),
              (std::vector<std::uint8_t>{8, 2, 0, 0, 0}));

    ASSERT_EQ(chunks[1].data.size(), 4u);
    EXPECT_EQ(bigEndian32(chunks[1].data.data()), 50000u);

    const std::pair<std::string, std::string> kTexts[] = {{"Title", "Title_Text"},
                                                          {"Author", "Author_Text"},
                                                          {"Description", "Description_Text"},
                                                          {"Creation Time", ""},
                                                          {"Software", "Software_Text"}};
    for (std::size_t i = 0; i < std::size(kTexts); ++i) {
        const std::vector<std::uint8_t>& data = chunks[3 + i].data;
        const std::string entry(data.begin(), data.end());
        const std::size_t nul = entry.find('\0');
        ASSERT_NE(nul, std::string::npos) << "text " << i;
        EXPECT_EQ(entry.substr(0, nul), kTexts[i].first);
        if (!kTexts[i].second.empty()) {
            EXPECT_EQ(entry.substr(nul + 1), kTexts[i].second);
        }
    }
}

// Runs a test body with TZ set to a zone far from UTC, restoring it after.
class NonUtcZone {
public:
    NonUtcZone() {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (hadZone_) oldZone_ = old;
        // Five and a half hours east of UTC, without needing zone files.
        setenv("TZ", "IST-5:30", 1);
        tzset();
    }
    ~NonUtcZone() {
        if (hadZone_) {
            setenv("TZ", oldZone_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool hadZone_ = false;
    std::string oldZone_;
};

struct Stamp {
    std::time_t time;
    std::string text;  // the "Creation Time" entry
};

// The tIME chunk as a time_t, read as UTC, and the entry it must agree with.
Stamp writtenStamp(const std::vector<Chunk>& chunks) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    EXPECT_GE(chunks.size(), 7u);
    if (chunks.size() < 7 || chunks[2].type != "tIME" || chunks[2].data.size() != 7) {
        ADD_FAILURE() << "no tIME chunk in third place";
        return {};
    }
    const std::vector<std::uint8_t>& t = chunks[2].data;
    std::tm stamp{};
    stamp.tm_year = ((t[0] << 8) | t[1]) - 1900;
    stamp.tm_mon = t[2] - 1;
    stamp.tm_mday = t[3];
    stamp.tm_hour = t[4];
    stamp.tm_min = t[5];
    stamp.tm_sec = t[6];
    char expected[64];
    std::snprintf(expected, sizeof expected, "%d %s %d %02d:%02d:%02d +0000", t[3],
                  kMonths[(t[2] + 11) % 12], (t[0] << 8) | t[1], t[4], t[5], t[6]);
    EXPECT_EQ(chunks[6].type, "tEXt");
    const std::string entry(chunks[6].data.begin(), chunks[6].data.end());
    EXPECT_EQ(entry, std::string("Creation Time") + '\0' + expected);
    return Stamp{timegm(&stamp), expected};
}

// The clock's time or the one given, in UTC whatever the local zone, in
// the tIME chunk and the text alike.
TEST(PngWriter, TimeChunkMatchesCreationTimeTextInUtc) {
    NonUtcZone zone;
    const RgbImage image = whiteImage(3, 3);
    const std::time_t before = std::time(nullptr);
    const Stamp now = writtenStamp(chunksOf(pngOf(image)));
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(now.time, before);
    EXPECT_LE(now.time, after);

    PngOptions options;
    options.timeGiven = true;
    options.time = 1700000000;
    const Stamp given = writtenStamp(chunksOf(pngOf(image, options)));
    EXPECT_EQ(given.time, 1700000000);
    EXPECT_EQ(given.text, "14 Nov 2023 22:13:20 +0000");
}

// Without a recorded time neither the tIME chunk nor the text entry is
// written, and the bytes no longer depend on the clock.
TEST(PngWriter, NoTimeRecordedLeavesTimeOut) {
    const RgbImage image = whiteImage(3, 3);
    PngOptions options;
    options.timeRecorded = false;
    options.timeGiven = true;  // ignored
    options.time = 1700000000;
    const std::vector<std::uint8_t> png = pngOf(image, options);
    std::vector<std::string> texts;
    for (const Chunk& chunk : chunksOf(png)) {
        EXPECT_NE(chunk.type, "tIME");
        if (chunk.type == "tEXt") {
            texts.emplace_back(chunk.data.begin(),
                               std::find(chunk.data.begin(), chunk.data.end(), 0));
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Title", "Author", "Description", "Software"}));
    options.time = 1;
    EXPECT_EQ(pngOf(image, options), png);
}

std::vector<std::uint8_t> imageData(const std::vector<Chunk>& chunks) {
    std::vector<std::uint8_t> data;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") data.insert(data.end(), chunk.data.begin(), chunk.data.end());
    }
    return data;
}

// The level goes to zlib as it is: its header's level field says 0 for
// levels 0 and 1, 2 for the default 6 and 3 for 7 to 9.
TEST(PngWriter, CompressionLevelIsPassedOn) {
    RgbImage image = whiteImage(200, 50);
    for (std::int32_t x = 0; x < 200; x += 3) {
        image.fillRect(x, (x * 7) % 40, 1 + x % 2, 10, static_cast<Color>(x * 0x010305));
    }
    const struct {
        std::int32_t level;
        int headerLevel;
    } cases[] = {{1, 0}, {6, 2}, {9, 3}};
    for (const auto& c : cases) {
        PngOptions options;
        options.compressionLevel = c.level;
        const std::vector<std::uint8_t> data = imageData(chunksOf(pngOf(image, options)));
        ASSERT_GE(data.size(), 2u);
        EXPECT_EQ(data[1] >> 6, c.headerLevel) << "level " << c.level;
    }
}

// zlib's blocks are kept per thread from one PNG to the next, and a PNG of
// other parameters takes other sizes: pictures written in turns, on two
// threads, still give the bytes of the first writing, pixels and all.
TEST(PngWriter, ReusedZlibBlocksGiveTheSameFiles) {
    std::vector<RgbImage> images;
    for (const std::int32_t side : {5, 90, 400}) {
        images.push_back(whiteImage(side, side / 3 + 4));  // room for paintSample
        paintSample(images.back());
    }
    const auto writeAll = [&images](std::vector<std::vector<std::uint8_t>>& files) {
        for (const std::int32_t level : {6, 1, 9, 6}) {
            for (const RgbImage& image : images) {
                PngOptions options;
                options.compressionLevel = level;
                files.push_back(pngOf(image, options));
            }
        }
    };
    std::vector<std::vector<std::uint8_t>> first;
    std::vector<std::vector<std::uint8_t>> again;
    std::vector<std::vector<std::uint8_t>> elsewhere;
    writeAll(first);
    writeAll(again);
    std::thread other([&] { writeAll(elsewhere); });
    other.join();
    EXPECT_EQ(again, first);
    EXPECT_EQ(elsewhere, first);
    EXPECT_EQ(first[0], first[9]);  // level 6 before and after the others
    const test::PngImage read = test::readPngBytes(
        std::string_view(reinterpret_cast<const char*>(first[11].data()), first[11].size()));
    ASSERT_TRUE(read.valid) << read.error;
    EXPECT_EQ(read.width, 400u);
}

TEST(PngWriter, GammaBelowTenthBecomesPointSeven) {
    const RgbImage image = whiteImage(2, 2);
    const struct {
        double gamma;
        std::uint32_t written;  // gAMA: gamma x 100000
    } cases[] = {{0.05, 70000}, {std::nan(""), 70000}, {0.1, 10000}, {1.0, 100000}};
    for (const auto& c : cases) {
        PngOptions options;
        options.gamma = c.gamma;
        const std::vector<Chunk> chunks = chunksOf(pngOf(image, options));
        ASSERT_GE(chunks.size(), 2u);
        ASSERT_EQ(chunks[1].type, "gAMA");
        EXPECT_EQ(bigEndian32(chunks[1].data.data()), c.written) << "gamma " << c.gamma;
    }
}

struct FullDiskCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
};

// Test names show the case name, not the bytes of the case.
std::ostream& operator<<(std::ostream& out, const FullDiskCase& c) { return out << c.name; }

class PngWriterFullDisk : public testing::TestWithParam<FullDiskCase> {};

// A small file fails only when the stream's buffer is flushed; a large one
// already inside libpng's writes. Both end in 26, silently.
TEST_P(PngWriterFullDisk, ReportsCantClose) {
    const FullDiskCase& c = GetParam();
    RgbImage image = whiteImage(c.width, c.height);
    for (std::int32_t y = 0; y < c.height; ++y) {
        for (std::int32_t x = 0; x < 3 * c.width; ++x) {
            image.row(y)[x] = static_cast<std::uint8_t>((x * 131 + y * 71) ^ (x >> 3));
        }
    }
    std::FILE* file = std::fopen("/dev/full", "wb");
    ASSERT_NE(file, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(writePng(image, PngOptions{}, file), status::kCantCloseOutput);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::fclose(file);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngWriterFullDisk,
                         testing::Values(FullDiskCase{"Small", 4, 4},
                                         FullDiskCase{"Large", 600, 400}),
                         [](const testing::TestParamInfo<FullDiskCase>& info) {
                             return info.param.name;
                         });

// Nothing is written for an empty image or to no stream, and no stale
// bytes are left in memory.
TEST(PngWriter, EmptyImageIsNotWritten) {
    const RgbImage empty;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(writePng(empty, PngOptions{}, out), status::kCantCloseOutput);
    EXPECT_EQ(std::ftell(out), 0);
    std::fclose(out);
    std::vector<std::uint8_t> stale{0x89, 'P', 'N', 'G'};
    EXPECT_EQ(writePng(empty, PngOptions{}, stale), status::kCantCloseOutput);
    EXPECT_TRUE(stale.empty());
    EXPECT_EQ(writePng(whiteImage(2, 2), PngOptions{}, static_cast<std::FILE*>(nullptr)),
              status::kCantCloseOutput);
}

}  // namespace
}  // namespace barwright
