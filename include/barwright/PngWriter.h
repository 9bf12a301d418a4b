#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright {

// How a PNG file is written. The defaults give the command line's file:
// 8-bit RGB, zlib level 6, gAMA 0.5, a tIME chunk and five tEXt entries
// ("Title", "Author", "Description", "Creation Time", "Software").
struct PngOptions {
    std::int32_t compressionLevel = 6;  // zlib level 0..9
    double gamma = 0.5;                 // below 0.1 (or NaN) is written as 0.7
    // The time in the tIME chunk and the "Creation Time" text; the clock
    // when writing when not set.
    bool timeGiven = false;
    std::int64_t time = 0;  // seconds since 1970, in 64 bits on every platform
    // False leaves both out, so that the same picture always gives the same
    // bytes without anyone choosing a time (timeGiven is then ignored).
    bool timeRecorded = true;
    // Pixels per inch recorded in a pHYs chunk (as pixels per metre,
    // rounded); 0 writes none. 0..kMaxDpi.
    std::int32_t dpi = 0;
};

// Reads the time of the reproducible-builds convention (the environment
// variable SOURCE_DATE_EPOCH): a decimal number of seconds since 1970, digits
// only. False for anything else, or a time too large for a PNG time stamp.
[[nodiscard]] bool parseSourceDateEpoch(std::string_view text, std::int64_t& time);

// Writes image as PNG to a stream open for binary writing and flushes it;
// the caller opens and closes the stream. kInvalidArgument for a dpi
// outside 0..kMaxDpi (nothing is written); kCantCloseOutput when libpng
// reports an error, the stream a write error, or the image is empty.
[[nodiscard]] Status writePng(const RgbImage& image, const PngOptions& options, std::FILE* file);

// The same PNG bytes into png, replacing what it held; kCantCloseOutput as
// above or when memory runs out (png is then empty).
[[nodiscard]] Status writePng(const RgbImage& image, const PngOptions& options,
                              std::vector<std::uint8_t>& png);

// A 1-bit image as a palette PNG of its two colours (background first,
// so that a bar is index 1), bit depth 1, with the same chunks as above
// and unfiltered rows, libpng's own choice for palette images.
[[nodiscard]] Status writePng(const BitImage& image, const PngOptions& options, std::FILE* file);
[[nodiscard]] Status writePng(const BitImage& image, const PngOptions& options,
                              std::vector<std::uint8_t>& png);

}  // namespace barwright
