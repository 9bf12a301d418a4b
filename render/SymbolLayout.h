#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"
#include "barwright/Picture.h"
#include "barwright/PictureSettings.h"
#include "barwright/Rect.h"
#include "barwright/Status.h"
#include "render/SymbolGeometry.h"

namespace barwright {
namespace drawing {

// The start pattern's final space is never painted, so only its first
// seven elements are walked.
constexpr int kStartPatternWalked = kStartPatternElements - 1;

// The stop pattern's element widths (modules), bar first: a full symbol's,
// or a compact symbol's single bar.
struct StopPattern {
    const std::uint8_t* widths;
    std::int32_t elements;
};
constexpr std::uint8_t kCompactStopPattern[] = {kCompactStopModules};
constexpr StopPattern stopPatternOf(bool compact) {
    return compact ? StopPattern{kCompactStopPattern, 1}
                   : StopPattern{kStopPattern, kStopPatternElements};
}

// The element widths (modules) of the rows between the start and stop
// patterns, row after row; each row starts with a bar and alternates.
struct RowWidths {
    const std::uint8_t* data = nullptr;
    std::int32_t rowCount = 0;
    std::int32_t rowStride = 0;  // elements per row
};

// Where the symbol's bounding box lies in the image and how it is turned.
// Bars are described along the rows (from the start-pattern edge) and
// across them (from the edge of row 0), and mapped to their final image
// rectangle, so every orientation is painted in place without a rotation
// pass.
struct Placement {
    std::int32_t orientation = 0;  // 0, 90, 180, 270; others act as 0
    std::int32_t left = 0;         // x0: leftmost pixel of the symbol
    std::int32_t top = 0;          // y0: topmost pixel of the symbol
    std::int32_t width = 0;        // W: horizontal extent in pixels
    std::int32_t height = 0;       // H: vertical extent in pixels

    // The image rectangle of a bar at along-row offset `along` with length
    // `length`, across-row offset `across` with thickness `thickness`.
    // Inline: it runs once for every bar, inside each target's painting.
    Rect place(std::int32_t along, std::int32_t length, std::int32_t across,
               std::int32_t thickness) const;
};

inline Rect Placement::place(std::int32_t along, std::int32_t length, std::int32_t across,
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

// Places a fitted symbol inside the fit's drawing area. kAlignCentre
// centres (an odd spare pixel goes to the right or bottom), kAlignEnd pushes
// to the right or bottom, anything else to the left or top.
Placement placeSymbol(const geometry::SymbolShape& shape, const geometry::Fit& fit,
                      std::int32_t alignH, std::int32_t alignV);

// Hands every bar of the start and stop patterns to paint(Rect), start
// pattern from its outer edge inward, then the stop pattern from its inner
// edge outward. The bars span all rows.
template <typename PaintBar>
void forEachStartStopBar(const Placement& placement, const geometry::SymbolShape& shape,
                         std::int32_t moduleWidth, std::int32_t rowHeight, PaintBar&& paint) {
    const std::int32_t thickness = shape.rows * rowHeight;
    std::int32_t along = 0;
    for (int k = 0; k < kStartPatternWalked; ++k) {
        const std::int32_t length = kStartPattern[k] * moduleWidth;
        if (k % 2 == 0) {
            paint(placement.place(along, length, 0, thickness));
        }
        along += length;
    }
    if (shape.compact) {
        // Right after the left row indicator and the data codewords.
        along = kModulesPerCodeword * (shape.columns + 2) * moduleWidth;
        paint(placement.place(along, kCompactStopModules * moduleWidth, 0, thickness));
        return;
    }
    // Right after the right row indicator.
    along = kModulesPerCodeword * (shape.columns + 3) * moduleWidth;
    for (int k = 0; k < kStopPatternElements; ++k) {
        const std::int32_t length = kStopPattern[k] * moduleWidth;
        if (k % 2 == 0) {
            paint(placement.place(along, length, 0, thickness));
        }
        along += length;
    }
}

// Hands every bar of every row to paint(Rect), rows from row 0, each from
// its start side; the rows begin right after the start pattern.
template <typename PaintBar>
void forEachRowBar(const Placement& placement, const RowWidths& rows, std::int32_t moduleWidth,
                   std::int32_t rowHeight, PaintBar&& paint) {
    for (std::int32_t i = 0; i < rows.rowCount; ++i) {
        const std::uint8_t* widths = rows.data + static_cast<std::int64_t>(i) * rows.rowStride;
        std::int32_t along = kModulesPerCodeword * moduleWidth;
        for (std::int32_t j = 0; j < rows.rowStride; ++j) {
            const std::int32_t length = widths[j] * moduleWidth;
            if (j % 2 == 0) {
                paint(placement.place(along, length, i * rowHeight, rowHeight));
            }
            along += length;
        }
    }
}

}  // namespace drawing

// A symbol fitted into an image rectangle and placed by the alignment: the
// pixel rectangle of every bar follows from it, whatever the target.
struct SymbolLayout {
    geometry::SymbolShape shape;
    geometry::Fit fit;
    drawing::Placement placement;
};

// True when symbol is a whole symbol: a shape within the limits and a matrix
// of that shape whose every codeword pattern spans 17 modules, so that no bar
// can reach outside the extent the fitting computes.
bool isDrawable(const EncodedSymbol& symbol);

// Fits the symbol into area (largest whole-pixel module) and places it.
// kColumnsTooLarge or kRowsTooLarge when it does not fit; kInvalidArgument
// for a symbol that is not drawable.
[[nodiscard]] Status layoutSymbol(const EncodedSymbol& symbol, const PictureSettings& picture,
                                  const Rect& area, SymbolLayout& layout);

// The road every raster target takes: the image sized (imageSize), made by
// create(image, width, height) before the fitting, so that a picture too
// large and a symbol that does not fit are told apart in the same order by
// every target, the symbol fitted and placed, then paint(layout, image).
// On failure the image is left empty.
template <typename Image, typename Create, typename Paint>
[[nodiscard]] Status renderRaster(const EncodedSymbol& symbol, const PictureSettings& picture,
                                  Image& image, Create create, Paint paint) {
    image = Image();
    std::int32_t width = 0;
    std::int32_t height = 0;
    Status result = imageSize(symbol, picture, width, height);
    if (result != status::kOk) {
        return result;
    }
    result = create(image, width, height);
    if (result != status::kOk) {
        return result;
    }
    SymbolLayout layout;
    result = layoutSymbol(symbol, picture, Rect{0, width, 0, height}, layout);
    if (result != status::kOk) {
        image = Image();
        return result;
    }
    paint(layout, image);
    return status::kOk;
}

// Hands the pixel rectangle of every bar to paint(Rect): the start pattern,
// the stop pattern, then the rows in order.
template <typename PaintBar>
void forEachBar(const SymbolLayout& layout, const SymbolMatrix& matrix, PaintBar&& paint) {
    drawing::forEachStartStopBar(layout.placement, layout.shape, layout.fit.moduleWidth,
                                 layout.fit.rowHeight, paint);
    drawing::RowWidths rows;
    rows.data = matrix.widths.data();
    rows.rowCount = matrix.rowCount;
    rows.rowStride = matrix.elementsPerRow;
    drawing::forEachRowBar(layout.placement, rows, layout.fit.moduleWidth, layout.fit.rowHeight,
                           paint);
}

}  // namespace barwright
