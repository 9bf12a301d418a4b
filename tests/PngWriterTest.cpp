// The PNG file: pixels read back, chunk order, the text entries, the time
// stamp in UTC, gamma, compression level, and write failures.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "render/RgbImage.h"
#include "support/PngChunks.h"

namespace barwright {
namespace {

using test::bigEndian32;
using test::Chunk;
using test::chunksOf;

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A file in the test's temporary directory, removed afterwards.
class TempFile {
public:
    explicit TempFile(const std::string& name) : path_(testing::TempDir() + name) {}
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

Status writeTo(RgbImage& image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return -1;
    }
    const Status result = image.writePng(file);
    EXPECT_EQ(std::fclose(file), 0);
    return result;
}

// An image with a few colours in known places.
void paintSample(RgbImage& image) {
    image.fillRect(0, 0, 2, 1, 0x0000FF);
    image.fillRect(2, 1, 3, 2, 0x563412);
    image.fillRect(1, 3, 1, 1, 0x000000);
    image.fillRect(4, 3, 1, 1, 0x808080);
}

struct ReadBack {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
    std::vector<std::vector<std::uint8_t>> rows;
};

// Reads the file with no transformation at all (the simplified reader
// would apply the file's gamma). The setjmp lives in a function whose
// locals have no destructors.
bool readRaw(std::FILE* file, png_structp png, png_infop info, ReadBack& out) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_get_IHDR(png, info, &out.width, &out.height, &out.bitDepth, &out.colorType, &out.interlace,
                 nullptr, nullptr);
    png_bytepp rows = png_get_rows(png, info);
    const png_size_t rowBytes = png_get_rowbytes(png, info);
    for (png_uint_32 y = 0; y < out.height; ++y) {
        out.rows.emplace_back(rows[y], rows[y] + rowBytes);
    }
    return true;
}

bool readBack(const std::string& path, ReadBack& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = readRaw(file, png, info, out);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return ok;
}

TEST(PngWriter, PixelsReadBackExactly) {
    RgbImage image(5, 4, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    paintSample(image);
    TempFile file("pixels.png");
    ASSERT_EQ(writeTo(image, file.path()), status::kOk);

    ReadBack read;
    ASSERT_TRUE(readBack(file.path(), read));
    EXPECT_EQ(read.width, 5u);
    EXPECT_EQ(read.height, 4u);
    // Plain 8-bit RGB: no alpha, no palette, not interlaced.
    EXPECT_EQ(read.bitDepth, 8);
    EXPECT_EQ(read.colorType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(read.interlace, PNG_INTERLACE_NONE);
    ASSERT_EQ(read.rows.size(), 4u);
    for (std::int32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(read.rows[y], std::vector<std::uint8_t>(image.rows()[y], image.rows()[y] + 15))
            << "row " << y;
    }
}

TEST(PngWriter, ChunksInOrderWithHeaderGammaAndTexts) {
    RgbImage image(300, 20, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    paintSample(image);
    TempFile file("chunks.png");
    ASSERT_EQ(writeTo(image, file.path()), status::kOk);
    const std::vector<Chunk> chunks = chunksOf(readFile(file.path()));
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

TEST(PngWriter, TimeChunkMatchesCreationTimeTextInUtc) {
    NonUtcZone zone;
    RgbImage image(3, 3, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    TempFile file("time.png");
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(writeTo(image, file.path()), status::kOk);
    const std::time_t after = std::time(nullptr);
    const std::vector<Chunk> chunks = chunksOf(readFile(file.path()));
    ASSERT_GE(chunks.size(), 7u);

    ASSERT_EQ(chunks[2].type, "tIME");
    const std::vector<std::uint8_t>& t = chunks[2].data;
    ASSERT_EQ(t.size(), 7u);
    std::tm stamp{};
    stamp.tm_year = ((t[0] << 8) | t[1]) - 1900;
    stamp.tm_mon = t[2] - 1;
    stamp.tm_mday = t[3];
    stamp.tm_hour = t[4];
    stamp.tm_min = t[5];
    stamp.tm_sec = t[6];
    // The stamp is UTC: read as UTC it lies between the two clock readings.
    const std::time_t written = timegm(&stamp);
    EXPECT_GE(written, before);
    EXPECT_LE(written, after);

    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char expected[64];
    std::snprintf(expected, sizeof expected, "%d %s %d %02d:%02d:%02d +0000", t[3],
                  kMonths[t[2] - 1], (t[0] << 8) | t[1], t[4], t[5], t[6]);
    ASSERT_EQ(chunks[6].type, "tEXt");
    const std::string entry(chunks[6].data.begin(), chunks[6].data.end());
    EXPECT_EQ(entry, std::string("Creation Time") + '\0' + expected);
}

std::vector<std::uint8_t> imageData(const std::vector<Chunk>& chunks) {
    std::vector<std::uint8_t> data;
    for (const Chunk& chunk : chunks) {
        if (chunk.type == "IDAT") data.insert(data.end(), chunk.data.begin(), chunk.data.end());
    }
    return data;
}

std::vector<std::uint8_t> writeAtLevel(std::int32_t level, const char* name) {
    RgbImage image(200, 50, 0xFFFFFF, level);
    EXPECT_TRUE(image.allocateRows());
    for (std::int32_t x = 0; x < 200; x += 3) {
        image.fillRect(x, (x * 7) % 40, 1 + x % 2, 10, static_cast<std::uint32_t>(x * 0x010305));
    }
    TempFile file(name);
    EXPECT_EQ(writeTo(image, file.path()), status::kOk);
    return imageData(chunksOf(readFile(file.path())));
}

// The default level is zlib's level 6 (the zlib header's level field says
// 2), and any other level is passed on as it is.
TEST(PngWriter, DefaultLevelCompressesExactlyLikeLevelSix) {
    const std::vector<std::uint8_t> byDefault =
        writeAtLevel(RgbImage::kDefaultCompression, "default.png");
    ASSERT_GE(byDefault.size(), 2u);
    EXPECT_EQ(byDefault[1] >> 6, 2);
    EXPECT_EQ(byDefault, writeAtLevel(6, "six.png"));
    const std::vector<std::uint8_t> fastest = writeAtLevel(1, "one.png");
    ASSERT_GE(fastest.size(), 2u);
    EXPECT_EQ(fastest[1] >> 6, 0);
    EXPECT_NE(byDefault, fastest);
}

TEST(PngWriter, GammaBelowTenthBecomesPointSeven) {
    RgbImage image(2, 2, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    image.setGamma(0.05);
    TempFile file("gamma.png");
    ASSERT_EQ(writeTo(image, file.path()), status::kOk);
    EXPECT_DOUBLE_EQ(image.gamma(), 0.7);
    const std::vector<Chunk> chunks = chunksOf(readFile(file.path()));
    ASSERT_GE(chunks.size(), 2u);
    EXPECT_EQ(bigEndian32(chunks[1].data.data()), 70000u);
}

struct FullDiskCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
};

class PngWriterFullDisk : public testing::TestWithParam<FullDiskCase> {};

// A small file fails only when the stream's buffer is flushed; a large one
// already inside libpng's writes. Both end in 26, silently.
TEST_P(PngWriterFullDisk, ReportsCantClose) {
    const FullDiskCase& c = GetParam();
    RgbImage image(c.width, c.height, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    for (std::int32_t y = 0; y < c.height; ++y) {
        for (std::int32_t x = 0; x < 3 * c.width; ++x) {
            image.rows()[y][x] = static_cast<std::uint8_t>((x * 131 + y * 71) ^ (x >> 3));
        }
    }
    std::FILE* file = std::fopen("/dev/full", "wb");
    ASSERT_NE(file, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(image.writePng(file), status::kCantCloseOutput);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::fclose(file);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngWriterFullDisk,
                         testing::Values(FullDiskCase{"Small", 4, 4},
                                         FullDiskCase{"Large", 600, 400}),
                         [](const testing::TestParamInfo<FullDiskCase>& info) {
                             return info.param.name;
                         });

TEST(PngWriter, ImageWithoutRowsIsNotWritten) {
    RgbImage image(4, 4, 0xFFFFFF, RgbImage::kDefaultCompression);
    TempFile file("norows.png");
    std::FILE* out = std::fopen(file.path().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(image.writePng(out), status::kCantCloseOutput);
    EXPECT_EQ(std::fclose(out), 0);
    EXPECT_TRUE(readFile(file.path()).empty());
}

}  // namespace
}  // namespace barwright
