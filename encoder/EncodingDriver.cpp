#include <algorithm>
#include <new>

#include "encoder/Pdf417Encoder.h"
#include "encoder/ReedSolomon.h"
#include "encoder/SymbolLimits.h"

namespace barwright {
namespace {

// Room for any symbol (at most 928 codewords) without growing mid-encode.
constexpr std::size_t kInitialStreamCapacity = 1000;
// Fills the grid between the data and the Macro block; a reader takes it as
// a latch to text compaction, which adds no data.
constexpr Codeword kPadCodeword = 900;
// Placeholder for the symbol length descriptor, written once the pad is known.
constexpr Codeword kDescriptorPlaceholder = 0;

// Upper bounds (codewords before error correction) of the automatic levels
// 2, 3 and 4; anything above the last gets level 5.
constexpr std::uint32_t kLevel2MaxCodewords = 40;
constexpr std::uint32_t kLevel3MaxCodewords = 166;
constexpr std::uint32_t kLevel4MaxCodewords = 320;

std::uint32_t ceilDiv(std::uint32_t numerator, std::uint32_t denominator) {
    return numerator / denominator + (numerator % denominator != 0 ? 1 : 0);
}

// The 8-bit result fields keep a rejected value out of range instead of
// letting it wrap round to a plausible-looking one (310 would become 54).
std::uint8_t saturateToByte(std::uint32_t value) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
}

}  // namespace

Status Pdf417Encoder::encode() {
    // Every growable array of an encode (the stream, the unit sequence, the
    // Macro block) is owned below this call, so an allocation failure
    // anywhere in it becomes this encode's "Fail".
    try {
        return encodeSymbol();
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

Status Pdf417Encoder::encodeSymbol() {
    codewords_ = CodewordStream();
    codewords_.reserve(kInitialStreamCapacity);
    compactor_.startSymbol();
    codewords_.push_back(kDescriptorPlaceholder);

    const UnitSequence units = Compactor::preprocessData(data_, compactionMode_);
    Status result = status::kOk;
    if (compactionMode_ == Compactor::kModeAutomatic) {
        result = compactor_.compactAutomatic(units, codewords_);
    } else if (compactionMode_ == Compactor::kModeShortest) {
        result = compactor_.compactShortest(units, codewords_);
    } else if (compactionMode_ >= Compactor::kModeText && compactionMode_ <= Compactor::kModeByte) {
        result = compactor_.compactFixed(units, codewords_);
    } else {
        return status::kInvalidCompactionMode;
    }
    if (result != status::kOk) {
        return result;
    }

    // Built apart so that it can follow the pad codewords, which are only
    // known once the dimensions are.
    CodewordStream macroBlock;
    result = buildMacroControlBlock(macroBlock);
    if (result != status::kOk) {
        return result;
    }

    // Only library callers can set a level outside 0..9 (the command line
    // accepts no other); it has no meaning, so it is refused, not guessed at.
    if (errorCorrectionLevel_ < 0 || errorCorrectionLevel_ > kAutomaticErrorCorrection) {
        return status::kInvalidArgument;
    }

    // n counts the descriptor, the data and the Macro block; checked before
    // narrowing, since very long data may give far more than 928 codewords.
    const std::size_t dataCount = codewords_.size() + macroBlock.size();
    if (dataCount > kMaxSymbolCodewords) {
        return status::kDataCountAbove928;
    }
    const auto n = static_cast<std::uint32_t>(dataCount);
    const std::uint32_t k = errorCorrectionCount(n);
    if (k + n > kMaxSymbolCodewords) {
        return status::kDataCountAbove928;
    }

    result = chooseDimensions(n + k);
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
    const std::uint32_t total = static_cast<std::uint32_t>(columns_) * rows_;
    if (total > kMaxSymbolCodewords) {
        return status::kDataCountAbove928;
    }

    const std::uint32_t pad = total - k - n;
    codewords_.insert(codewords_.end(), pad, kPadCodeword);
    codewords_.insert(codewords_.end(), macroBlock.begin(), macroBlock.end());

    const std::uint32_t descriptor = n + pad;
    codewords_[0] = static_cast<Codeword>(descriptor);
    computeErrorCorrection(codewords_.data(), static_cast<std::uint16_t>(descriptor),
                           static_cast<std::uint16_t>(k), codewords_);

    if (!matrix_.build(columns_, rows_, compact_,
                       static_cast<std::uint8_t>(usedErrorCorrectionLevel_), codewords_)) {
        return status::kFail;
    }
    return status::kOk;
}

std::uint32_t Pdf417Encoder::autoErrorCorrectionLevel(std::uint32_t codewordCount) {
    if (codewordCount <= kLevel2MaxCodewords) {
        return 2;
    }
    if (codewordCount <= kLevel3MaxCodewords) {
        return 3;
    }
    if (codewordCount <= kLevel4MaxCodewords) {
        return 4;
    }
    return 5;
}

std::uint32_t Pdf417Encoder::errorCorrectionCount(std::uint32_t codewordCount) {
    // Anything other than an explicit 0..8 is taken as automatic here; the
    // encode refuses levels outside 0..9 before it gets this far.
    std::uint32_t level = 0;
    if (errorCorrectionLevel_ >= 0 && errorCorrectionLevel_ <= kMaxErrorCorrectionLevel) {
        level = static_cast<std::uint32_t>(errorCorrectionLevel_);
    } else {
        level = autoErrorCorrectionLevel(codewordCount);
    }
    usedErrorCorrectionLevel_ = level;
    return 2u << level;
}

Status Pdf417Encoder::chooseDimensions(std::uint32_t neededCodewords) {
    const std::int32_t c = requestedColumns_;
    const std::int32_t r = requestedRows_;
    if (c < 0 || c > kMaxColumns) {
        return status::kColumnsOutOfRange;
    }
    if (r != 0 && (r < kMinRows || r > kMaxRows)) {
        return status::kRowsOutOfRange;
    }
    if (c == 0 && r == 0) {
        return status::kColumnsAndRowsNull;
    }

    // Exactly one of the two may be automatic; it becomes the smallest that
    // holds every codeword.
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    if (c != 0 && r != 0) {
        if (static_cast<std::uint32_t>(r) * static_cast<std::uint32_t>(c) < neededCodewords) {
            return status::kGridTooSmall;
        }
        columns = static_cast<std::uint32_t>(c);
        rows = static_cast<std::uint32_t>(r);
    } else if (c != 0) {
        columns = static_cast<std::uint32_t>(c);
        rows = ceilDiv(neededCodewords, columns);
    } else {
        rows = static_cast<std::uint32_t>(r);
        columns = ceilDiv(neededCodewords, rows);
    }
    rows = std::max<std::uint32_t>(rows, kMinRows);

    // Compared at full width: a computed count may not fit the 8-bit fields.
    columns_ = saturateToByte(columns);
    rows_ = saturateToByte(rows);
    if (columns < kMinColumns || columns > kMaxColumns || rows > kMaxRows) {
        return status::kDataTooLarge;
    }
    return status::kOk;
}

}  // namespace barwright
