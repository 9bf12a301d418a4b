// The symbol's modules as text, row by row: what a reader would sample
// along each row of the upright symbol, without the quiet zone.
#include <cstdint>
#include <new>
#include <string>

#include "barwright/Render.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

// A run of `modules` modules of one kind.
void appendModules(std::string& out, std::int32_t modules, bool bar) {
    out.append(static_cast<std::size_t>(modules), bar ? '1' : '0');
}

void appendRows(std::string& text, const EncodedSymbol& symbol) {
    // Rows of 17 modules a codeword, start pattern included, plus the stop
    // pattern and the line feed.
    const std::size_t codewordsPerRow =
        static_cast<std::size_t>(symbol.matrix.elementsPerRow / kElementsPerCodeword) + 1;
    text.reserve(static_cast<std::size_t>(symbol.rows) *
                 (codewordsPerRow * kModulesPerCodeword + 20));
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        for (int k = 0; k < static_cast<int>(sizeof drawing::kStartPattern); ++k) {
            appendModules(text, drawing::kStartPattern[k], k % 2 == 0);
        }
        const std::uint8_t* widths = symbol.matrix.row(i);
        for (std::int32_t j = 0; j < symbol.matrix.elementsPerRow; ++j) {
            appendModules(text, widths[j], j % 2 == 0);
        }
        if (symbol.compact) {
            appendModules(text, drawing::kCompactStopModules, true);
        } else {
            for (int k = 0; k < drawing::kStopPatternElements; ++k) {
                appendModules(text, drawing::kStopPattern[k], k % 2 == 0);
            }
        }
        text += '\n';
    }
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
