#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace barwright {

// The shapes a PDF417 symbol may take.
constexpr std::int32_t kMinColumns = 1;
constexpr std::int32_t kMaxColumns = 30;
constexpr std::int32_t kMinRows = 3;
constexpr std::int32_t kMaxRows = 90;

// Error correction levels 0..8 give 2 << level error correction codewords.
constexpr std::int32_t kMaxErrorCorrectionLevel = 8;

// A reader accepts at most 928 codewords in a whole symbol (data, padding,
// Macro block and error correction together), whatever its shape.
constexpr std::int32_t kMaxSymbolCodewords = 928;

// The module geometry every PDF417 symbol shares. A codeword's pattern is
// eight elements, bar, space, bar, ... (1..6 modules each), 17 modules in
// all; so are the start pattern and each row indicator.
constexpr std::int32_t kElementsPerCodeword = 8;
constexpr std::int32_t kModulesPerCodeword = 17;

// The start and stop patterns, the same in every row: element widths in
// modules, bar first. The stop pattern ends in a bar; a compact symbol has
// only that bar, one module wide.
constexpr std::uint8_t kStartPattern[] = {8, 1, 1, 1, 1, 1, 1, 3};
constexpr std::uint8_t kStopPattern[] = {7, 1, 1, 3, 1, 1, 1, 2, 1};
constexpr std::int32_t kStartPatternElements = 8;
constexpr std::int32_t kStopPatternElements = 9;
constexpr std::int32_t kStopPatternModules = 18;
constexpr std::int32_t kCompactStopModules = 1;
static_assert(sizeof kStartPattern == kStartPatternElements &&
                  sizeof kStopPattern == kStopPatternElements,
              "pattern lengths");
static_assert(
    [] {
        std::int32_t modules = 0;
        for (const std::uint8_t width : kStopPattern) modules += width;
        return modules;
    }() == kStopPatternModules,
    "stop pattern width");

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

}  // namespace barwright
