#pragma once

#include <cstdint>
#include <string>

#include "barwright/BitImage.h"
#include "barwright/Encoder.h"
#include "barwright/PictureSettings.h"
#include "barwright/Rect.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright {

// Drawing an encoded symbol. Every size is a whole number of pixels: a
// module is m pixels wide, a row m x yToXRatio pixels tall (truncated), the
// quiet zone 2m on every side, and spare pixels go to the margins that the
// alignment chooses.

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

// The same picture as renderRgb in a 1-bit raster with the two colours:
// the same statuses, bars exactly where renderRgb paints the foreground.
[[nodiscard]] Status renderBits(const EncodedSymbol& symbol, const PictureSettings& picture,
                                BitImage& image);

// The same picture as vector graphics, one unit per pixel, so that drawn at
// 1:1 it equals renderRgb's pixels. With dpi > 0 the resolution is recorded:
// SVG width and height in inches, EPS scaled to dpi pixels per inch (its
// bounding box in whole points, rounded outward); 0 records none (SVG in
// pixels, EPS a point a pixel). kInvalidArgument for a dpi outside
// 0..kMaxDpi, then the same statuses as renderRgb: sizes beyond the
// raster's limits are refused alike, with kCantAllocateImage, as is a file
// that memory cannot hold.
[[nodiscard]] Status renderSvg(const EncodedSymbol& symbol, const PictureSettings& picture,
                               std::int32_t dpi, std::string& svg);
[[nodiscard]] Status renderEps(const EncodedSymbol& symbol, const PictureSettings& picture,
                               std::int32_t dpi, std::string& eps);

// The symbol's modules as text: one line per row, '1' for a bar module and
// '0' for a space, start and stop patterns included, no quiet zone, as at
// orientation 0. kInvalidArgument for a symbol that is not whole, kFail
// when memory runs out.
[[nodiscard]] Status renderText(const EncodedSymbol& symbol, std::string& text);

}  // namespace barwright
