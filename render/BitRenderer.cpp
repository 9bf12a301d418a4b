// The symbol painted into a 1-bit raster: the 24-bit raster's sizing and
// bars, one bit per pixel.
#include "barwright/BitImage.h"
#include "barwright/Render.h"
#include "render/SymbolLayout.h"

namespace barwright {

Status renderBits(const EncodedSymbol& symbol, const PictureSettings& picture, BitImage& image) {
    image = BitImage();
    std::int32_t width = 0;
    std::int32_t height = 0;
    Status result = imageSize(symbol, picture, width, height);
    if (result != status::kOk) {
        return result;
    }
    // Made before the fitting, as renderRgb does, so that a picture too
    // large and a symbol that does not fit are told apart in the same order.
    result = image.create(width, height, picture.background, picture.foreground);
    if (result != status::kOk) {
        return result;
    }
    SymbolLayout layout;
    result = layoutSymbol(symbol, picture, Rect{0, width, 0, height}, layout);
    if (result != status::kOk) {
        image = BitImage();
        return result;
    }
    forEachBar(layout, symbol.matrix, [&](const Rect& bar) {
        image.fillRect(bar.left, bar.top, bar.width(), bar.height());
    });
    return status::kOk;
}

}  // namespace barwright
