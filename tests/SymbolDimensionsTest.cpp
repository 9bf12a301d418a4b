#include <gtest/gtest.h>

#include "encoder/Pdf417Encoder.h"

namespace barwright {
namespace {

TEST(SymbolDimensions, AutomaticErrorCorrectionLevel) {
    struct Case {
        std::uint32_t codewords;
        std::uint32_t level;
    };
    const Case cases[] = {{1, 2},   {40, 2},  {41, 3},  {160, 3}, {166, 3},
                          {167, 4}, {320, 4}, {321, 5}, {928, 5}};
    for (const Case& c : cases) {
        EXPECT_EQ(Pdf417Encoder::autoErrorCorrectionLevel(c.codewords), c.level)
            << "n = " << c.codewords;
    }
}

TEST(SymbolDimensions, ErrorCorrectionCountRecordsTheLevelUsed) {
    struct Case {
        std::int32_t setting;
        std::uint32_t codewords;
        std::uint32_t count;
        std::uint32_t level;
    };
    const Case cases[] = {
        {0, 100, 2, 0}, {1, 100, 4, 1}, {4, 100, 32, 4}, {8, 100, 512, 8},
        {9, 40, 8, 2},  {9, 41, 16, 3}, {9, 167, 32, 4}, {9, 321, 64, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "setting " << c.setting << ", n = " << c.codewords);
        Pdf417Encoder encoder;
        ASSERT_EQ(encoder.setDeferred(true), status::kOk);
        ASSERT_EQ(encoder.setErrorCorrectionLevel(c.setting), status::kOk);
        EXPECT_EQ(encoder.errorCorrectionCount(c.codewords), c.count);
        EXPECT_EQ(encoder.usedErrorCorrectionLevel(), c.level);
    }
}

struct DimensionCase {
    const char* name;
    std::int32_t requestedColumns;
    std::int32_t requestedRows;
    std::uint32_t needed;
    Status status;
    int columns;  // -1: not checked (left as the last encode had it)
    int rows;
};

TEST(SymbolDimensions, ChooseDimensions) {
    const DimensionCase cases[] = {
        {"3 columns, 10 codewords", 3, 0, 10, status::kOk, 3, 4},
        {"3 columns, 4 codewords: raised to 3 rows", 3, 0, 4, status::kOk, 3, 3},
        {"1 column, 90 codewords", 1, 0, 90, status::kOk, 1, 90},
        {"1 column, 91 codewords", 1, 0, 91, status::kDataTooLarge, 1, 91},
        // 259 rows do not fit the 8-bit field: kept visibly out of range.
        {"1 column, 259 codewords", 1, 0, 259, status::kDataTooLarge, 1, 255},
        {"3 rows, 90 codewords", 0, 3, 90, status::kOk, 30, 3},
        {"3 rows, 91 codewords", 0, 3, 91, status::kDataTooLarge, 31, 3},
        {"3 rows, 100 codewords", 0, 3, 100, status::kDataTooLarge, 34, 3},
        {"90 rows, 928 codewords", 0, 90, 928, status::kOk, 11, 90},
        // Accepted here; the driver refuses the 930 places (see the driver test).
        {"30 columns, 928 codewords", 30, 0, 928, status::kOk, 30, 31},
        {"grid exactly full", 5, 3, 15, status::kOk, 5, 3},
        {"grid one short", 5, 3, 16, status::kGridTooSmall, -1, -1},
        {"grid larger than needed", 30, 90, 10, status::kOk, 30, 90},
        {"both automatic", 0, 0, 10, status::kColumnsAndRowsNull, -1, -1},
        {"31 columns", 31, 0, 10, status::kColumnsOutOfRange, -1, -1},
        {"-1 columns", -1, 0, 10, status::kColumnsOutOfRange, -1, -1},
        {"columns checked before rows", 31, 2, 10, status::kColumnsOutOfRange, -1, -1},
        {"2 rows", 3, 2, 10, status::kRowsOutOfRange, -1, -1},
        {"91 rows", 3, 91, 10, status::kRowsOutOfRange, -1, -1},
        {"-3 rows", 3, -3, 10, status::kRowsOutOfRange, -1, -1},
    };
    for (const DimensionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Pdf417Encoder encoder;
        ASSERT_EQ(encoder.setDeferred(true), status::kOk);
        ASSERT_EQ(encoder.setColumns(c.requestedColumns), status::kOk);
        ASSERT_EQ(encoder.setRows(c.requestedRows), status::kOk);
        EXPECT_EQ(encoder.chooseDimensions(c.needed), c.status);
        if (c.columns >= 0) {
            EXPECT_EQ(encoder.columns(), c.columns);
            EXPECT_EQ(encoder.rows(), c.rows);
        }
    }
}

// The mode is checked before any dimension or level: nothing else about
// the symbol can be known without compaction.
TEST(SymbolDimensions, InvalidCompactionModeFailsTheEncode) {
    for (std::int32_t mode : {-1, 5, 100}) {
        Pdf417Encoder encoder;
        EXPECT_EQ(encoder.setCompactionMode(mode), status::kInvalidCompactionMode) << mode;
        EXPECT_EQ(encoder.encodeStatus(), status::kInvalidCompactionMode);
    }
}

}  // namespace
}  // namespace barwright
