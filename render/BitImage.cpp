#include "barwright/BitImage.h"

#include <cassert>
#include <cstring>
#include <new>

#include "render/PictureLimits.h"

namespace barwright {

namespace {

constexpr std::int32_t kBitsPerByte = 8;

// The bits x0 .. x1 - 1 of one byte (0 is its most significant bit),
// 0 <= x0 < x1 <= 8.
constexpr std::uint8_t bitsBetween(std::int32_t x0, std::int32_t x1) {
    return static_cast<std::uint8_t>((0xFFu >> x0) & (0xFFu << (kBitsPerByte - x1)));
}

}  // namespace

Status BitImage::create(std::int32_t width, std::int32_t height, Color background,
                        Color foreground) {
    *this = BitImage();
    // The 24-bit raster's limits although an eighth of its bytes would do:
    // the 1-bit picture of a symbol is then made exactly when the RGB one
    // is, so the formats accept the same sizes. That caps the block at
    // 2^30 / 3 pixels, about 45 MB.
    if (!withinPictureLimits(width, height)) {
        return status::kCantAllocateImage;
    }
    const std::size_t rowByteCount =
        (static_cast<std::size_t>(width) + kBitsPerByte - 1) / kBitsPerByte;
    try {
        pixels_.assign(rowByteCount * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return status::kCantAllocateImage;
    }
    width_ = width;
    height_ = height;
    background_ = background & kColorBits;
    foreground_ = foreground & kColorBits;
    return status::kOk;
}

void BitImage::fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (w <= 0 || h <= 0) {
        return;
    }
    assert(x >= 0 && y >= 0 && std::int64_t{x} + w <= width_ && std::int64_t{y} + h <= height_);

    // The span is worked out once for all its rows: a partial first byte,
    // whole bytes (set by memset), a partial last byte. A span inside one
    // byte has only the first.
    const std::int32_t end = x + w;
    const std::size_t firstByte = static_cast<std::size_t>(x / kBitsPerByte);
    const std::size_t lastByte = static_cast<std::size_t>((end - 1) / kBitsPerByte);
    const std::int32_t headBit = x % kBitsPerByte;
    const std::int32_t tailBits = end - static_cast<std::int32_t>(lastByte) * kBitsPerByte;
    const std::size_t stride = rowBytes();
    std::uint8_t* rowStart = pixels_.data() + static_cast<std::size_t>(y) * stride;

    if (firstByte == lastByte) {
        const std::uint8_t mask = bitsBetween(headBit, tailBits);
        for (std::int32_t j = 0; j < h; ++j, rowStart += stride) {
            rowStart[firstByte] |= mask;
        }
        return;
    }
    const std::uint8_t headMask = bitsBetween(headBit, kBitsPerByte);
    const std::uint8_t tailMask = bitsBetween(0, tailBits);
    const std::size_t wholeFirst = firstByte + 1;
    const std::size_t wholeCount = lastByte - wholeFirst;
    for (std::int32_t j = 0; j < h; ++j, rowStart += stride) {
        rowStart[firstByte] |= headMask;
        std::memset(rowStart + wholeFirst, 0xFF, wholeCount);
        rowStart[lastByte] |= tailMask;
    }
}

void BitImage::copyRow(std::int32_t from, std::int32_t to) {
    assert(from >= 0 && from < height_ && to >= 0 && to < height_);
    std::memcpy(pixels_.data() + static_cast<std::size_t>(to) * rowBytes(),
                pixels_.data() + static_cast<std::size_t>(from) * rowBytes(), rowBytes());
}

}  // namespace barwright
