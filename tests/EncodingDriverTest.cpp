#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "encoder/BarSpacePatterns.h"
#include "encoder/Pdf417Encoder.h"

namespace barwright {
namespace {

constexpr Codeword kPad = 900;

struct Settings {
    std::string data;
    std::int32_t mode = Compactor::kModeAutomatic;
    std::int32_t level = Pdf417Encoder::kAutomaticErrorCorrection;
    std::int32_t columns = 3;
    std::int32_t rows = 0;
};

// Applies the settings the way the front end does, in one deferred bracket,
// and returns the status of the one encode.
Status encodeWith(Pdf417Encoder& encoder, const Settings& s) {
    EXPECT_EQ(encoder.setDeferred(true), status::kOk);
    EXPECT_EQ(encoder.setData(s.data), status::kOk);
    EXPECT_EQ(encoder.setCompactionMode(s.mode), status::kOk);
    EXPECT_EQ(encoder.setErrorCorrectionLevel(s.level), status::kOk);
    EXPECT_EQ(encoder.setColumns(s.columns), status::kOk);
    EXPECT_EQ(encoder.setRows(s.rows), status::kOk);
    return encoder.setDeferred(false);
}

std::uint32_t evaluate(const CodewordStream& codewords, std::uint32_t x) {
    std::uint32_t value = 0;
    for (Codeword c : codewords) {
        value = (value * x + c) % 929;
    }
    return value;
}

int patternValue(const CodewordMatrix& matrix, int row, int group) {
    const std::uint8_t* widths = matrix.rowData(row) + group * kElementsPerCodeword;
    for (int value = 0; value < kCodewordValues; ++value) {
        if (std::memcmp(kBarSpacePatterns[row % 3][value], widths, kElementsPerCodeword) == 0) {
            return value;
        }
    }
    return -1;
}

// What every symbol a successful encode leaves must satisfy for a reader:
// the grid is full and within 928 codewords, the descriptor counts all
// but the error correction, the error correction checks, and the matrix
// holds the stream row by row in the right clusters.
void expectReadableSymbol(const Pdf417Encoder& encoder) {
    const CodewordStream& codewords = encoder.codewords();
    const std::uint32_t columns = encoder.columns();
    const std::uint32_t rows = encoder.rows();
    ASSERT_EQ(codewords.size(), columns * rows);
    ASSERT_LE(codewords.size(), 928u);
    const std::uint32_t k = 2u << encoder.usedErrorCorrectionLevel();
    EXPECT_EQ(codewords[0] + k, codewords.size()) << "descriptor";
    for (Codeword c : codewords) {
        ASSERT_LE(c, 928);
    }
    std::uint32_t root = 1;
    for (std::uint32_t i = 1; i <= k; ++i) {
        root = root * 3 % 929;
        ASSERT_EQ(evaluate(codewords, root), 0u) << "root 3^" << i;
    }
    const CodewordMatrix& matrix = encoder.matrix();
    ASSERT_EQ(matrix.rows(), rows);
    ASSERT_EQ(matrix.columns(), columns);
    ASSERT_EQ(matrix.errorCorrectionLevel(), encoder.usedErrorCorrectionLevel());
    ASSERT_EQ(matrix.rowStride(), 8 * (columns + (encoder.compact() ? 1 : 2)));
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::uint32_t column = 0; column < columns; ++column) {
            ASSERT_EQ(patternValue(matrix, static_cast<int>(row), static_cast<int>(column) + 1),
                      codewords[row * columns + column])
                << "row " << row << " column " << column;
        }
    }
}

// Two capitals in text mode: one data codeword, level 2, 4 rows of 3.
TEST(EncodingDriver, TwoCapitalsInTextMode) {
    Pdf417Encoder encoder;
    ASSERT_EQ(encodeWith(encoder, {"AB", Compactor::kModeText}), status::kOk);
    EXPECT_EQ(encoder.codewords(),
              (CodewordStream{4, 1, 900, 900, 914, 669, 734, 299, 859, 223, 391, 765}));
    EXPECT_EQ(encoder.columns(), 3);
    EXPECT_EQ(encoder.rows(), 4);
    EXPECT_EQ(encoder.usedErrorCorrectionLevel(), 2u);
    const Codeword indicators[4][2] = {{1, 2}, {6, 1}, {2, 6}, {31, 32}};
    const CodewordMatrix& matrix = encoder.matrix();
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(matrix.leftRowIndicator(row % 3, row), indicators[row][0]) << row;
        EXPECT_EQ(matrix.rightRowIndicator(row % 3, row), indicators[row][1]) << row;
        EXPECT_EQ(patternValue(matrix, row, 0), indicators[row][0]) << row;
        EXPECT_EQ(patternValue(matrix, row, 4), indicators[row][1]) << row;
    }
    expectReadableSymbol(encoder);
}

