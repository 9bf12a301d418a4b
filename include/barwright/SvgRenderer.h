#pragma once

#include <cstdint>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// The same picture as renderRgb's as SVG, one user unit per pixel, so that
// drawn at 1:1 it gives renderRgb's pixels. With dpi > 0 the resolution is
// recorded as the width and height in inches; 0 records none (both in
// pixels). kInvalidArgument for a dpi outside 0..kMaxDpi, then the same
// statuses as renderRgb: sizes beyond the raster's limits are refused alike,
// with kCantAllocateImage, as is a file that memory cannot hold. On failure
// svg is left empty.
[[nodiscard]] Status renderSvg(const EncodedSymbol& symbol, const PictureSettings& picture,
                               std::int32_t dpi, std::string& svg);

}  // namespace barwright
