#include "encoder/SymbolDimensions.h"

#include <algorithm>
#include <limits>

#include "barwright/EncodedSymbol.h"
#include "barwright/SymbolSettings.h"

namespace barwright {
namespace {

// The automatic levels by the most codewords (before error correction) each
// takes; anything above the last gets kTopAutomaticLevel.
struct AutomaticLevel {
    std::uint32_t maxCodewords;
    std::int32_t level;
};
constexpr AutomaticLevel kAutomaticLevels[] = {{40, 2}, {166, 3}, {320, 4}};
constexpr std::int32_t kTopAutomaticLevel = 5;

// Reported for a computed dimension that does not even fit in a byte, so a
// rejected value is never mistaken for a plausible one (310 is not 54).
constexpr std::uint32_t kSaturatedDimension = 255;

std::uint32_t ceilDiv(std::uint32_t numerator, std::uint32_t denominator) {
    return numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
}

}  // namespace

std::int32_t autoErrorCorrectionLevel(std::uint32_t codewordCount) {
    for (const AutomaticLevel& automatic : kAutomaticLevels) {
        if (codewordCount <= automatic.maxCodewords) {
            return automatic.level;
        }
    }
    return kTopAutomaticLevel;
}

std::int32_t resolveErrorCorrectionLevel(std::int32_t requestedLevel, std::uint64_t codewordCount) {
    if (requestedLevel != kAutomaticErrorCorrection) {
        return requestedLevel;
    }
    return autoErrorCorrectionLevel(static_cast<std::uint32_t>(
        std::min<std::uint64_t>(codewordCount, std::numeric_limits<std::uint32_t>::max())));
}

Status chooseLayout(std::int32_t requestedColumns, std::int32_t requestedRows,
                    std::int32_t requestedLevel, std::uint64_t codewordCount,
                    CodewordLayout& layout) {
    // A level outside 0..9 has no meaning, so it is refused, not guessed at.
    if (requestedLevel < 0 || requestedLevel > kAutomaticErrorCorrection) {
        return status::kInvalidArgument;
    }
    // Checked before narrowing, since very long data may give far more than
    // 928 codewords.
    if (codewordCount > static_cast<std::uint64_t>(kMaxSymbolCodewords)) {
        return status::kDataCountAbove928;
    }
    const auto n = static_cast<std::uint32_t>(codewordCount);
    layout.level = resolveErrorCorrectionLevel(requestedLevel, n);
    layout.errorCorrectionCount = 2u << layout.level;
    const std::uint32_t k = layout.errorCorrectionCount;
    if (k + n > static_cast<std::uint32_t>(kMaxSymbolCodewords)) {
        return status::kDataCountAbove928;
    }
    const Status result =
        chooseDimensions(requestedColumns, requestedRows, n + k, layout.columns, layout.rows);
    if (result != status::kOk) {
        return result;
    }
    // A requested grid, or a computed row count rounded up, can hold more
    // than 928 codewords (25 x 40 = 1000, or 30 columns and N = 928 -> 31
    // rows = 930) even while the descriptor stays within 926. Readers that
    // keep to the limit refuse such a symbol, and error correction cannot
    // place errors in it: 3 has order 928 modulo 929, so positions 928 apart
    // share an error locator and a damaged symbol may be misread without
    // notice. It is refused with the status for too much data. This also
    // bounds the descriptor: with k >= 2, D = total - k <= 926.
    const auto total = static_cast<std::uint32_t>(layout.columns * layout.rows);
    if (total > static_cast<std::uint32_t>(kMaxSymbolCodewords)) {
        return status::kDataCountAbove928;
    }
    return status::kOk;
}

Status chooseDimensions(std::int32_t requestedColumns, std::int32_t requestedRows,
                        std::uint32_t neededCodewords, std::int32_t& columns, std::int32_t& rows) {
    const std::int32_t c = requestedColumns;
    const std::int32_t r = requestedRows;
    if (c < 0 || c > kMaxColumns) {
        return status::kColumnsOutOfRange;
    }
    if (r != kAutomaticDimension && (r < kMinRows || r > kMaxRows)) {
        return status::kRowsOutOfRange;
    }
    if (c == kAutomaticDimension && r == kAutomaticDimension) {
        return status::kColumnsAndRowsNull;
    }

    // Exactly one of the two may be automatic; it becomes the smallest that
    // holds every codeword.
    std::uint32_t chosenColumns = 0;
    std::uint32_t chosenRows = 0;
    if (c != kAutomaticDimension && r != kAutomaticDimension) {
        if (static_cast<std::uint32_t>(r) * static_cast<std::uint32_t>(c) < neededCodewords) {
            return status::kGridTooSmall;
        }
        chosenColumns = static_cast<std::uint32_t>(c);
        chosenRows = static_cast<std::uint32_t>(r);
    } else if (c != kAutomaticDimension) {
        chosenColumns = static_cast<std::uint32_t>(c);
        chosenRows = ceilDiv(neededCodewords, chosenColumns);
    } else {
        chosenRows = static_cast<std::uint32_t>(r);
        chosenColumns = ceilDiv(neededCodewords, chosenRows);
    }
    chosenRows = std::max<std::uint32_t>(chosenRows, kMinRows);

    columns = static_cast<std::int32_t>(std::min(chosenColumns, kSaturatedDimension));
    rows = static_cast<std::int32_t>(std::min(chosenRows, kSaturatedDimension));
    if (chosenColumns < kMinColumns || chosenColumns > kMaxColumns || chosenRows > kMaxRows) {
        return status::kDataTooLarge;
    }
    return status::kOk;
}

}  // namespace barwright
