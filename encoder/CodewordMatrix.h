#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"
#include "compaction/Codeword.h"

namespace barwright {

// The shape that the row indicators describe.
struct MatrixShape {
    std::int32_t columns = 0;               // 1..30
    std::int32_t rows = 0;                  // 3..90
    std::int32_t errorCorrectionLevel = 0;  // 0..8
    bool compact = false;                   // no right row indicator
};

// Fills matrix with the rows of a finished symbol: for each row, the left
// row indicator, the row's codewords and (unless compact) the right row
// indicator, eight element widths each, from the bar-space pattern table of
// the row's cluster. codewords must hold columns x rows codewords; a shorter
// stream, a value above 928 or a shape out of range leaves matrix empty and
// returns false. Throws std::bad_alloc when memory runs out.
[[nodiscard]] bool buildMatrix(const MatrixShape& shape, const CodewordStream& codewords,
                               SymbolMatrix& matrix);

// Row indicator codewords of `row` in cluster slot 0, 1, 2 (clusters 0, 3, 6).
Codeword leftRowIndicator(const MatrixShape& shape, int clusterSlot, int row);
Codeword rightRowIndicator(const MatrixShape& shape, int clusterSlot, int row);

}  // namespace barwright
