#include "render/SymbolLayout.h"

#include "encoder/BarSpacePatterns.h"

namespace barwright {
namespace drawing {

namespace {

// The offset of the symbol inside `spare` free pixels.
std::int64_t alignedOffset(std::int64_t spare, std::int32_t align) {
    switch (align) {
        case kAlignCentre:
            return spare / 2;
        case kAlignEnd:
            return spare;
        default:
            return 0;
    }
}

}  // namespace

Rect Placement::place(std::int32_t along, std::int32_t length, std::int32_t across,
                      std::int32_t thickness) const {
    std::int32_t x = left + along;
    std::int32_t y = top + across;
    std::int32_t w = length;
    std::int32_t h = thickness;
    switch (orientation) {
        case 90:  // start pattern at the bottom, row 0 on the left
            x = left + across;
            y = top + height - along - length;
            w = thickness;
            h = length;
            break;
        case 180:  // start pattern on the right, row 0 at the bottom
            x = left + width - along - length;
            y = top + height - across - thickness;
            break;
        case 270:  // start pattern at the top, row 0 on the right
            x = left + width - across - thickness;
            y = top + along;
            w = thickness;
            h = length;
            break;
        default:
            break;
    }
    return Rect{x, x + w, y, y + h};
}

Placement placeSymbol(const geometry::SymbolShape& shape, const geometry::Fit& fit,
                      std::int32_t alignH, std::int32_t alignV) {
    const geometry::Extent extent = geometry::symbolExtent(shape, fit.moduleWidth, fit.rowHeight);
    // A successful fit leaves both spares at 0 or more.
    const std::int64_t spareWidth = std::int64_t{fit.area.right} - fit.area.left - extent.width;
    const std::int64_t spareHeight = std::int64_t{fit.area.bottom} - fit.area.top - extent.height;
    Placement placement;
    placement.orientation = shape.orientation;
    placement.left = static_cast<std::int32_t>(fit.area.left + alignedOffset(spareWidth, alignH));
    placement.top = static_cast<std::int32_t>(fit.area.top + alignedOffset(spareHeight, alignV));
    placement.width = static_cast<std::int32_t>(extent.width);
    placement.height = static_cast<std::int32_t>(extent.height);
    return placement;
}

}  // namespace drawing

bool isDrawable(const EncodedSymbol& symbol) {
    if (symbol.columns < kMinColumns || symbol.columns > kMaxColumns || symbol.rows < kMinRows ||
        symbol.rows > kMaxRows) {
        return false;
    }
    const SymbolMatrix& matrix = symbol.matrix;
    const std::int32_t patternsPerRow = symbol.columns + (symbol.compact ? 1 : 2);
    if (matrix.rowCount != symbol.rows ||
        matrix.elementsPerRow != kElementsPerCodeword * patternsPerRow ||
        matrix.widths.size() !=
            static_cast<std::size_t>(matrix.rowCount) * static_cast<std::size_t>(matrix.elementsPerRow)) {
        return false;
    }
    for (std::size_t first = 0; first < matrix.widths.size(); first += kElementsPerCodeword) {
        std::int32_t modules = 0;
        for (std::size_t i = first; i < first + kElementsPerCodeword; ++i) {
            modules += matrix.widths[i];
        }
        if (modules != kModulesPerCodeword) {
            return false;
        }
    }
    return true;
}

Status layoutSymbol(const EncodedSymbol& symbol, const PictureSettings& picture, const Rect& area,
                    SymbolLayout& layout) {
    if (!isDrawable(symbol)) {
        return status::kInvalidArgument;
    }
    layout.shape = geometry::shapeOf(symbol, picture);
    const Status result = geometry::fitToImage(layout.shape, area, layout.fit);
    if (result != status::kOk) {
        return result;
    }
    layout.placement = drawing::placeSymbol(layout.shape, layout.fit, picture.alignH, picture.alignV);
    return status::kOk;
}

}  // namespace barwright
