#pragma once

#include <cstdint>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "render/VectorPicture.h"

namespace barwright {

// Drawing operators of PDF content streams, in the pixels of the raster
// picture: whole numbers, a y axis that runs down, and the picture's
// top-left corner at the origin.
//
// Rendered at its resolution, a picture drawn here gives the raster's
// pixels. Renderers such as poppler's paint every pixel that a filled
// shape's right or bottom edge merely touches, so a rectangle laid exactly
// on pixel boundaries would bleed a row of partly painted pixels. Every bar
// therefore keeps a hundredth of a pixel clear of its pixel boundaries on
// each side: nothing a printer or a screen can show, far more than the
// rounding of the transformations, and far less than the quarter pixel at
// which an anti-aliasing renderer's coverage would change.

// value / denominator (denominator > 0) with up to maxDecimals decimals,
// cut off (not rounded), without trailing zeros; a minus sign when negative.
void appendPdfFraction(std::string& out, std::int64_t numerator, std::int64_t denominator,
                       int maxDecimals);

// The size of a picture pixel in points at dpi pixels per inch (72 / dpi),
// as a transformation matrix's scale: "1" at 72.
void appendPixelScale(std::string& out, std::int32_t dpi);

// The decimals that keep a length in points within a thousandth of a pixel
// at dpi (1..kMaxDpi) pixels per inch.
int pointDecimals(std::int32_t dpi);

// The picture: its background over the whole picture, then the symbol's
// bars in the foreground colour, the start and stop patterns each one
// rectangle across all rows and every other bar one rectangle in its row.
// Leaves the graphics state as it found it.
void appendPdfPicture(std::string& out, const EncodedSymbol& symbol, const PictureSettings& picture,
                      const VectorPicture& vector);

}  // namespace barwright
