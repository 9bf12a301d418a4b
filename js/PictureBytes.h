#pragma once

#include <cstdint>
#include <string>

#include "barwright/RgbImage.h"

namespace barwright::js {

// The picture in the two layouts that JavaScript takes without further work.
// The WebAssembly build catches no exceptions: a failed allocation traps, so
// the caller keeps the picture within what the memory can hold.

// PNG scanlines for an 8-bit RGB image, for a deflate that looks for runs of
// equal bytes only: each row led by its filter type, Up (2) where a row
// repeats the one above, which makes it zeros; elsewhere None (0) when
// subtractLeft is false, which suits grey pixels (their three bytes are
// equal, so a bar is one run), and Sub (1) when it is true, which makes any
// colour's bar a run of zeros.
void pngScanlines(const RgbImage& image, bool subtractLeft, std::string& rows);

// RGBA pixels, alpha 255, as a canvas's ImageData holds them.
void rgbaPixels(const RgbImage& image, std::string& pixels);

}  // namespace barwright::js