struct LayoutCase {
    const char* name;
    Settings settings;
    Status status;
    int columns;
    int rows;
    int padCount;
};

// n = 2 (descriptor and one codeword) for "AB" in text mode.
TEST(EncodingDriver, LevelsDimensionsAndPadding) {
    const std::string capitals830(830, 'A');  // 415 codewords: n = 416
    const std::string capitals832(832, 'A');  // n = 417
    const LayoutCase cases[] = {
        {"level 0: 4 codewords raised to 3 rows", {"AB", 1, 0, 3, 0}, status::kOk, 3, 3, 5},
        {"automatic level: 10 codewords in 4 rows", {"AB", 1, 9, 3, 0}, status::kOk, 3, 4, 2},
        {"rows given, columns computed", {"AB", 1, 9, 0, 3}, status::kOk, 4, 3, 2},
        {"level 8, n 416: 928 in all", {capitals830, 1, 8, 29, 0}, status::kOk, 29, 32, 0},
        {"level 8, n 417", {capitals832, 1, 8, 29, 0}, status::kDataCountAbove928, -1, -1, -1},
        // 928 codewords need 31 rows of 30: 930 places, more than a reader takes.
        {"level 8, n 416, 30 columns",
         {capitals830, 1, 8, 30, 0},
         status::kDataCountAbove928,
         -1,
         -1,
         -1},
        // A grid with room for a descriptor up to 926 but 1000 codewords in all.
        {"25 x 40 at level 6", {"AB", 1, 6, 25, 40}, status::kDataCountAbove928, -1, -1, -1},
        {"30 x 90", {"AB", 1, 9, 30, 90}, status::kDataCountAbove928, -1, -1, -1},
        {"grid too small", {capitals830, 1, 2, 3, 3}, status::kGridTooSmall, -1, -1, -1},
        {"3 rows cannot hold it", {capitals830, 1, 2, 0, 3}, status::kDataTooLarge, -1, -1, -1},
        {"bad columns", {"AB", 1, 9, 31, 0}, status::kColumnsOutOfRange, -1, -1, -1},
        {"bad rows", {"AB", 1, 9, 3, 2}, status::kRowsOutOfRange, -1, -1, -1},
        {"no dimension", {"AB", 1, 9, 0, 0}, status::kColumnsAndRowsNull, -1, -1, -1},
        {"level 10", {"AB", 1, 10, 3, 0}, status::kInvalidArgument, -1, -1, -1},
        {"level -1", {"AB", 1, -1, 3, 0}, status::kInvalidArgument, -1, -1, -1},
        {"data compaction cannot take",
         {"a\x01", 1, 9, 3, 0},
         status::kTextModeCharacters,
         -1,
         -1,
         -1},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        Pdf417Encoder encoder;
        ASSERT_EQ(encodeWith(encoder, c.settings), c.status);
        EXPECT_EQ(encoder.encodeStatus(), c.status);
        if (c.status != status::kOk) {
            continue;
        }
        EXPECT_EQ(encoder.columns(), c.columns);
        EXPECT_EQ(encoder.rows(), c.rows);
        const CodewordStream& codewords = encoder.codewords();
        const std::uint32_t k = 2u << encoder.usedErrorCorrectionLevel();
        const std::size_t dataEnd = codewords.size() - k;
        int pads = 0;
        for (std::size_t i = dataEnd; i > 0 && codewords[i - 1] == kPad; --i) {
            ++pads;
        }
        EXPECT_EQ(pads, c.padCount);
        expectReadableSymbol(encoder);
    }
}

