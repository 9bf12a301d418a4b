#pragma once

#include <cstdint>

namespace barwright {

// The shapes a PDF417 symbol may take: 1..30 data columns, 3..90 rows.
constexpr std::int32_t kMinColumns = 1;
constexpr std::int32_t kMaxColumns = 30;
constexpr std::int32_t kMinRows = 3;
constexpr std::int32_t kMaxRows = 90;

// A reader accepts at most 928 codewords in a whole symbol (data, pad, Macro
// block and error correction together), whatever its shape.
constexpr std::uint32_t kMaxSymbolCodewords = 928;

}  // namespace barwright
