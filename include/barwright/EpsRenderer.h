#pragma once

#include <cstdint>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// The same picture as renderRgb's as Encapsulated PostScript, one unit per
// pixel, so that drawn at 1:1 it gives renderRgb's pixels. With dpi > 0 it is
// scaled to dpi pixels per inch (its bounding box in whole points, rounded
// outward); 0 draws a point a pixel. kInvalidArgument for a dpi outside
// 0..kMaxDpi, then the same statuses as renderRgb: sizes beyond the raster's
// limits are refused alike, with kCantAllocateImage, as is a file that
// memory cannot hold. On failure eps is left empty.
[[nodiscard]] Status renderEps(const EncodedSymbol& symbol, const PictureSettings& picture,
                               std::int32_t dpi, std::string& eps);

}  // namespace barwright
