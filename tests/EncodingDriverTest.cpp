// encode(): known symbols, the level, shape and padding it chooses, the
// Macro block's place, refusals that leave nothing behind, and random
// settings whose every symbol a reader must accept.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "barwright/Encoder.h"
#include "encoder/BarSpacePatterns.h"
#include "encoder/CodewordMatrix.h"

namespace barwright {
namespace {

constexpr Codeword kPad = 900;

SymbolSettings settingsFor(const std::string& data, std::int32_t mode, std::int32_t level,
                           std::int32_t columns, std::int32_t rows) {
    SymbolSettings settings;
    settings.data = data;
    settings.compaction = static_cast<CompactionMode>(mode);
    settings.errorCorrectionLevel = level;
    settings.columns = columns;
    settings.rows = rows;
    return settings;
}

std::uint32_t evaluate(const std::vector<std::uint16_t>& codewords, std::uint32_t x) {
    std::uint32_t value = 0;
    for (std::uint16_t c : codewords) {
        value = (value * x + c) % 929;
    }
    return value;
}

int patternValue(const SymbolMatrix& matrix, int row, int group) {
    const std::uint8_t* widths = matrix.row(row) + group * kElementsPerCodeword;
    for (int value = 0; value < kCodewordValues; ++value) {
        if (std::memcmp(kBarSpacePatterns[row % 3][value], widths, kElementsPerCodeword) == 0) {
            return value;
        }
    }
    return -1;
}

// What every symbol a successful encode gives must satisfy for a reader:
// the grid is full and within 928 codewords, the descriptor counts all
// but the error correction, the error correction checks, and the matrix
// holds the stream row by row in the right clusters, behind left row
// indicators that carry the level used.
void expectReadableSymbol(const EncodedSymbol& symbol) {
    const std::vector<std::uint16_t>& codewords = symbol.codewords;
    const auto columns = static_cast<std::uint32_t>(symbol.columns);
    const auto rows = static_cast<std::uint32_t>(symbol.rows);
    ASSERT_EQ(codewords.size(), columns * rows);
    ASSERT_LE(codewords.size(), 928u);
    const std::uint32_t k = 2u << symbol.errorCorrectionLevel;
    EXPECT_EQ(codewords[0] + k, codewords.size()) << "descriptor";
    for (std::uint16_t c : codewords) {
        ASSERT_LE(c, 928);
    }
    std::uint32_t root = 1;
    for (std::uint32_t i = 1; i <= k; ++i) {
        root = root * 3 % 929;
        ASSERT_EQ(evaluate(codewords, root), 0u) << "root 3^" << i;
    }
    const SymbolMatrix& matrix = symbol.matrix;
    ASSERT_EQ(matrix.rowCount, symbol.rows);
    ASSERT_EQ(matrix.elementsPerRow, 8 * (symbol.columns + (symbol.compact ? 1 : 2)));
    const MatrixShape shape{symbol.columns, symbol.rows, symbol.errorCorrectionLevel,
                            symbol.compact};
    for (std::uint32_t row = 0; row < rows; ++row) {
        const int r = static_cast<int>(row);
        ASSERT_EQ(patternValue(matrix, r, 0), leftRowIndicator(shape, r % 3, r)) << "row " << row;
        for (std::uint32_t column = 0; column < columns; ++column) {
            ASSERT_EQ(patternValue(matrix, r, static_cast<int>(column) + 1),
                      codewords[row * columns + column])
                << "row " << row << " column " << column;
        }
    }
}

// Two capitals in text mode: one data codeword, level 2, 4 rows of 3.
TEST(EncodingDriver, TwoCapitalsInTextMode) {
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settingsFor("AB", 1, kAutomaticErrorCorrection, 3, 0), symbol), status::kOk);
    EXPECT_EQ(symbol.codewords,
              (std::vector<std::uint16_t>{4, 1, 900, 900, 914, 669, 734, 299, 859, 223, 391, 765}));
    EXPECT_EQ(symbol.columns, 3);
    EXPECT_EQ(symbol.rows, 4);
    EXPECT_EQ(symbol.errorCorrectionLevel, 2);
    EXPECT_FALSE(symbol.compact);
    const int indicators[4][2] = {{1, 2}, {6, 1}, {2, 6}, {31, 32}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(patternValue(symbol.matrix, row, 0), indicators[row][0]) << row;
        EXPECT_EQ(patternValue(symbol.matrix, row, 4), indicators[row][1]) << row;
    }
    expectReadableSymbol(symbol);
}

struct LayoutCase {
    const char* name;
    SymbolSettings settings;
    Status status;
    int columns = 0;  // checked only with status 0
    int rows = 0;
    int padCount = 0;
};

