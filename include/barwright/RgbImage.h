#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// A 24-bit RGB raster: rows back to back, row 0 at the top; pixel x of a row
// is the bytes 3x, 3x+1, 3x+2 = red, green, blue. A plain value: copying
// copies the pixels.
class RgbImage {
public:
    // Larger images are refused before anything is allocated: PNG readers
    // refuse wider or taller ones, and with overcommit a huge block would not
    // fail to allocate but get the process killed while it is painted.
    static constexpr std::int32_t kMaxDimension = 1000000;
    static constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{1} << 30;
    static constexpr std::size_t kBytesPerPixel = 3;

    // An empty image (0 x 0).
    RgbImage() = default;

    // Makes the image width x height pixels of one colour, replacing what
    // it held. kCantAllocateImage when a side is below 1 or above the limits
    // or memory runs out; the image is then empty.
    [[nodiscard]] Status create(std::int32_t width, std::int32_t height, Color fill);

    // Paints w x h pixels at (x, y). No clipping: the caller keeps the
    // rectangle inside the image. w <= 0 or h <= 0 paints nothing.
    void fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, Color color);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    std::size_t rowBytes() const { return static_cast<std::size_t>(width_) * kBytesPerPixel; }
    const std::uint8_t* row(std::int32_t y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    std::uint8_t* row(std::int32_t y) {
        return pixels_.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    // All rows, top row first.
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace barwright
