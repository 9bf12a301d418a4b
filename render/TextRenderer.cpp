// The symbol's modules as text, a line of '1' (bar) and '0' (space) per
// row: the module grid written out.
#include "barwright/TextRenderer.h"

#include <new>

#include "barwright/ModuleGrid.h"

namespace barwright {

Status renderText(const EncodedSymbol& symbol, std::string& text) {
    text.clear();
    ModuleGrid grid;
    const Status result = moduleGrid(symbol, grid);
    if (result != status::kOk) {
        return result;
    }
    try {
        text.resize((static_cast<std::size_t>(grid.width) + 1) *
                    static_cast<std::size_t>(grid.height));
    } catch (const std::bad_alloc&) {
        text = std::string();
        return status::kFail;
    }
    char* out = &text[0];
    for (std::int32_t y = 0; y < grid.height; ++y) {
        const std::uint8_t* modules = grid.row(y);
        for (std::int32_t x = 0; x < grid.width; ++x) {
            *out++ = static_cast<char>('0' + modules[x]);
        }
        *out++ = '\n';
    }
    return status::kOk;
}

}  // namespace barwright
