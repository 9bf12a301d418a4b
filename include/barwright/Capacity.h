#pragma once

#include <cstdint>

#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"

namespace barwright {

// What symbols hold, and the change that makes data fit, for messages that
// say more than "too large". Data codewords are counted as
// EncodedSymbol::dataCodewordCount counts them: the data's own codewords,
// latches and shifts included, without the length descriptor, the padding,
// the Macro block and the error correction.

// The data codewords of settings.data in settings.compaction (with
// settings.escapes), also where no symbol holds them: 0..INT32_MAX, larger
// counts saturated. The compaction's status otherwise
// (kInvalidCompactionMode, kTextModeCharacters, kNumericModeCharacters);
// kFail when memory runs out.
[[nodiscard]] Status countDataCodewords(const SymbolSettings& settings, std::int32_t& count);

// The data codewords that a symbol of this shape holds at this error
// correction level beside its length descriptor and overheadCodewords more
// (a Macro block), within the 928 codewords of a whole symbol: columns
// 1..30, or 0 for as many as the rows allow; rows 3..90, or 0 for as many as
// the columns allow (not both 0); level 0..8. 0..925; 0 also for a shape or
// level out of range.
std::int32_t shapeDataCapacity(std::int32_t columns, std::int32_t rows, std::int32_t level,
                               std::int32_t overheadCodewords = 0);

// The changes that adviseFit weighs, in the order it weighs them: the first
// keeps the data and its protection and only widens the symbol, the last
// spreads the data over several symbols.
enum class FitChange {
    kNone,                  // the data fits already, or no single change makes it fit
    kColumns,               // more data columns (the rows as they are)
    kRows,                  // more rows: where the columns are automatic, or no column count fits
    kShortest,              // CompactionMode::kShortest
    kErrorCorrectionLevel,  // a lower level: the highest that fits
    kSegments,              // a Macro PDF417 file of more symbols (at most 999 advised)
};

struct FitAdvice {
    // The fullest symbol's data codewords (0..INT32_MAX), the error
    // correction level it gets (0..8, an automatic level resolved), and what
    // the settings' shape holds at that level beside its Macro block (0..925).
    std::int32_t dataCodewords = 0;
    std::int32_t level = 0;
    std::int32_t capacity = 0;
    FitChange change = FitChange::kNone;
    // Columns 2..30, rows 4..90, level 0..7 or symbols 2..999 as the change
    // says; 0 for kNone and kShortest.
    std::int32_t value = 0;
};

// The first change of FitChange's order with which the data fits: for
// segmentCount 0, one symbol as encode(settings) makes it; for 1..99999, the
// Macro PDF417 file of encodeMacroSegments(settings, segmentCount). Every
// change is checked by the encoder's own rules. The status of a compaction
// or Macro field that fails whatever the shape (advice then empty), kFail
// when memory runs out.
[[nodiscard]] Status adviseFit(const SymbolSettings& settings, std::int32_t segmentCount,
                               FitAdvice& advice);

}  // namespace barwright
