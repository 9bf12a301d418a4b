#include "render/VectorPicture.h"

#include "barwright/Picture.h"
#include "render/PictureLimits.h"

namespace barwright {

Status layoutVectorPicture(const EncodedSymbol& symbol, const PictureSettings& picture,
                           std::int32_t dpi, VectorPicture& vector) {
    if (dpi < 0 || dpi > kMaxDpi) {
        return status::kInvalidArgument;
    }
    Status result = imageSize(symbol, picture, vector.width, vector.height);
    if (result != status::kOk) {
        return result;
    }
    // Where the raster would fail to be made, so does the drawing: every
    // format takes the same sizes.
    if (!withinPictureLimits(vector.width, vector.height)) {
        return status::kCantAllocateImage;
    }
    return layoutSymbol(symbol, picture, Rect{0, vector.width, 0, vector.height}, vector.layout);
}

}  // namespace barwright