// n = 2 (descriptor and one codeword) for "AB" in text mode. A refused
// encode leaves the symbol empty, even one that held an earlier symbol.
TEST(EncodingDriver, LevelsDimensionsAndPadding) {
    const std::string capitals830(830, 'A');  // 415 codewords: n = 416
    const std::string capitals832(832, 'A');  // n = 417
    const LayoutCase cases[] = {
        {"level 0: 4 codewords raised to 3 rows", settingsFor("AB", 1, 0, 3, 0), status::kOk, 3, 3,
         5},
        {"automatic level: 10 codewords in 4 rows", settingsFor("AB", 1, 9, 3, 0), status::kOk, 3,
         4, 2},
        {"rows given, columns computed", settingsFor("AB", 1, 9, 0, 3), status::kOk, 4, 3, 2},
        {"level 8, n 416: 928 in all", settingsFor(capitals830, 1, 8, 29, 0), status::kOk, 29, 32,
         0},
        {"level 8, n 417", settingsFor(capitals832, 1, 8, 29, 0), status::kDataCountAbove928},
        // 928 codewords need 31 rows of 30: 930 places, more than a reader takes.
        {"level 8, n 416, 30 columns", settingsFor(capitals830, 1, 8, 30, 0),
         status::kDataCountAbove928},
        // A grid with room for a descriptor up to 926 but 1000 codewords in all.
        {"25 x 40 at level 6", settingsFor("AB", 1, 6, 25, 40), status::kDataCountAbove928},
        {"30 x 90", settingsFor("AB", 1, 9, 30, 90), status::kDataCountAbove928},
        {"grid too small", settingsFor(capitals830, 1, 2, 3, 3), status::kGridTooSmall},
        {"3 rows cannot hold it", settingsFor(capitals830, 1, 2, 0, 3), status::kDataTooLarge},
        {"bad columns", settingsFor("AB", 1, 9, 31, 0), status::kColumnsOutOfRange},
        {"bad rows", settingsFor("AB", 1, 9, 3, 2), status::kRowsOutOfRange},
        {"no dimension", settingsFor("AB", 1, 9, 0, 0), status::kColumnsAndRowsNull},
        {"level 10", settingsFor("AB", 1, 10, 3, 0), status::kInvalidArgument},
        {"level -1", settingsFor("AB", 1, -1, 3, 0), status::kInvalidArgument},
        {"data compaction cannot take", settingsFor("a\x01", 1, 9, 3, 0),
         status::kTextModeCharacters},
        // Nothing else about the symbol can be known without compaction.
        {"mode checked before the shape", settingsFor("AB", 5, 9, 31, 0),
         status::kInvalidCompactionMode},
        {"negative mode", settingsFor("AB", -1, 9, 3, 0), status::kInvalidCompactionMode},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EncodedSymbol symbol;
        ASSERT_EQ(encode(SymbolSettings{}, symbol), status::kOk);
        ASSERT_EQ(encode(c.settings, symbol), c.status);
        if (c.status != status::kOk) {
            EXPECT_TRUE(symbol.codewords.empty());
            EXPECT_TRUE(symbol.matrix.widths.empty());
            EXPECT_EQ(symbol.matrix.rowCount, 0);
            EXPECT_EQ(symbol.columns, 0);
            EXPECT_EQ(symbol.rows, 0);
            continue;
        }
        EXPECT_EQ(symbol.columns, c.columns);
        EXPECT_EQ(symbol.rows, c.rows);
        const std::vector<std::uint16_t>& codewords = symbol.codewords;
        const std::uint32_t k = 2u << symbol.errorCorrectionLevel;
        const std::size_t dataEnd = codewords.size() - k;
        int pads = 0;
        for (std::size_t i = dataEnd; i > 0 && codewords[i - 1] == kPad; --i) {
            ++pads;
        }
        EXPECT_EQ(pads, c.padCount);
        expectReadableSymbol(symbol);
    }
}

// The Macro block is counted with the data but placed after the pad
// codewords, right before the error correction; a bad field refuses the
// encode.
TEST(EncodingDriver, MacroBlockFollowsThePadding) {
    // n = 2 + 8 = 10, level 2, N = 18 in rows of 5: 4 rows, 2 pad codewords.
    SymbolSettings settings = settingsFor("AB", 1, 9, 5, 0);
    settings.macro.enabled = true;
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    const std::vector<std::uint16_t> expectedStart{12,  1, 900, 900, 928, 111,
                                                   100, 1, 923, 1,   111, 102};
    ASSERT_EQ(symbol.codewords.size(), 20u);
    EXPECT_EQ(std::vector<std::uint16_t>(symbol.codewords.begin(), symbol.codewords.begin() + 12),
              expectedStart);
    expectReadableSymbol(symbol);

    settings.macro.segmentIndex = 3;
    EXPECT_EQ(encode(settings, symbol), status::kMacroSegmentIndexAboveCount);
    EXPECT_TRUE(symbol.codewords.empty());
}

