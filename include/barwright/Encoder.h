#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"

namespace barwright {

// The symbol's rows as element widths in modules (1..6): bar, space, bar,
// ... eight per codeword, for the left row indicator, the data columns and
// (unless compact) the right row indicator. The start and stop patterns,
// the same in every row, are not included.
struct SymbolMatrix {
    std::int32_t rowCount = 0;
    std::int32_t elementsPerRow = 0;   // 8 x (columns + 2), or 8 x (columns + 1) when compact
    std::vector<std::uint8_t> widths;  // rowCount x elementsPerRow, top row first

    std::uint8_t width(std::int32_t row, std::int32_t element) const {
        return widths[static_cast<std::size_t>(row) * static_cast<std::size_t>(elementsPerRow) +
                      static_cast<std::size_t>(element)];
    }
    const std::uint8_t* row(std::int32_t row) const {
        return widths.data() +
               static_cast<std::size_t>(row) * static_cast<std::size_t>(elementsPerRow);
    }
};

// One finished PDF417 symbol: all that a renderer needs.
struct EncodedSymbol {
    // Every codeword (0..928) in reading order: the length descriptor, the
    // data, the padding, the Macro block and the error correction,
    // columns x rows in all.
    std::vector<std::uint16_t> codewords;
    std::int32_t columns = 0;               // data columns, 1..30
    std::int32_t rows = 0;                  // 3..90
    std::int32_t errorCorrectionLevel = 0;  // the level used, 0..8 (the automatic choice resolved)
    bool compact = false;
    // The codewords of the data alone, latches and shifts included: not the
    // length descriptor, the padding, the Macro block or the error
    // correction; 0..925.
    std::int32_t dataCodewordCount = 0;
    // The data codewords the symbol could hold: dataCodewordCount and the
    // padding; dataCodewordCount..925.
    std::int32_t dataCapacity = 0;
    SymbolMatrix matrix;
};

// Encodes the settings' data into symbol, replacing what it held. On
// failure symbol is left empty and the status says why:
// kInvalidArgument (a level outside 0..9), kInvalidCompactionMode,
// kTextModeCharacters or kNumericModeCharacters (data the forced mode cannot
// hold), kDataCountAbove928 or kDataTooLarge (too much data),
// kColumnsOutOfRange, kRowsOutOfRange, kColumnsAndRowsNull or kGridTooSmall
// (a bad or too small shape), a Macro status (a bad Macro field), kFail
// (out of memory).
[[nodiscard]] Status encode(const SymbolSettings& settings, EncodedSymbol& symbol);

}  // namespace barwright
