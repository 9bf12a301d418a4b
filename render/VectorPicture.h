#pragma once

#include <cstdint>
#include <new>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"
#include "render/NumberText.h"
#include "render/SymbolLayout.h"

namespace barwright {

// What the vector targets draw: the picture's size in pixels and the symbol
// fitted into it, exactly as the raster targets would paint it.
struct VectorPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    SymbolLayout layout;
};

// "0 0 width height": the picture's box, as SVG's viewBox, EPS's rectfill
// and PDF's re take it.
inline void appendPictureBox(std::string& out, const VectorPicture& vector) {
    out += "0 0 ";
    appendInteger(out, vector.width);
    out += ' ';
    appendInteger(out, vector.height);
}

// The raster's sizing and fitting without the raster. kInvalidArgument for
// a dpi outside 0..kMaxDpi; then the statuses of renderRgb in its order,
// kCantAllocateImage for a size beyond the raster's limits included.
[[nodiscard]] Status layoutVectorPicture(const EncodedSymbol& symbol,
                                         const PictureSettings& picture, std::int32_t dpi,
                                         VectorPicture& vector);

// The road every vector target takes: the picture laid out, then
// append(text, vector) writes the file into text. Running out of memory is
// kCantAllocateImage, as for the raster that could not be made. On failure
// text is left empty.
template <typename Append>
[[nodiscard]] Status renderVector(const EncodedSymbol& symbol, const PictureSettings& picture,
                                  std::int32_t dpi, std::string& text, Append append) {
    text.clear();
    VectorPicture vector;
    const Status result = layoutVectorPicture(symbol, picture, dpi, vector);
    if (result != status::kOk) {
        return result;
    }
    try {
        append(text, vector);
    } catch (const std::bad_alloc&) {
        text = std::string();
        return status::kCantAllocateImage;
    }
    return status::kOk;
}

}  // namespace barwright
