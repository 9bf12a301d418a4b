#pragma once

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Rect.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright {

// Paints the background over area and the symbol inside it, with the
// largest whole-pixel module that fits; area must lie inside the image.
// kColumnsTooLarge or kRowsTooLarge when the symbol does not fit (the image
// is then unchanged), kInvalidArgument as checkPicture or for an area
// outside the image.
[[nodiscard]] Status drawSymbol(const EncodedSymbol& symbol, const PictureSettings& picture,
                                RgbImage& image, const Rect& area);

// Makes image the picture of the symbol: sized by imageSize, filled with the
// background, the symbol drawn. kCantAllocateImage when the image is too
// large to be made; otherwise the statuses of imageSize and drawSymbol.
[[nodiscard]] Status renderRgb(const EncodedSymbol& symbol, const PictureSettings& picture,
                               RgbImage& image);

}  // namespace barwright
