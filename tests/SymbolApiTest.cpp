// The public Symbol: it must make exactly the symbol the program makes for
// the same settings, refuse what the command line would have filtered out,
// and never draw outside an image or from a failed encode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "barwright/Symbol.h"
#include "cli/FrontEnd.h"
#include "encoder/Pdf417Encoder.h"

namespace barwright {
namespace {

struct SameCase {
    const char* name;
    SymbolSettings settings;
};

SymbolSettings with(void (*change)(SymbolSettings&)) {
    SymbolSettings settings;
    change(settings);
    return settings;
}

std::vector<SameCase> sameCases() {
    return {
        {"Defaults", SymbolSettings{}},
        {"TextFourColumns", with([](SymbolSettings& s) {
             s.data = "Hello 123";
             s.columns = 4;
         })},
        {"ByteModeLevel5", with([](SymbolSettings& s) {
             s.data = "~X00~XFFbinary";
             s.compactionMode = SymbolSettings::kModeByte;
             s.errorCorrectionLevel = 5;
         })},
        {"CompactRowsGiven", with([](SymbolSettings& s) {
             s.data = std::string(200, '7');
             s.columns = 0;
             s.rows = 20;
             s.compact = true;
         })},
        {"TurnedColouredLeft", with([](SymbolSettings& s) {
             s.data = "colour";
             s.orientation = 270;
             s.backgroundColor = 0x00FFFF;
             s.foregroundColor = 0x800000;
             s.alignH = 0;
             s.alignV = 2;
             s.quietZone = false;
             s.yToXRatio = 2.5;
         })},
    };
}

// What the program would do with the same settings.
void encodeLikeTheProgram(const SymbolSettings& s, Pdf417Encoder& encoder) {
    RunSettings run;
    run.data = s.data;
    run.compactionMode = s.compactionMode;
    run.errorCorrectionLevel = s.errorCorrectionLevel;
    run.columns = s.columns;
    run.rows = s.rows;
    run.compact = s.compact;
    run.orientation = s.orientation;
    run.quietZone = s.quietZone;
    run.alignH = s.alignH;
    run.alignV = s.alignV;
    run.backgroundColor = s.backgroundColor;
    run.foregroundColor = s.foregroundColor;
    run.yToXRatio = s.yToXRatio;
    ASSERT_EQ(configureEncoder(encoder, run), status::kOk);
}

std::vector<std::uint8_t> pixelsOf(const RgbImage& image) {
    std::vector<std::uint8_t> pixels;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        pixels.insert(pixels.end(), image.rows()[y], image.rows()[y] + 3 * image.width());
    }
    return pixels;
}

class SymbolMatchesTheProgram : public testing::TestWithParam<SameCase> {};

TEST_P(SymbolMatchesTheProgram, CodewordsMatrixAndPixels) {
    const SymbolSettings& settings = GetParam().settings;
    Symbol symbol;
    ASSERT_EQ(symbol.encode(settings), status::kOk);
    Pdf417Encoder reference;
    encodeLikeTheProgram(settings, reference);

    EXPECT_EQ(symbol.codewords(), reference.codewords());
    EXPECT_EQ(symbol.columns(), reference.columns());
    EXPECT_EQ(symbol.rows(), reference.rows());
    EXPECT_EQ(symbol.errorCorrectionLevel(),
              static_cast<std::int32_t>(reference.usedErrorCorrectionLevel()));
    ASSERT_EQ(symbol.matrix().rowCount, reference.matrix().rowCount());
    ASSERT_EQ(symbol.matrix().elementsPerRow, reference.matrix().rowStride());
    EXPECT_EQ(symbol.matrix().elementsPerRow, 8 * (symbol.columns() + (settings.compact ? 1 : 2)));
    for (std::int32_t row = 0; row < symbol.matrix().rowCount; ++row) {
        for (std::int32_t element = 0; element < symbol.matrix().elementsPerRow; ++element) {
            ASSERT_EQ(symbol.matrix().width(row, element), reference.matrix().rowData(row)[element])
                << "row " << row << " element " << element;
        }
    }

    std::int32_t width = 0;
    std::int32_t height = 0;
    ASSERT_EQ(symbol.imageSize(3.0, width, height), status::kOk);
    RgbImage ours(width + 7, height + 5, 0xFFFFFF, RgbImage::kDefaultCompression);
    RgbImage theirs(width + 7, height + 5, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(ours.allocateRows());
    ASSERT_TRUE(theirs.allocateRows());
    ASSERT_EQ(symbol.draw(ours), status::kOk);
    ASSERT_EQ(reference.draw(theirs, Rect{0, width + 7, 0, height + 5}), status::kOk);
    EXPECT_EQ(pixelsOf(ours), pixelsOf(theirs));
}

INSTANTIATE_TEST_SUITE_P(Settings, SymbolMatchesTheProgram, testing::ValuesIn(sameCases()),
                         [](const testing::TestParamInfo<SameCase>& info) {
                             return std::string(info.param.name);
                         });

struct RefusedCase {
    const char* name;
    void (*change)(SymbolSettings&);
    Status expected;
};

const RefusedCase kRefused[] = {
    {"Orientation45", [](SymbolSettings& s) { s.orientation = 45; }, status::kInvalidArgument},
    {"OrientationMinus90", [](SymbolSettings& s) { s.orientation = -90; },
     status::kInvalidArgument},
    {"AlignH3", [](SymbolSettings& s) { s.alignH = 3; }, status::kInvalidArgument},
    {"AlignVMinus1", [](SymbolSettings& s) { s.alignV = -1; }, status::kInvalidArgument},
    {"RatioZero", [](SymbolSettings& s) { s.yToXRatio = 0.0; }, status::kInvalidArgument},
    {"RatioNaN", [](SymbolSettings& s) { s.yToXRatio = std::nan(""); }, status::kInvalidArgument},
    {"RatioInfinite",
     [](SymbolSettings& s) { s.yToXRatio = std::numeric_limits<double>::infinity(); },
     status::kInvalidArgument},
    {"Level10", [](SymbolSettings& s) { s.errorCorrectionLevel = 10; }, status::kInvalidArgument},
    {"Mode5", [](SymbolSettings& s) { s.compactionMode = 5; }, status::kInvalidCompactionMode},
    {"TextModeByte",
     [](SymbolSettings& s) {
         s.compactionMode = SymbolSettings::kModeText;
         s.data = "~X80";
     },
     status::kTextModeCharacters},
    {"Columns31", [](SymbolSettings& s) { s.columns = 31; }, status::kColumnsOutOfRange},
    {"Rows2", [](SymbolSettings& s) { s.rows = 2; }, status::kRowsOutOfRange},
    {"BothAutomatic", [](SymbolSettings& s) { s.columns = 0; }, status::kColumnsAndRowsNull},
    {"GridTooSmall",
     [](SymbolSettings& s) {
         s.columns = 1;
         s.rows = 3;
         s.data = std::string(40, 'x');
     },
     status::kGridTooSmall},
    {"MacroCountZero",
     [](SymbolSettings& s) {
         s.macro.enabled = true;
         s.macro.segmentCount = 0;
     },
     status::kMacroSegmentCount},
};

TEST(SymbolRefuses, BadSettingsAndLeavesNothingToDraw) {
    for (const RefusedCase& c : kRefused) {
        Symbol symbol;
        ASSERT_EQ(symbol.encode(SymbolSettings{}), status::kOk);
        SymbolSettings settings;
        c.change(settings);
        EXPECT_EQ(symbol.encode(settings), c.expected) << c.name;
        EXPECT_EQ(symbol.status(), c.expected) << c.name;
        EXPECT_TRUE(symbol.codewords().empty()) << c.name;
        EXPECT_EQ(symbol.matrix().rowCount, 0) << c.name;
        RgbImage image(200, 100, 0xFFFFFF, RgbImage::kDefaultCompression);
        ASSERT_TRUE(image.allocateRows());
        EXPECT_EQ(symbol.draw(image), c.expected) << c.name;
        std::vector<std::uint8_t> png{1, 2, 3};
        EXPECT_EQ(symbol.writePng(2.0, png), c.expected) << c.name;
        EXPECT_TRUE(png.empty()) << c.name;
    }
}

TEST(SymbolRefuses, ToDrawOutsideTheImage) {
    Symbol symbol;
    ASSERT_EQ(symbol.encode(SymbolSettings{}), status::kOk);
    const Rect areas[] = {{-1, 200, 0, 100}, {0, 201, 0, 100}, {0, 200, -1, 100},
                          {0, 200, 0, 101},  {50, 40, 0, 100}, {0, 200, 60, 50}};
    for (const Rect& area : areas) {
        RgbImage image(200, 100, 0xFFFFFF, RgbImage::kDefaultCompression);
        ASSERT_TRUE(image.allocateRows());
        EXPECT_EQ(symbol.draw(image, area), status::kInvalidArgument)
            << area.left << ' ' << area.right << ' ' << area.top << ' ' << area.bottom;
    }
    RgbImage unallocated(200, 100, 0xFFFFFF, RgbImage::kDefaultCompression);
    EXPECT_EQ(symbol.draw(unallocated), status::kInvalidArgument);
}

TEST(SymbolLifecycle, FreshAndMovedFromHoldNothing) {
    Symbol fresh;
    EXPECT_EQ(fresh.status(), status::kFail);
    std::int32_t width = 0;
    std::int32_t height = 0;
    EXPECT_EQ(fresh.imageSize(2.0, width, height), status::kFail);

    Symbol first;
    ASSERT_EQ(first.encode(SymbolSettings{}), status::kOk);
    const std::vector<std::uint16_t> codewords = first.codewords();
    Symbol second(std::move(first));
    EXPECT_EQ(second.codewords(), codewords);
    EXPECT_EQ(first.status(), status::kFail);  // NOLINT(bugprone-use-after-move)
    RgbImage image(200, 100, 0xFFFFFF, RgbImage::kDefaultCompression);
    ASSERT_TRUE(image.allocateRows());
    EXPECT_EQ(first.draw(image), status::kFail);  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(second.draw(image), status::kOk);
}

struct SizeCase {
    double moduleWidth;
    Status expected;
};

TEST(SymbolImageSize, FollowsTheModuleWidthAndRefusesTheUnreasonable) {
    Symbol symbol;
    ASSERT_EQ(symbol.encode(SymbolSettings{}), status::kOk);
    std::int32_t width1 = 0;
    std::int32_t height1 = 0;
    ASSERT_EQ(symbol.imageSize(1.0, width1, height1), status::kOk);
    std::int32_t width2 = 0;
    std::int32_t height2 = 0;
    ASSERT_EQ(symbol.imageSize(2.0, width2, height2), status::kOk);
    EXPECT_EQ(width2, 2 * width1);
    EXPECT_EQ(height2, 2 * height1);

    const SizeCase cases[] = {
        {0.4, status::kInvalidArgument},   // rounds to 0 pixels
        {1e12, status::kInvalidArgument},  // beyond int32
        {std::numeric_limits<double>::infinity(), status::kInvalidArgument},
        {std::nan(""), status::kInvalidArgument},
    };
    for (const SizeCase& c : cases) {
        std::int32_t width = -7;
        std::int32_t height = -7;
        EXPECT_EQ(symbol.imageSize(c.moduleWidth, width, height), c.expected) << c.moduleWidth;
        EXPECT_EQ(width, -7) << "untouched on failure";
    }
}

TEST(SymbolWritePng, ToAFileAndToMemoryAlike) {
    Symbol symbol;
    ASSERT_EQ(symbol.encode(SymbolSettings{}), status::kOk);
    std::vector<std::uint8_t> memory;
    ASSERT_EQ(symbol.writePng(2.0, memory), status::kOk);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(symbol.writePng(2.0, file), status::kOk);
    std::vector<std::uint8_t> written(static_cast<std::size_t>(std::ftell(file)));
    std::rewind(file);
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), file), written.size());
    std::fclose(file);
    // Both carry the same chunks; only the time stamps may differ by a
    // second, and they have the same length.
    EXPECT_EQ(memory.size(), written.size());
    EXPECT_EQ(symbol.writePng(2.0, static_cast<std::FILE*>(nullptr)), status::kCantOpenOutput);
    EXPECT_EQ(symbol.writePng(1e12, memory), status::kInvalidArgument);
    EXPECT_TRUE(memory.empty());

    // An image without pixels leaves no stale bytes behind.
    RgbImage unallocated(10, 10, 0xFFFFFF, RgbImage::kDefaultCompression);
    std::vector<std::uint8_t> stale{0x89, 'P', 'N', 'G'};
    EXPECT_EQ(unallocated.writePng(stale), status::kCantCloseOutput);
    EXPECT_TRUE(stale.empty());
}

}  // namespace
}  // namespace barwright
