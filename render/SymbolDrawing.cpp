#include "render/SymbolDrawing.h"

#include "encoder/Pdf417Encoder.h"
#include "render/RgbImage.h"

namespace barwright {
namespace drawing {

namespace {

constexpr std::int32_t kAlignCentre = 1;
constexpr std::int32_t kAlignFar = 2;  // right or bottom

// The offset of the symbol inside `spare` free pixels.
std::int64_t alignedOffset(std::int64_t spare, std::int32_t align) {
    switch (align) {
        case kAlignCentre:
            return spare / 2;
        case kAlignFar:
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

namespace {

// Each codeword of a matrix row is 8 elements.
constexpr std::int32_t kElementsPerCodeword = 8;

// The rectangle must lie inside the image, whose painting does no clipping.
bool rectInsideImage(const Rect& rect, const RgbImage& image) {
    return image.rows() != nullptr && rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right &&
           rect.top <= rect.bottom && rect.right <= image.width() && rect.bottom <= image.height();
}

drawing::Placement placementAt(const Pdf417Encoder& encoder, std::int32_t x0, std::int32_t y0,
                               std::int32_t moduleWidth, std::int32_t rowHeight) {
    drawing::Placement placement;
    placement.orientation = encoder.orientation();
    placement.left = x0;
    placement.top = y0;
    encoder.symbolExtent(moduleWidth, rowHeight, placement.width, placement.height);
    return placement;
}

}  // namespace

Status Pdf417Encoder::draw(RgbImage& image, const Rect& imageRect) const {
    const geometry::SymbolShape shape = geometry::shapeOf(*this);
    geometry::Fit fit;
    const Status fitStatus = geometry::fitToImage(shape, imageRect, fit);
    if (encodeStatus_ != status::kOk) {
        return fitStatus != status::kOk ? fitStatus : encodeStatus_;
    }
    if (fitStatus != status::kOk) {
        return fitStatus;
    }
    // The matrix must be the one of this symbol: a failed rebuild after
    // setCompact leaves it empty while the encode status stays 0.
    const std::int32_t indicatorCount = compact_ ? 1 : 2;
    if (matrix_.empty() || matrix_.rowCount() != rows_ || matrix_.columns() != columns_ ||
        matrix_.rowStride() != kElementsPerCodeword * (columns_ + indicatorCount)) {
        return status::kFail;
    }
    if (!rectInsideImage(imageRect, image)) {
        return status::kInvalidArgument;
    }

    if (backgroundColor_ != image.fillColor()) {
        image.fillRect(imageRect.left, imageRect.top, imageRect.width(), imageRect.height(),
                       backgroundColor_);
    }
    const drawing::Placement placement = drawing::placeSymbol(shape, fit, alignH_, alignV_);
    drawStartStop(image, placement.left, placement.top, fit.moduleWidth, fit.rowHeight);
    drawRows(image, placement.left, placement.top, fit.moduleWidth, fit.rowHeight);
    return status::kOk;
}

void Pdf417Encoder::drawStartStop(RgbImage& image, std::int32_t x0, std::int32_t y0,
                                  std::int32_t moduleWidth, std::int32_t rowHeight) const {
    drawing::forEachStartStopBar(
        placementAt(*this, x0, y0, moduleWidth, rowHeight), geometry::shapeOf(*this), moduleWidth,
        rowHeight, [&](const Rect& bar) {
            image.fillRect(bar.left, bar.top, bar.width(), bar.height(), foregroundColor_);
        });
}

void Pdf417Encoder::drawRows(RgbImage& image, std::int32_t x0, std::int32_t y0,
                             std::int32_t moduleWidth, std::int32_t rowHeight) const {
    drawing::RowWidths rows;
    rows.data = matrix_.rowData(0);
    rows.rowCount = matrix_.rowCount();
    rows.rowStride = matrix_.rowStride();
    drawing::forEachRowBar(placementAt(*this, x0, y0, moduleWidth, rowHeight), rows, moduleWidth,
                           rowHeight, [&](const Rect& bar) {
                               image.fillRect(bar.left, bar.top, bar.width(), bar.height(),
                                              foregroundColor_);
                           });
}

}  // namespace barwright
