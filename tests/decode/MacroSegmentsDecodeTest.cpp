// A file split over several symbols through the library, read back by
// zxing-cpp: every symbol decodes, carries the segment index, count and
// file ID that were asked for, and the joined segments give back exactly
// the original data bytes. The symbols are drawn by renderRgb and go through
// the in-memory PNG writer, so its bytes are proven readable too.

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/MacroSegments.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "support/PngImage.h"

namespace barwright {
namespace {

struct SplitCase {
    const char* name;
    std::string data;   // with escapes
    std::string bytes;  // what a reader must give back, joined
    std::int32_t segmentCount;
    std::string fileId;
    std::string expectedSequenceId;  // zxing's rendering: three digits per codeword
    CompactionMode compaction;
    std::int32_t columns;
    std::int32_t orientation;
    bool compact;
    bool optionalFields;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

std::string repeat(const std::string& unit, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += unit;
    return out;
}

constexpr CompactionMode kAuto = CompactionMode::kAutomatic;

std::vector<SplitCase> splitCases() {
    const std::string text = repeat("Invoice 2024-117, 3 items: ", 12);
    const std::string digits = repeat("31415926535897932384626433832795", 10);
    std::string escaped;
    std::string escapedBytes;
    for (int i = 0; i < 120; ++i) {
        escaped += "ab~X";
        static const char* const kHex = "0123456789ABCDEF";
        const int byte = (i * 37 + 128) & 0xFF;
        escaped += kHex[byte >> 4];
        escaped += kHex[byte & 15];
        escaped += "~~~N";
        escapedBytes += "ab";
        escapedBytes += static_cast<char>(byte);
        escapedBytes += "~\n";
    }
    return {
        {"TextOverThree", text, text, 3, "#001", "001", kAuto, 6, 0, false, false},
        {"DigitsOverTwo", digits, digits, 2, "#123456", "123456", kAuto, 5, 0, false, false},
        {"EscapesOverFour", escaped, escapedBytes, 4, "#899000", "899000", kAuto, 8, 0, false,
         false},
        {"OneSegmentIsLast", "Hello", "Hello", 1, "#042", "042", kAuto, 3, 0, false, false},
        {"ByteModeCompactTurned", text, text, 3, "#777", "777", CompactionMode::kByte, 6, 90, true,
         false},
        {"WithOptionalFields", text, text, 2, "#005", "005", kAuto, 6, 180, false, true},
        // Two escaped tildes and a plain one: the plain one must not become the
        // start of an escape in its own segment.
        {"ThreeTildes", "~~~~~", "~~~", 3, "#100", "100", kAuto, 2, 0, false, false},
    };
}

ZXing::Result decode(const EncodedSymbol& symbol, const PictureSettings& picture) {
    RgbImage image;
    EXPECT_EQ(renderRgb(symbol, picture, image), status::kOk);
    std::vector<std::uint8_t> png;
    EXPECT_EQ(writePng(image, PngOptions{}, png), status::kOk);
    const test::PngImage read =
        test::readPngBytes(std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
    if (!read.valid) {
        ADD_FAILURE() << "the PNG in memory is unreadable: " << read.error;
        return ZXing::Result();
    }
    const auto width = static_cast<int>(read.width);
    const auto height = static_cast<int>(read.height);
    const std::vector<std::uint8_t>& pixels = read.pixels;
    const ZXing::ImageView view(pixels.data(), width, height, ZXing::ImageFormat::RGB);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417).setTryHarder(true).setTryRotate(true);
    return ZXing::ReadBarcode(view, hints);
}

class MacroSegmentsDecode : public testing::TestWithParam<SplitCase> {};

TEST_P(MacroSegmentsDecode, EverySegmentReadsBackAndTheJoinIsTheData) {
    const SplitCase& c = GetParam();
    SymbolSettings settings;
    settings.data = c.data;
    settings.escapes = true;
    settings.compaction = c.compaction;
    settings.columns = c.columns;
    settings.compact = c.compact;
    PictureSettings picture;
    picture.orientation = c.orientation;
    settings.macro.fileId = c.fileId;
    if (c.optionalFields) {
        settings.macro.fileName = "invoice.txt";
        settings.macro.timeStamp = "1700000000";
        settings.macro.sender = "Accounts";
        settings.macro.addressee = "Stores";
        settings.macro.fileSize = static_cast<std::int32_t>(c.bytes.size());
        settings.macro.checksum = 4711;
    }
    std::vector<EncodedSymbol> symbols;
    ASSERT_EQ(encodeMacroSegments(settings, c.segmentCount, symbols), status::kOk);
    ASSERT_EQ(symbols.size(), static_cast<std::size_t>(c.segmentCount));

    ZXing::Results results;
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        SCOPED_TRACE("segment " + std::to_string(i + 1));
        ZXing::Result result = decode(symbols[i], picture);
        ASSERT_TRUE(result.isValid()) << ZXing::ToString(result.error());
        EXPECT_EQ(result.sequenceIndex(), static_cast<int>(i));
        EXPECT_EQ(result.sequenceSize(), c.segmentCount);
        EXPECT_EQ(result.sequenceId(), c.expectedSequenceId);
        EXPECT_EQ(result.isLastInSequence(), i + 1 == symbols.size());
        EXPECT_FALSE(result.bytes().empty()) << "every segment carries some of the data";
        results.push_back(std::move(result));
    }
    // Out of order on purpose: a reader joins by index, not by arrival.
    std::swap(results.front(), results.back());
    const ZXing::Result joined = ZXing::MergeStructuredAppendSequence(results);
    ASSERT_TRUE(joined.isValid());
    EXPECT_EQ(std::string(joined.bytes().begin(), joined.bytes().end()), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Library, MacroSegmentsDecode, testing::ValuesIn(splitCases()),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace barwright
