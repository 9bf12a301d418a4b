#pragma once

#include <cstdint>

#include "barwright/Status.h"

namespace barwright {

// The error correction level chosen for n codewords before error
// correction (descriptor, data and Macro block; not the padding): 2 up to
// 40, 3 up to 166, 4 up to 320, 5 above.
std::int32_t autoErrorCorrectionLevel(std::uint32_t codewordCount);

// The level a request gives for n codewords before error correction: the
// automatic choice for kAutomaticErrorCorrection, else the request as it is.
std::int32_t resolveErrorCorrectionLevel(std::int32_t requestedLevel, std::uint64_t codewordCount);

// Columns and rows for neededCodewords (data plus error correction) from the
// requested ones (0 = automatic; not both): the automatic one is the
// smallest that holds them all, rows at least 3. kColumnsOutOfRange,
// kRowsOutOfRange, kColumnsAndRowsNull, kGridTooSmall for a bad request,
// kDataTooLarge when the computed one is out of range (columns and rows then
// hold the rejected values, saturated at 255).
[[nodiscard]] Status chooseDimensions(std::int32_t requestedColumns, std::int32_t requestedRows,
                                      std::uint32_t neededCodewords, std::int32_t& columns,
                                      std::int32_t& rows);

// The shape a symbol takes for n codewords before error correction (the
// descriptor, the data and the Macro block).
struct CodewordLayout {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t level = 0;                  // 0..8
    std::uint32_t errorCorrectionCount = 0;  // k = 2 << level
};

// The encoder's choice of shape for n codewords from the requested columns,
// rows (0 = automatic) and level (0..8, or kAutomaticErrorCorrection):
// kInvalidArgument for a level outside those, kDataCountAbove928 when the
// codewords, with their error correction or as the grid holds them, pass
// 928, else chooseDimensions' statuses.
[[nodiscard]] Status chooseLayout(std::int32_t requestedColumns, std::int32_t requestedRows,
                                  std::int32_t requestedLevel, std::uint64_t codewordCount,
                                  CodewordLayout& layout);

}  // namespace barwright
