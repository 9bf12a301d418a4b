// The symbol's modules as text, row by row: what a reader would sample
// along each row of the upright symbol, without the quiet zone.
#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "barwright/Render.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

// Writes a run of `modules` modules of one kind at out and returns the end.
char* putModules(char* out, std::int32_t modules, bool bar) {
    std::memset(out, bar ? '1' : '0', static_cast<std::size_t>(modules));
    return out + modules;
}

void appendRows(std::string& text, const EncodedSymbol& symbol) {
    // Every row as long as the next: the start pattern, 17 modules a
    // codeword, the stop pattern and the line feed.
    const std::int32_t codewords = symbol.matrix.elementsPerRow / kElementsPerCodeword;
    const std::int32_t stopModules =
        symbol.compact ? drawing::kCompactStopModules : drawing::kStopPatternModules;
    const auto lineLength =
        static_cast<std::size_t>(kModulesPerCodeword * (codewords + 1) + stopModules + 1);
    text.resize(lineLength * static_cast<std::size_t>(symbol.rows));
    char* out = &text[0];
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        for (int k = 0; k < static_cast<int>(sizeof drawing::kStartPattern); ++k) {
            out = putModules(out, drawing::kStartPattern[k], k % 2 == 0);
        }
        const std::uint8_t* widths = symbol.matrix.row(i);
        for (std::int32_t j = 0; j < symbol.matrix.elementsPerRow; ++j) {
            out = putModules(out, widths[j], j % 2 == 0);
        }
        if (symbol.compact) {
            out = putModules(out, drawing::kCompactStopModules, true);
        } else {
            for (int k = 0; k < drawing::kStopPatternElements; ++k) {
                out = putModules(out, drawing::kStopPattern[k], k % 2 == 0);
            }
        }
        *out++ = '\n';
    }
    // isDrawable made every codeword 17 modules, so the rows fill the text
    // exactly.
    assert(out == text.data() + text.size());
}

}  // namespace

Status renderText(const EncodedSymbol& symbol, std::string& text) {
    text.clear();
    if (!isDrawable(symbol)) {
        return status::kInvalidArgument;
    }
    try {
        appendRows(text, symbol);
    } catch (const std::bad_alloc&) {
        text = std::string();
        return status::kFail;
    }
    return status::kOk;
}

}  // namespace barwright
