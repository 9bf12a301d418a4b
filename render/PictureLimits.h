#pragma once

#include <cstdint>

#include "barwright/RgbImage.h"

namespace barwright {

// The picture sizes that every target accepts: those the 24-bit raster can
// be made in. The 1-bit raster and the vector targets could go further, but
// one limit for all lets a command line that works for one format work for
// every other, whatever the format chosen.
constexpr bool withinPictureLimits(std::int32_t width, std::int32_t height) {
    return width >= 1 && width <= RgbImage::kMaxDimension && height >= 1 &&
           height <= RgbImage::kMaxDimension &&
           static_cast<std::uint64_t>(width) * RgbImage::kBytesPerPixel *
                   static_cast<std::uint64_t>(height) <=
               RgbImage::kMaxPixelBytes;
}

}  // namespace barwright
