// The symbol's modules row by row: what a reader samples along each row of
// the upright symbol, without the quiet zone.
#include "barwright/ModuleGrid.h"

#include <cassert>
#include <cstring>
#include <new>

#include "render/SymbolLayout.h"

namespace barwright {
namespace {

// Writes a run of `modules` modules of one kind at out and returns the end.
std::uint8_t* putModules(std::uint8_t* out, std::int32_t modules, bool bar) {
    std::memset(out, bar ? 1 : 0, static_cast<std::size_t>(modules));
    return out + modules;
}

std::uint8_t* putPattern(std::uint8_t* out, const std::uint8_t* widths, std::int32_t elements) {
    for (std::int32_t k = 0; k < elements; ++k) {
        out = putModules(out, widths[k], k % 2 == 0);
    }
    return out;
}

void fillRows(const EncodedSymbol& symbol, ModuleGrid& grid) {
    // Every row as long as the next: the start pattern, 17 modules a
    // codeword, the stop pattern.
    const std::int32_t codewords = symbol.matrix.elementsPerRow / kElementsPerCodeword;
    const std::int32_t stopModules = symbol.compact ? kCompactStopModules : kStopPatternModules;
    grid.width = kModulesPerCodeword * (codewords + 1) + stopModules;
    grid.height = symbol.rows;
    grid.modules.resize(static_cast<std::size_t>(grid.width) *
                        static_cast<std::size_t>(grid.height));
    std::uint8_t* out = grid.modules.data();
    const drawing::StopPattern stop = drawing::stopPatternOf(symbol.compact);
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        out = putPattern(out, kStartPattern, kStartPatternElements);
        out = putPattern(out, symbol.matrix.row(i), symbol.matrix.elementsPerRow);
        out = putPattern(out, stop.widths, stop.elements);
    }
    // isDrawable made every codeword 17 modules, so the rows fill the grid
    // exactly.
    assert(out == grid.modules.data() + grid.modules.size());
}

}  // namespace

Status moduleGrid(const EncodedSymbol& symbol, ModuleGrid& grid) {
    grid = ModuleGrid();
    if (!isDrawable(symbol)) {
        return status::kInvalidArgument;
    }
    try {
        fillRows(symbol, grid);
    } catch (const std::bad_alloc&) {
        grid = ModuleGrid();
        return status::kFail;
    }
    return status::kOk;
}

}  // namespace barwright
