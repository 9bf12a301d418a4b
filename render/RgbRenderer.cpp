// The symbol painted into a 24-bit raster.
#include "barwright/RgbRenderer.h"

#include "barwright/RgbImage.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

bool insideImage(const Rect& rect, const RgbImage& image) {
    return !image.empty() && rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right &&
           rect.top <= rect.bottom && rect.right <= image.width() && rect.bottom <= image.height();
}

void paintBars(const SymbolLayout& layout, const EncodedSymbol& symbol, Color foreground,
               RgbImage& image) {
    forEachBar(layout, symbol.matrix, [&](const Rect& bar) {
        image.fillRect(bar.left, bar.top, bar.width(), bar.height(), foreground);
    });
}

}  // namespace

Status drawSymbol(const EncodedSymbol& symbol, const PictureSettings& picture, RgbImage& image,
                  const Rect& area) {
    Status result = checkPicture(picture);
    if (result != status::kOk) {
        return result;
    }
    // The painting does no clipping, so an area outside the image would be
    // written past its end.
    if (!insideImage(area, image)) {
        return status::kInvalidArgument;
    }
    SymbolLayout layout;
    result = layoutSymbol(symbol, picture, area, layout);
    if (result != status::kOk) {
        return result;
    }
    image.fillRect(area.left, area.top, area.width(), area.height(), picture.background);
    paintBars(layout, symbol, picture.foreground, image);
    return status::kOk;
}

Status renderRgb(const EncodedSymbol& symbol, const PictureSettings& picture, RgbImage& image) {
    return renderRaster(
        symbol, picture, image,
        // Made in the background colour at once, so that only the bars
        // remain to be painted.
        [&](RgbImage& made, std::int32_t width, std::int32_t height) {
            return made.create(width, height, picture.background);
        },
        [&](const SymbolLayout& layout, RgbImage& made) {
            paintBars(layout, symbol, picture.foreground, made);
        });
}

}  // namespace barwright
