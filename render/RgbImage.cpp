#include "barwright/RgbImage.h"

#include <cassert>
#include <cstddef>
#include <cstring>
#include <new>

#include "render/PictureLimits.h"

namespace barwright {

namespace {

// Spans at least this long go to memset; shorter ones are cheaper stored
// inline than through a call whose set-up outweighs the few bytes written.
constexpr std::size_t kMemsetSpanBytes = 64;

bool isGrey(Color color) {
    return ((color >> 16) & 0xFF) == ((color >> 8) & 0xFF) &&
           ((color >> 8) & 0xFF) == (color & 0xFF);
}

// Sets `count` bytes (sizeof pattern up to twice that) of each row, with
// two copies of the pattern: one at the span's start, one ending at its end.
template <typename Pattern>
void fillWithTwoCopies(std::uint8_t* firstRow, std::size_t stride, std::int32_t rowCount,
                       std::size_t firstByte, std::size_t count, Pattern pattern) {
    for (std::int32_t j = 0; j < rowCount; ++j) {
        std::uint8_t* bytes = firstRow + static_cast<std::size_t>(j) * stride + firstByte;
        std::memcpy(bytes, &pattern, sizeof pattern);
        std::memcpy(bytes + count - sizeof pattern, &pattern, sizeof pattern);
    }
}

// Sets `count` bytes at each of `rowCount` rows, `stride` bytes apart from
// `firstRow` on, to `value`. Spans shorter than kMemsetSpanBytes, which is
// nearly every bar, are stored as a few words, the last one ending exactly
// at the span's end and overlapping the one before; the word size is chosen
// once for all the rows.
void fillSpans(std::uint8_t* firstRow, std::size_t stride, std::int32_t rowCount,
               std::size_t firstByte, std::size_t count, std::uint8_t value) {
    auto rowAt = [&](std::int32_t j) { return firstRow + static_cast<std::size_t>(j) * stride; };
    const std::uint64_t word = 0x0101010101010101u * value;
    const auto half = static_cast<std::uint32_t>(word);
    // Long spans, and spans too short for a word of any size.
    if (count >= kMemsetSpanBytes || count < sizeof half) {
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::memset(rowAt(j) + firstByte, value, count);
        }
        return;
    }
    if (count >= 2 * sizeof word) {
        const std::uint64_t block[2] = {word, word};
        // Up to 63 bytes: blocks at 0, 16 and 32 as far as they fit before
        // the last, which ends the span.
        const std::size_t last = count - sizeof block;
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::uint8_t* bytes = rowAt(j) + firstByte;
            std::memcpy(bytes, block, sizeof block);
            if (last > sizeof block) {
                std::memcpy(bytes + sizeof block, block, sizeof block);
            }
            if (last > 2 * sizeof block) {
                std::memcpy(bytes + 2 * sizeof block, block, sizeof block);
            }
            std::memcpy(bytes + last, block, sizeof block);
        }
        return;
    }
    if (count >= sizeof word) {
        fillWithTwoCopies(firstRow, stride, rowCount, firstByte, count, word);
    } else {
        fillWithTwoCopies(firstRow, stride, rowCount, firstByte, count, half);
    }
}

}  // namespace

Status RgbImage::create(std::int32_t width, std::int32_t height, Color fill) {
    *this = RgbImage();
    // Checked before anything is allocated: with overcommit a huge image
    // would not fail here but get the process killed while it is painted.
    if (!withinPictureLimits(width, height)) {
        return status::kCantAllocateImage;
    }
    const std::uint64_t pixelBytes =
        static_cast<std::uint64_t>(width) * kBytesPerPixel * static_cast<std::uint64_t>(height);
    try {
        // A grey (white included) is one byte value throughout, so the block
        // is filled as it is allocated; other colours are painted after.
        const auto red = static_cast<std::uint8_t>((fill >> 16) & 0xFF);
        pixels_.assign(static_cast<std::size_t>(pixelBytes), red);
    } catch (const std::bad_alloc&) {
        return status::kCantAllocateImage;
    }
    width_ = width;
    height_ = height;
    if (!isGrey(fill)) {
        fillRect(0, 0, width, height, fill);
    }
    return status::kOk;
}

void RgbImage::fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        Color color) {
    if (w <= 0 || h <= 0) {
        return;
    }
    assert(x >= 0 && y >= 0 && std::int64_t{x} + w <= width_ && std::int64_t{y} + h <= height_);

    const auto red = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    const auto green = static_cast<std::uint8_t>((color >> 8) & 0xFF);
    const auto blue = static_cast<std::uint8_t>(color & 0xFF);
    const std::size_t firstByte = static_cast<std::size_t>(x) * kBytesPerPixel;
    const std::size_t spanBytes = static_cast<std::size_t>(w) * kBytesPerPixel;

    if (isGrey(color)) {
        // A grey (black and white included) is one byte value repeated, so
        // each row span is a single block fill.
        fillSpans(row(y), rowBytes(), h, firstByte, spanBytes, red);
        return;
    }
    for (std::int32_t j = 0; j < h; ++j) {
        std::uint8_t* pixel = row(y + j) + firstByte;
        for (std::int32_t i = 0; i < w; ++i) {
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
            pixel += kBytesPerPixel;
        }
    }
}

}  // namespace barwright
