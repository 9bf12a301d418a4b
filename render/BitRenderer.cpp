// The symbol painted into a 1-bit raster: the 24-bit raster's sizing and
// bars, one bit per pixel.
#include "barwright/BitRenderer.h"

#include <vector>

#include "barwright/BitImage.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

// Pixel rows between two consecutive edges of bars (a bar's top or bottom)
// are all alike: every bar covers all of them or none. So each bar is
// painted only on the rows where such a stretch begins, and the other rows
// are copies of the row above. A row of a symbol is several pixels tall,
// and a module several pixels long, so most rows are copies: a few bytes
// copied where a bar would be painted on every row.
void paintBars(const SymbolLayout& layout, const EncodedSymbol& symbol, BitImage& image) {
    // nextEdge[y]: the first edge at or below row y (height when none).
    const auto height = static_cast<std::size_t>(image.height());
    std::vector<std::int32_t> nextEdge(height + 1, 0);
    forEachBar(layout, symbol.matrix, [&](const Rect& bar) {
        nextEdge[static_cast<std::size_t>(bar.top)] = 1;
        nextEdge[static_cast<std::size_t>(bar.bottom)] = 1;
    });
    std::int32_t next = image.height();
    for (std::size_t y = height + 1; y-- > 0;) {
        if (nextEdge[y] != 0) {
            next = static_cast<std::int32_t>(y);
        }
        nextEdge[y] = next;
    }
    forEachBar(layout, symbol.matrix, [&](const Rect& bar) {
        for (std::int32_t y = bar.top; y < bar.bottom;
             y = nextEdge[static_cast<std::size_t>(y) + 1]) {
            image.fillRect(bar.left, y, bar.width(), 1);
        }
    });
    // Rows outside every bar are background already; inside a stretch each
    // row repeats the one above.
    for (std::int32_t y = 1; y < image.height(); ++y) {
        if (nextEdge[static_cast<std::size_t>(y)] != y) {
            image.copyRow(y - 1, y);
        }
    }
}

}  // namespace

Status renderBits(const EncodedSymbol& symbol, const PictureSettings& picture, BitImage& image) {
    return renderRaster(
        symbol, picture, image,
        [&](BitImage& made, std::int32_t width, std::int32_t height) {
            return made.create(width, height, picture.background, picture.foreground);
        },
        [&](const SymbolLayout& layout, BitImage& made) { paintBars(layout, symbol, made); });
}

}  // namespace barwright
