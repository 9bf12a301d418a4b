#pragma once

#include "barwright/BitImage.h"
#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// The same picture as renderRgb in a 1-bit raster with the two colours:
// the same statuses, bars exactly where renderRgb paints the foreground.
[[nodiscard]] Status renderBits(const EncodedSymbol& symbol, const PictureSettings& picture,
                                BitImage& image);

}  // namespace barwright
