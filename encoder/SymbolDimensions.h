#pragma once

#include <cstdint>

#include "barwright/Status.h"

namespace barwright {

// The error correction level chosen for n codewords before error
// correction (descriptor, data and Macro block; not the padding): 2 up to
// 40, 3 up to 166, 4 up to 320, 5 above.
std::int32_t autoErrorCorrectionLevel(std::uint32_t codewordCount);

// Columns and rows for neededCodewords (data plus error correction) from the
// requested ones (0 = automatic; not both): the automatic one is the
// smallest that holds them all, rows at least 3. kColumnsOutOfRange,
// kRowsOutOfRange, kColumnsAndRowsNull, kGridTooSmall for a bad request,
// kDataTooLarge when the computed one is out of range (columns and rows then
// hold the rejected values, saturated at 255).
[[nodiscard]] Status chooseDimensions(std::int32_t requestedColumns, std::int32_t requestedRows,
                                      std::uint32_t neededCodewords, std::int32_t& columns,
                                      std::int32_t& rows);

}  // namespace barwright
