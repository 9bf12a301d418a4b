#include "render/SymbolLayout.h"

#include <cstring>

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
        matrix.widths.size() != static_cast<std::size_t>(matrix.rowCount) *
                                    static_cast<std::size_t>(matrix.elementsPerRow)) {
        return false;
    }
    // Eight widths at a time: none above 7 (so their sum cannot wrap in a
    // byte), and a sum of 17, taken from the top byte of the product with
    // 0x0101...01. Drawing a whole symbol must not cost a second walk of the
    // matrix, and this is most of the cost of the check.
    static_assert(kElementsPerCodeword == sizeof(std::uint64_t));
    constexpr std::uint64_t kAboveSeven = 0xF8F8F8F8F8F8F8F8u;
    constexpr std::uint64_t kByteSum = 0x0101010101010101u;
    constexpr int kTopByteShift = 56;
    for (std::size_t first = 0; first < matrix.widths.size(); first += kElementsPerCodeword) {
        std::uint64_t pattern = 0;
        std::memcpy(&pattern, matrix.widths.data() + first, sizeof pattern);
        if ((pattern & kAboveSeven) != 0 ||
            static_cast<std::int32_t>((pattern * kByteSum) >> kTopByteShift) !=
                kModulesPerCodeword) {
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
    layout.placement =
        drawing::placeSymbol(layout.shape, layout.fit, picture.alignH, picture.alignV);
    return status::kOk;
}

}  // namespace barwright
