// The public calls as a user of the library makes them: encode, renderRgb
// and writePng must give exactly the PNG that the command line gives for
// the same settings; raw data is taken byte for byte; and pictures that
// cannot show a symbol, areas outside the image and hand-made symbols that
// are not whole are refused without a pixel written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "barwright/Encoder.h"
#include "barwright/Picture.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "cli/FrontEnd.h"
#include "support/PngChunks.h"

namespace barwright {
namespace {

using test::Chunk;
using test::chunksOf;

struct SameCase {
    const char* name;
    std::vector<std::string> arguments;  // the options, before the file name
    void (*change)(SymbolSettings&, PictureSettings&);
};

const SameCase kSameCases[] = {
    {"Defaults", {}, [](SymbolSettings&, PictureSettings&) {}},
    {"TextFourColumns",
     {"-d", "Hello 123", "-c", "4", "-n", "3"},
     [](SymbolSettings& s, PictureSettings& p) {
         s.data = "Hello 123";
         s.columns = 4;
         p.moduleWidth = 3.0;
     }},
    {"ByteModeLevel5",
     {"-d", "~X00~XFFbinary", "-m", "3", "-e", "5"},
     [](SymbolSettings& s, PictureSettings&) {
         s.data = "~X00~XFFbinary";
         s.compaction = CompactionMode::kByte;
         s.errorCorrectionLevel = 5;
     }},
    {"CompactRowsGiven",
     {"-d", std::string(200, '7'), "-c", "0", "-r", "20", "-t", "1"},
     [](SymbolSettings& s, PictureSettings&) {
         s.data = std::string(200, '7');
         s.columns = 0;
         s.rows = 20;
         s.compact = true;
     }},
    {"TurnedColouredLeftInAGivenSize",
     {"-d", "colour", "-o", "270", "-b", "ffff00", "-f", "800000", "-z", "0",
      "-v", "2",      "-q", "0",   "-a", "2.5",    "-x", "150",    "-y", "400"},
     [](SymbolSettings& s, PictureSettings& p) {
         s.data = "colour";
         p.orientation = 270;
         p.background = 0xFFFF00;  // yellow
         p.foreground = 0x800000;  // maroon
         p.alignH = kAlignStart;
         p.alignV = kAlignEnd;
         p.quietZone = false;
         p.yToXRatio = 2.5;
         p.imageWidth = 150;
         p.imageHeight = 400;
     }},
};

void PrintTo(const SameCase& c, std::ostream* out) { *out << c.name; }

bool isWriteTime(const Chunk& chunk) {
    static const char kCreationTime[] = "Creation Time";  // with its NUL separator
    return chunk.type == "tIME" ||
           (chunk.type == "tEXt" && chunk.data.size() >= sizeof kCreationTime &&
            std::memcmp(chunk.data.data(), kCreationTime, sizeof kCreationTime) == 0);
}

// The PNG that the command line's own path writes for the arguments.
std::vector<std::uint8_t> programPng(const std::vector<std::string>& arguments) {
    const std::string path = testing::TempDir() + "barwright-api.png";
    std::vector<std::string> words{"barwright"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words.push_back(path);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    RunSettings run;
    std::string message;
    EXPECT_EQ(readOptions(static_cast<int>(words.size()), argv.data(), run, message),
              OptionsResult::kComplete);
    EXPECT_EQ(makeBarcode(run), status::kOk);
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(in), {}};
    std::remove(path.c_str());
    return png;
}

class LibraryMatchesTheProgram : public testing::TestWithParam<SameCase> {};

// Every chunk the same, the pixels included; only the time of writing may
// differ.
TEST_P(LibraryMatchesTheProgram, SamePng) {
    const SameCase& c = GetParam();
    SymbolSettings settings = programDefaults().symbol;
    PictureSettings picture;
    c.change(settings, picture);
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    RgbImage image;
    ASSERT_EQ(renderRgb(symbol, picture, image), status::kOk);
    std::vector<std::uint8_t> png;
    ASSERT_EQ(writePng(image, PngOptions{}, png), status::kOk);

    const std::vector<Chunk> ours = chunksOf(png);
    const std::vector<Chunk> theirs = chunksOf(programPng(c.arguments));
    ASSERT_FALSE(ours.empty());
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(ours[i].type, theirs[i].type) << "chunk " << i;
        if (!isWriteTime(ours[i])) {
            EXPECT_TRUE(ours[i].data == theirs[i].data) << "chunk " << i << " " << ours[i].type;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, LibraryMatchesTheProgram, testing::ValuesIn(kSameCases),
                         [](const testing::TestParamInfo<SameCase>& info) {
                             return std::string(info.param.name);
                         });

// The library takes data as it is unless asked for escapes: "~X41" is four
// bytes, the same as the escaped "~~X41", not the one byte "A".
TEST(SymbolApi, RawDataIsTakenByteForByte) {
    for (CompactionMode mode : {CompactionMode::kAutomatic, CompactionMode::kByte}) {
        SymbolSettings raw;
        raw.data = "~X41";
        raw.compaction = mode;
        SymbolSettings escaped = raw;
        escaped.escapes = true;
        escaped.data = "~~X41";
        SymbolSettings resolved = escaped;
        resolved.data = "~X41";
        EncodedSymbol rawSymbol;
        EncodedSymbol escapedSymbol;
        EncodedSymbol resolvedSymbol;
        ASSERT_EQ(encode(raw, rawSymbol), status::kOk);
        ASSERT_EQ(encode(escaped, escapedSymbol), status::kOk);
        ASSERT_EQ(encode(resolved, resolvedSymbol), status::kOk);
        const auto modeNumber = static_cast<int>(mode);
        EXPECT_EQ(rawSymbol.codewords, escapedSymbol.codewords) << "mode " << modeNumber;
        EXPECT_NE(rawSymbol.codewords, resolvedSymbol.codewords) << "mode " << modeNumber;
    }
}

// The default symbol, encoded once for the refusal tests.
const EncodedSymbol& defaultSymbol() {
    static const EncodedSymbol symbol = [] {
        EncodedSymbol s;
        EXPECT_EQ(encode(programDefaults().symbol, s), status::kOk);
        return s;
    }();
    return symbol;
}

RgbImage greyImage(std::int32_t width, std::int32_t height) {
    RgbImage image;
    EXPECT_EQ(image.create(width, height, 0x808080), status::kOk);
    return image;
}

struct PictureCase {
    const char* name;
    void (*change)(PictureSettings&);
    bool checkRefuses;  // false: only sizing the image refuses it
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

const PictureCase kPictureCases[] = {
    {"Orientation45", [](PictureSettings& p) { p.orientation = 45; }, true},
    {"OrientationMinus90", [](PictureSettings& p) { p.orientation = -90; }, true},
    {"AlignH3", [](PictureSettings& p) { p.alignH = 3; }, true},
    {"AlignVMinus1", [](PictureSettings& p) { p.alignV = -1; }, true},
    {"RatioZero", [](PictureSettings& p) { p.yToXRatio = 0.0; }, true},
    {"RatioNegative", [](PictureSettings& p) { p.yToXRatio = -4.0; }, true},
    {"RatioNaN", [](PictureSettings& p) { p.yToXRatio = kNaN; }, true},
    {"ModuleWidthZero", [](PictureSettings& p) { p.moduleWidth = 0.0; }, true},
    {"ModuleWidthNegative", [](PictureSettings& p) { p.moduleWidth = -2.0; }, true},
    {"ModuleWidthNaN", [](PictureSettings& p) { p.moduleWidth = kNaN; }, true},
    {"WidthOnly", [](PictureSettings& p) { p.imageWidth = 300; }, true},
    {"HeightOnly", [](PictureSettings& p) { p.imageHeight = 100; }, true},
    {"NegativeSize",
     [](PictureSettings& p) {
         p.imageWidth = -300;
         p.imageHeight = -100;
     },
     true},
    {"BarsInTheBackgroundColour",
     [](PictureSettings& p) {
         p.foreground = 0x123456;
         p.background = 0x123456;
     },
     true},
    {"BarsDifferingOnlyInTheIgnoredByte",
     [](PictureSettings& p) {
         p.foreground = 0xFF000000;
         p.background = kBlack;
     },
     true},
    {"ModuleRoundsToZero", [](PictureSettings& p) { p.moduleWidth = 0.4; }, false},
    {"ModuleBeyondInt32", [](PictureSettings& p) { p.moduleWidth = 1e12; }, false},
    {"ModuleInfinite", [](PictureSettings& p) { p.moduleWidth = kInfinity; }, false},
    {"RatioInfinite", [](PictureSettings& p) { p.yToXRatio = kInfinity; }, false},
    {"RowBelowOnePixel", [](PictureSettings& p) { p.yToXRatio = 0.1; }, false},
};

// A picture that cannot show the symbol is refused with 1 by every call
// that takes it, leaving no image behind and an existing one untouched.
TEST(SymbolApiRefuses, PicturesThatCannotShowASymbol) {
    EXPECT_EQ(checkPicture(PictureSettings{}), status::kOk);
    for (const PictureCase& c : kPictureCases) {
        SCOPED_TRACE(c.name);
        PictureSettings picture;
        c.change(picture);
        EXPECT_EQ(checkPicture(picture), c.checkRefuses ? status::kInvalidArgument : status::kOk);
        RgbImage rendered = greyImage(2, 2);
        EXPECT_EQ(renderRgb(defaultSymbol(), picture, rendered), status::kInvalidArgument);
        EXPECT_TRUE(rendered.empty());
        if (c.checkRefuses) {
            RgbImage image = greyImage(300, 100);
            EXPECT_EQ(drawSymbol(defaultSymbol(), picture, image, Rect{0, 300, 0, 100}),
                      status::kInvalidArgument);
            EXPECT_EQ(image.pixels(), greyImage(300, 100).pixels());
        }
    }
}

struct AreaCase {
    const char* name;
    Rect area;
    Status status;
};

void PrintTo(const AreaCase& c, std::ostream* out) { *out << c.name; }

// The default symbol: 3 columns, 5 rows, 120 modules wide.
const AreaCase kAreaCases[] = {
    // Not even a 1-pixel module fits across 123 pixels.
    {"ModuleBelowOnePixel", {0, 123, 0, 100}, status::kColumnsTooLarge},
    {"RowsDoNotFit", {0, 300, 0, 27}, status::kRowsTooLarge},
    // Painting does not clip, so an area outside the image is refused.
    {"AreaBeyondTheRight", {0, 301, 0, 100}, status::kInvalidArgument},
    {"AreaBeforeTheLeft", {-1, 300, 0, 100}, status::kInvalidArgument},
    {"AreaAboveTheTop", {0, 300, -1, 100}, status::kInvalidArgument},
    {"AreaBelowTheBottom", {0, 300, 0, 101}, status::kInvalidArgument},
    {"AreaTurnedInsideOut", {200, 100, 0, 100}, status::kInvalidArgument},
};

class SymbolApiDrawRefuses : public testing::TestWithParam<AreaCase> {};

TEST_P(SymbolApiDrawRefuses, LeavesTheImageUntouched) {
    const AreaCase& c = GetParam();
    ASSERT_EQ(defaultSymbol().columns, 3);
    ASSERT_EQ(defaultSymbol().rows, 5);
    RgbImage image = greyImage(300, 100);
    EXPECT_EQ(drawSymbol(defaultSymbol(), PictureSettings{}, image, c.area), c.status);
    EXPECT_EQ(image.pixels(), greyImage(300, 100).pixels());
}

INSTANTIATE_TEST_SUITE_P(Areas, SymbolApiDrawRefuses, testing::ValuesIn(kAreaCases),
                         [](const testing::TestParamInfo<AreaCase>& info) {
                             return std::string(info.param.name);
                         });

// A consistent symbol of the given shape whose every codeword is the
// 17-module pattern 8,1,1,1,1,1,1,3.
void shapeWithValidPatterns(EncodedSymbol& s, std::int32_t columns, std::int32_t rows) {
    s.columns = columns;
    s.rows = rows;
    s.matrix.rowCount = rows;
    s.matrix.elementsPerRow = 8 * (columns + 2);
    s.matrix.widths.clear();
    for (std::int32_t i = 0; i < rows * (columns + 2); ++i) {
        s.matrix.widths.insert(s.matrix.widths.end(), {8, 1, 1, 1, 1, 1, 1, 3});
    }
}

// Hand-made symbols whose matrix does not match their shape, or whose bars
// would not end where the fitting expects, are refused by both drawing
// calls without a pixel written.
TEST(SymbolApiRefuses, SymbolsThatAreNotWhole) {
    const struct {
        const char* name;
        void (*change)(EncodedSymbol&);
    } cases[] = {
        {"no symbol", [](EncodedSymbol& s) { s = EncodedSymbol{}; }},
        {"more rows than the matrix", [](EncodedSymbol& s) { s.rows += 1; }},
        {"fewer rows than the matrix", [](EncodedSymbol& s) { s.rows -= 1; }},
        {"more columns than the matrix", [](EncodedSymbol& s) { s.columns += 1; }},
        {"compact with a full matrix", [](EncodedSymbol& s) { s.compact = true; }},
        {"widths cut short", [](EncodedSymbol& s) { s.matrix.widths.pop_back(); }},
        {"a pattern of 18 modules", [](EncodedSymbol& s) { s.matrix.widths[9] += 1; }},
        {"a pattern of 16 modules", [](EncodedSymbol& s) { s.matrix.widths.back() -= 1; }},
        {"31 columns", [](EncodedSymbol& s) { shapeWithValidPatterns(s, 31, 3); }},
        {"91 rows", [](EncodedSymbol& s) { shapeWithValidPatterns(s, 1, 91); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EncodedSymbol symbol = defaultSymbol();
        c.change(symbol);
        RgbImage rendered;
        EXPECT_EQ(renderRgb(symbol, PictureSettings{}, rendered), status::kInvalidArgument);
        EXPECT_TRUE(rendered.empty());
        RgbImage image = greyImage(300, 100);
        EXPECT_EQ(drawSymbol(symbol, PictureSettings{}, image, Rect{0, 300, 0, 100}),
                  status::kInvalidArgument);
        EXPECT_EQ(image.pixels(), greyImage(300, 100).pixels());
    }
}

}  // namespace
}  // namespace barwright
