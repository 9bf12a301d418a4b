#pragma once

#include <cstdint>

#include "barwright/Encoder.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"
#include "render/SymbolLayout.h"

namespace barwright {

// What the vector targets draw: the picture's size in pixels and the symbol
// fitted into it, exactly as the raster targets would paint it.
struct VectorPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    SymbolLayout layout;
};

// The raster's sizing and fitting without the raster. kInvalidArgument for
// a dpi outside 0..kMaxDpi; then the statuses of renderRgb in its order,
// kCantAllocateImage for a size beyond the raster's limits included.
[[nodiscard]] Status layoutVectorPicture(const EncodedSymbol& symbol,
                                         const PictureSettings& picture, std::int32_t dpi,
                                         VectorPicture& vector);

}  // namespace barwright
