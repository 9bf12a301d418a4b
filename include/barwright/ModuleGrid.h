#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"

namespace barwright {

// A symbol's modules, for those who draw it their own way: row y of the grid
// is what a reader samples along row y of the upright symbol (orientation
// 0), from the start pattern to the stop pattern, both included, without the
// quiet zone. One byte a module, 1 for a bar and 0 for a space, so that a
// row can be handed on as it is (a bytes object, a typed array). A plain
// value: copying copies the modules.
struct ModuleGrid {
    // Modules per row: 17 x columns + 69, or 17 x columns + 35 when compact.
    std::int32_t width = 0;
    // One row of modules per row of the symbol, 3..90.
    std::int32_t height = 0;
    // height rows of width bytes, back to back, top row first.
    std::vector<std::uint8_t> modules;

    const std::uint8_t* row(std::int32_t y) const {
        return modules.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    }
    bool isBar(std::int32_t x, std::int32_t y) const { return row(y)[x] != 0; }
};

// Makes grid the symbol's modules, replacing what it held. kInvalidArgument
// for a symbol that is not whole (one that encode did not make), kFail when
// memory runs out; grid is then empty.
[[nodiscard]] Status moduleGrid(const EncodedSymbol& symbol, ModuleGrid& grid);

}  // namespace barwright
