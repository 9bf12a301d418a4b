#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// What every picture of a symbol shares, whatever the target (the raster
// and vector renderers). Every size is a whole number of pixels: a module is
// m pixels wide, a row m x yToXRatio pixels tall (truncated), the quiet zone
// 2m on every side, and spare pixels go to the margins that the alignment
// chooses.

// kInvalidArgument for settings that cannot make a visible symbol: an
// orientation other than 0, 90, 180 or 270, an alignment outside 0..2, a
// ratio or module width that is not a positive number, a negative image
// size or only one side given, or bars without hasReadableContrast against
// the background.
[[nodiscard]] Status checkPicture(const PictureSettings& picture);

// The image size in pixels: picture's own when it gives one, else what the
// symbol needs at the module width (quiet zones included when on).
// kInvalidArgument as checkPicture, or when the module width rounds to 0
// pixels, a row would be less than a pixel tall or a side would not fit an
// int32.
[[nodiscard]] Status imageSize(const EncodedSymbol& symbol, const PictureSettings& picture,
                               std::int32_t& width, std::int32_t& height);

}  // namespace barwright
