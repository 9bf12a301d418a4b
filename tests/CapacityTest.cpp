// What symbols hold and the change that makes data fit, against the encoder
// itself: the capacity of a shape is what encode() leaves for data in it,
// the data codewords counted are those encode() writes, and every advised
// change makes the data fit while the next smaller one does not.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "barwright/Capacity.h"
#include "barwright/Encoder.h"
#include "barwright/MacroSegments.h"

namespace barwright {
namespace {

TEST(Capacity, ShapeCapacityIsWhatEncodeLeavesForData) {
    for (const std::int32_t columns : {1, 3, 7, 30}) {
        for (const std::int32_t rows : {3, 10, 30, 90}) {
            for (const std::int32_t level : {0, 2, 5, 8}) {
                SCOPED_TRACE(std::to_string(columns) + " x " + std::to_string(rows) + ", level " +
                             std::to_string(level));
                SymbolSettings settings;
                settings.data = "1";
                settings.columns = columns;
                settings.rows = rows;
                settings.errorCorrectionLevel = level;
                EncodedSymbol symbol;
                const Status result = encode(settings, symbol);
                const std::int32_t capacity = shapeDataCapacity(columns, rows, level);
                if (result == status::kOk) {
                    EXPECT_EQ(capacity, symbol.dataCapacity);
                    EXPECT_EQ(symbol.dataCodewordCount, 1);
                } else {
                    EXPECT_EQ(capacity, 0) << "status " << result;
                }
            }
        }
    }
    // An automatic side grows while the symbol stays within 928 codewords.
    EXPECT_EQ(shapeDataCapacity(3, 0, 5), 3 * 90 - 64 - 1);
    EXPECT_EQ(shapeDataCapacity(30, 0, 0), 30 * 30 - 2 - 1);
    EXPECT_EQ(shapeDataCapacity(0, 10, 2, 5), 10 * 30 - 8 - 1 - 5);
    EXPECT_EQ(shapeDataCapacity(0, 0, 2), 0);
}

TEST(Capacity, CountIsWhatEncodeWrites) {
    for (const CompactionMode mode :
         {CompactionMode::kAutomatic, CompactionMode::kByte, CompactionMode::kShortest}) {
        SymbolSettings settings;
        settings.data = "Invoice 2024-0042: 3 x widget~X00 @ 19.99";
        settings.escapes = true;
        settings.compaction = mode;
        settings.columns = 10;
        EncodedSymbol symbol;
        ASSERT_EQ(encode(settings, symbol), status::kOk);
        std::int32_t count = -1;
        EXPECT_EQ(countDataCodewords(settings, count), status::kOk);
        EXPECT_EQ(count, symbol.dataCodewordCount) << static_cast<int>(mode);
    }
    SymbolSettings digitsAsText;
    digitsAsText.data = "12a";
    digitsAsText.compaction = CompactionMode::kNumeric;
    std::int32_t count = -1;
    EXPECT_EQ(countDataCodewords(digitsAsText, count), status::kNumericModeCharacters);
}

bool encodes(SymbolSettings settings, std::int32_t segmentCount) {
    settings.macro.fileId = "#001";
    if (segmentCount == 0) {
        EncodedSymbol symbol;
        return encode(settings, symbol) == status::kOk;
    }
    std::vector<EncodedSymbol> symbols;
    return encodeMacroSegments(settings, segmentCount, symbols) == status::kOk;
}

// Applies the advice's change, or the same change one step short of it.
SymbolSettings changed(SymbolSettings settings, const FitAdvice& advice, std::int32_t& segments,
                       bool oneShort) {
    const std::int32_t value = advice.value - (oneShort ? 1 : 0);
    switch (advice.change) {
        case FitChange::kColumns:
            settings.columns = value;
            break;
        case FitChange::kRows:
            settings.rows = value;
            break;
        case FitChange::kShortest:
            settings.compaction = oneShort ? settings.compaction : CompactionMode::kShortest;
            break;
        case FitChange::kErrorCorrectionLevel:
            settings.errorCorrectionLevel = advice.value + (oneShort ? 1 : 0);
            break;
        case FitChange::kSegments:
            segments = value;
            break;
        case FitChange::kNone:
            break;
    }
    return settings;
}

TEST(Capacity, AdvisedChangeIsTheSmallestThatFits) {
    struct Shape {
        std::int32_t columns, rows, level, segments;
    };
    const Shape shapes[] = {{3, 0, 9, 0},  {0, 5, 9, 0}, {5, 10, 9, 0},
                            {30, 0, 8, 0}, {3, 0, 9, 2}, {30, 0, 2, 0}};
    const std::string pieces[] = {"Ab12cD", "aB1~X01", "7", "Invoice 42, "};
    std::set<FitChange> seen;
    for (const Shape& shape : shapes) {
        for (const std::string& piece : pieces) {
            for (const std::size_t length : {200u, 700u, 1600u, 4000u}) {
                SymbolSettings settings;
                settings.escapes = true;
                while (settings.data.size() < length) settings.data += piece;
                settings.columns = shape.columns;
                settings.rows = shape.rows;
                settings.errorCorrectionLevel = shape.level;
                SCOPED_TRACE(piece + " x " + std::to_string(length) + " in " +
                             std::to_string(shape.columns) + " x " + std::to_string(shape.rows));
                if (encodes(settings, shape.segments)) {
                    continue;
                }
                FitAdvice advice;
                ASSERT_EQ(adviseFit(settings, shape.segments, advice), status::kOk);
                seen.insert(advice.change);
                if (advice.change == FitChange::kNone) {
                    continue;
                }
                std::int32_t segments = shape.segments;
                const SymbolSettings advised = changed(settings, advice, segments, false);
                EXPECT_TRUE(encodes(advised, segments))
                    << "the advice does not fit: change " << static_cast<int>(advice.change)
                    << " to " << advice.value;
                segments = shape.segments;
                const SymbolSettings shorter = changed(settings, advice, segments, true);
                const bool firstStep =
                    (advice.change == FitChange::kColumns && advice.value - 1 == shape.columns) ||
                    (advice.change == FitChange::kRows && advice.value - 1 == shape.rows) ||
                    (advice.change == FitChange::kSegments &&
                     advice.value - 1 <= std::max(shape.segments, 1));
                if (!firstStep) {
                    EXPECT_FALSE(encodes(shorter, segments)) << "a smaller change fits too";
                }
            }
        }
    }
    for (const FitChange change : {FitChange::kColumns, FitChange::kRows, FitChange::kShortest,
                                   FitChange::kErrorCorrectionLevel, FitChange::kSegments}) {
        EXPECT_EQ(seen.count(change), 1u) << "no case advised change " << static_cast<int>(change);
    }
}

}  // namespace
}  // namespace barwright
