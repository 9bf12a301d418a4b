#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "barwright/Status.h"

namespace barwright {

// A 24-bit RGB raster, rows back to back in one buffer, row 0 at the top; pixel x of a
// row is the bytes 3x, 3x+1, 3x+2 = red, green, blue. Colours are passed as
// 0x00BBGGRR (red in the lowest byte).
class RgbImage {
public:
    // libpng refuses wider or taller images, and pixel data above 1 GiB
    // would only be killed by the kernel while being filled (Linux
    // overcommits), so allocateRows refuses both before allocating.
    static constexpr std::int32_t kMaxDimension = 1000000;
    static constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{1} << 30;
    // Compression level that stands for "libpng's default" (written as 6).
    static constexpr std::int32_t kDefaultCompression = -2;

    // Stores the values; allocates nothing and cannot fail.
    RgbImage(std::int32_t width, std::int32_t height, std::uint32_t fillColor,
             std::int32_t compressionLevel);
    virtual ~RgbImage();
    RgbImage(const RgbImage&) = delete;
    RgbImage& operator=(const RgbImage&) = delete;

    // Allocates every row, painted white (rows from an earlier call are
    // freed first). False when memory runs out or the size is unreasonable
    // (see the limits above); rows() is then null and nothing stays
    // allocated.
    [[nodiscard]] bool allocateRows();

    // Paints w x h pixels at (x, y). No clipping: the caller keeps the
    // rectangle inside the image. w <= 0 or h <= 0 paints nothing.
    void fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  std::uint32_t color);

    // Writes the image as PNG to a file opened for binary writing and
    // flushes it; the caller opens and closes the file. 26 when libpng
    // reports an error, the stream reports a write error, or the rows are
    // not allocated.
    [[nodiscard]] Status writePng(std::FILE* file);
    // Writes the same PNG bytes into png, replacing what it held. 26 as
    // above, or when memory for the bytes runs out; png is then empty.
    [[nodiscard]] Status writePng(std::vector<std::uint8_t>& png);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::int32_t bitDepth() const { return bitDepth_; }
    double gamma() const { return gamma_; }
    void setGamma(double gamma) { gamma_ = gamma; }
    std::uint32_t fillColor() const { return fillColor_; }
    std::int32_t compressionLevel() const { return compressionLevel_; }
    // One pointer per row, top row first: the layout libpng's whole-image
    // write takes. Null before allocateRows.
    std::uint8_t** rows() const { return rows_; }

private:
    // Frees the pixels and the row-pointer array.
    void releaseRows();

    std::int32_t compressionLevel_;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t bitDepth_ = 8;
    double gamma_ = 0.5;
    std::uint32_t fillColor_;
    std::uint8_t** rows_ = nullptr;
    // The pixels of all rows, which rows_ points into.
    std::uint8_t* pixels_ = nullptr;
    std::int32_t allocatedRowCount_ = 0;
};

}  // namespace barwright
