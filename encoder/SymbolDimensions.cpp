#include "encoder/SymbolDimensions.h"

#include <algorithm>

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
