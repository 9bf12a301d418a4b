#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// A 1-bit raster with two colours: 1 is a bar (the foreground), 0 the
// background. Rows back to back, row 0 at the top, each packed most
// significant bit first (as PNG stores them) into rowBytes() bytes whose
// padding bits are 0. A plain value: copying copies the pixels.
class BitImage {
public:
    // An empty image (0 x 0).
    BitImage() = default;

    // Makes the image width x height pixels of background, replacing what it
    // held. kCantAllocateImage when a side is below 1 or above the raster
    // limits (those of RgbImage, so that every format takes the same sizes)
    // or memory runs out; the image is then empty.
    [[nodiscard]] Status create(std::int32_t width, std::int32_t height, Color background,
                                Color foreground);

    // Sets w x h pixels at (x, y) to bars. No clipping: the caller keeps the
    // rectangle inside the image. w <= 0 or h <= 0 sets nothing.
    void fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    // Makes row `to` a copy of row `from`; both must lie inside the image.
    void copyRow(std::int32_t from, std::int32_t to);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    bool empty() const { return pixels_.empty(); }
    std::size_t rowBytes() const { return (static_cast<std::size_t>(width_) + 7) / 8; }
    const std::uint8_t* row(std::int32_t y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    bool bit(std::int32_t x, std::int32_t y) const {
        return (row(y)[static_cast<std::size_t>(x) / 8] >> (7 - x % 8) & 1) != 0;
    }
    // All rows, top row first.
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    Color background() const { return background_; }
    Color foreground() const { return foreground_; }

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    Color background_ = kWhite;
    Color foreground_ = kBlack;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace barwright