// An ECI number given apart from the data opens the data codewords, in the
// designator that its range takes, after reader initialisation and before
// a forced mode's latch; it gives the same symbol as the escape that says
// the same; a number without a designator is refused.
TEST(EncodingDriver, EciDesignatorOpensTheData) {
    struct EciCase {
        const char* name;
        const char* data;
        std::int32_t mode;
        bool escapes;
        std::int32_t eci;
        Status status;
        std::vector<std::uint16_t> dataStart;  // after the descriptor
    };
    const EciCase cases[] = {
        {"UTF-8", "AB", 0, false, 26, status::kOk, {927, 26, 1}},
        {"lowest", "AB", 0, false, 0, status::kOk, {927, 0, 1}},
        {"two codewords from 900", "AB", 0, false, 900, status::kOk, {926, 0, 0, 1}},
        {"highest", "AB", 0, false, kMaxEci, status::kOk, {925, 899, 1}},
        {"before the numeric latch", "123", 2, false, 3, status::kOk, {927, 3, 902}},
        {"before the byte latch", "AB", 3, false, 26, status::kOk, {927, 26, 924}},
        {"after reader initialisation", "~3AB", 0, true, 26, status::kOk, {921, 927, 26, 1}},
        {"none", "AB", 0, false, kNoEci, status::kOk, {1}},
        {"negative", "AB", 0, false, -2, status::kInvalidArgument, {}},
        {"beyond the designators", "AB", 0, false, kMaxEci + 1, status::kInvalidArgument, {}},
    };
    for (const EciCase& c : cases) {
        SCOPED_TRACE(c.name);
        SymbolSettings settings = settingsFor(c.data, c.mode, 9, 3, 0);
        settings.escapes = c.escapes;
        settings.eci = c.eci;
        EncodedSymbol symbol;
        ASSERT_EQ(encode(settings, symbol), c.status);
        if (c.status == status::kOk) {
            ASSERT_GT(symbol.codewords.size(), c.dataStart.size());
            EXPECT_EQ(
                std::vector<std::uint16_t>(
                    symbol.codewords.begin() + 1,
                    symbol.codewords.begin() + 1 + static_cast<std::ptrdiff_t>(c.dataStart.size())),
                c.dataStart);
            expectReadableSymbol(symbol);
        }
    }
    for (const std::int32_t mode : {0, 4}) {
        SymbolSettings apart = settingsFor("Gr\xc3\xbc\xc3\x9f 123456789012345", mode, 9, 4, 0);
        apart.eci = 26;
        SymbolSettings escaped = apart;
        escaped.eci = kNoEci;
        escaped.escapes = true;
        escaped.data = "~7000026" + apart.data;
        EncodedSymbol apartSymbol;
        EncodedSymbol escapedSymbol;
        ASSERT_EQ(encode(apart, apartSymbol), status::kOk);
        ASSERT_EQ(encode(escaped, escapedSymbol), status::kOk);
        EXPECT_EQ(apartSymbol.codewords, escapedSymbol.codewords) << "mode " << mode;
    }
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
        std::string data;
        const int length = static_cast<int>(random() % (trial % 10 == 0 ? 1200 : 120));
        const bool digitsOnly = random() % 4 == 0;
        for (int i = 0; i < length; ++i) {
            data += digitsOnly ? static_cast<char>('0' + random() % 10)
                               : alphabet[random() % alphabet.size()];
        }
        const auto mode = static_cast<std::int32_t>(random() % 4);
        const auto level = static_cast<std::int32_t>(random() % 10);
        auto columns = static_cast<std::int32_t>(random() % 31);
        const std::int32_t rows =
            random() % 3 == 0 ? static_cast<std::int32_t>(3 + random() % 88) : 0;
        if (columns == 0 && rows == 0) {
            columns = 1 + static_cast<std::int32_t>(random() % 30);
        }
        SymbolSettings settings = settingsFor(data, mode, level, columns, rows);
        settings.compact = random() % 2 == 0;
        settings.escapes = trial % 2 == 0;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << ": mode " << mode << ", level " << level << ", "
                     << columns << " x " << rows << ", " << length << " bytes");
        EncodedSymbol symbol;
        const Status result = encode(settings, symbol);
        if (result == status::kOk) {
            ++successes;
            EXPECT_EQ(symbol.compact, settings.compact);
            expectReadableSymbol(symbol);
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
