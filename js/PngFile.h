#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright::js {

// The PNG file of an RGB image, written with zlib alone: libpng is not
// built for WebAssembly here, and a barcode needs little of it. 8-bit RGB
// with the chunks of barwright's own files that describe the picture (gAMA,
// pHYs when options.dpi is set), tIME only when a time is given (seconds
// since 1970, in 64 bits: the WebAssembly C library's time_t has 32, so
// options.time is not used), so that the same options make the same bytes;
// none of the text chunks.
//
// The rows are filtered for zlib's run-length strategy, which finds runs of
// equal bytes only and skips the hashing that the default strategy spends
// nearly all its time on: a row that repeats the one above takes Up (zeros),
// any other None when both colours are grey (a bar is then one run of equal
// bytes) and Sub otherwise (a bar of any colour is then zeros).
// kCantCloseOutput when zlib fails, as the program reports a failed write.
[[nodiscard]] Status writeRgbPng(const RgbImage& image, const PngOptions& options,
                                 std::optional<std::int64_t> time, bool coloured, std::string& png);

}  // namespace barwright::js