// The Macro block is counted with the data but placed after the pad
// codewords, right before the error correction.
TEST(EncodingDriver, MacroBlockFollowsThePadding) {
    Pdf417Encoder encoder;
    MacroSettings macro;
    macro.enabled = true;
    ASSERT_EQ(encoder.setMacro(macro), status::kOk);
    // n = 2 + 8 = 10, level 2, N = 18 in rows of 5: 4 rows, 2 pad codewords.
    ASSERT_EQ(encodeWith(encoder, {"AB", Compactor::kModeText, 9, 5, 0}), status::kOk);
    const CodewordStream expectedStart{12, 1, 900, 900, 928, 111, 100, 1, 923, 1, 111, 102};
    const CodewordStream& codewords = encoder.codewords();
    ASSERT_EQ(codewords.size(), 20u);
    EXPECT_EQ(CodewordStream(codewords.begin(), codewords.begin() + 12), expectedStart);
    expectReadableSymbol(encoder);
}

TEST(EncodingDriver, InvalidMacroSettingFailsTheEncode) {
    Pdf417Encoder encoder;
    MacroSettings macro;
    macro.enabled = true;
    macro.segmentIndex = 3;
    EXPECT_EQ(encoder.setMacro(macro), status::kMacroSegmentIndexAboveCount);
    EXPECT_EQ(encoder.encodeStatus(), status::kMacroSegmentIndexAboveCount);
}

// After a failed encode the stream may be partial: the compact setting is
// stored, but the matrix keeps the last good symbol instead of being built
// from that stream.
TEST(EncodingDriver, CompactAfterAFailedEncodeKeepsTheOldMatrix) {
    Pdf417Encoder encoder;
    ASSERT_EQ(encodeWith(encoder, {"AB", Compactor::kModeText}), status::kOk);
    ASSERT_EQ(encoder.setColumns(31), status::kColumnsOutOfRange);
    EXPECT_EQ(encoder.setCompact(true), status::kOk);
    EXPECT_TRUE(encoder.compact());
    EXPECT_EQ(encoder.matrix().rowStride(), 8 * 5);
    EXPECT_EQ(encoder.matrix().rows(), 4);
    // Mending the setting encodes again, now in the compact form.
    ASSERT_EQ(encoder.setColumns(3), status::kOk);
    EXPECT_EQ(encoder.matrix().rowStride(), 8 * 4);
    expectReadableSymbol(encoder);
}

// Random data in every mode, level and shape: every symbol that encodes
// must be one a reader accepts, and every refusal must be a known status.
TEST(EncodingDriver, EverySuccessfulSymbolIsReadable) {
    std::mt19937 random(15438);
    const std::string alphabet =
        "ABCXYZabcxyz0123456789 ,.:;!?~&#+-/()\t\r\n"
        "\x01\x7f\x80\xff";
    int successes = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Settings s;
        const int length = static_cast<int>(random() % (trial % 10 == 0 ? 1200 : 120));
        const bool digitsOnly = random() % 4 == 0;
        for (int i = 0; i < length; ++i) {
            s.data += digitsOnly ? static_cast<char>('0' + random() % 10)
                                 : alphabet[random() % alphabet.size()];
        }
        s.mode = static_cast<std::int32_t>(random() % 4);
        s.level = static_cast<std::int32_t>(random() % 10);
        s.columns = static_cast<std::int32_t>(random() % 31);
        s.rows = random() % 3 == 0 ? static_cast<std::int32_t>(3 + random() % 88) : 0;
        if (s.columns == 0 && s.rows == 0) {
            s.columns = 1 + static_cast<std::int32_t>(random() % 30);
        }
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << ": mode " << s.mode << ", level " << s.level << ", "
                     << s.columns << " x " << s.rows << ", " << length << " bytes");
        Pdf417Encoder encoder;
        if (random() % 2 == 0) {
            ASSERT_EQ(encoder.setCompact(true), status::kOk);
        }
        const Status result = encodeWith(encoder, s);
        if (result == status::kOk) {
            ++successes;
            expectReadableSymbol(encoder);
        } else {
            EXPECT_TRUE(result == status::kTextModeCharacters ||
                        result == status::kNumericModeCharacters ||
                        result == status::kDataCountAbove928 || result == status::kDataTooLarge ||
                        result == status::kGridTooSmall)
                << "status " << result;
        }
    }
    EXPECT_GT(successes, 100);
}

}  // namespace
}  // namespace barwright
