#include "render/RgbImage.h"

#include <cassert>
#include <cstddef>
#include <cstring>
#include <new>

namespace barwright {

namespace {

constexpr std::size_t kBytesPerPixel = 3;
constexpr std::uint8_t kWhiteByte = 0xFF;
// Spans at least this long go to memset; shorter ones are cheaper stored
// inline than through a call whose set-up outweighs the few bytes written.
constexpr std::size_t kMemsetSpanBytes = 64;

// Sets `count` bytes at each of `rowCount` rows to `value`. Spans shorter
// than kMemsetSpanBytes, which is nearly every bar, are stored as a few
// words, the last one ending exactly at the span's end and overlapping the
// one before; the word size is chosen once for all the rows.
void fillSpans(std::uint8_t* const* rows, std::int32_t rowCount, std::size_t firstByte,
               std::size_t count, std::uint8_t value) {
    if (count >= kMemsetSpanBytes) {
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::memset(rows[j] + firstByte, value, count);
        }
        return;
    }
    const std::uint64_t word = 0x0101010101010101u * value;
    if (count >= 2 * sizeof word) {
        const std::uint64_t block[2] = {word, word};
        // Up to 63 bytes: blocks at 0, 16 and 32 as far as they fit before
        // the last, which ends the span.
        const std::size_t last = count - sizeof block;
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::uint8_t* bytes = rows[j] + firstByte;
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
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::uint8_t* bytes = rows[j] + firstByte;
            std::memcpy(bytes, &word, sizeof word);
            std::memcpy(bytes + count - sizeof word, &word, sizeof word);
        }
        return;
    }
    const auto half = static_cast<std::uint32_t>(word);
    if (count >= sizeof half) {
        for (std::int32_t j = 0; j < rowCount; ++j) {
            std::uint8_t* bytes = rows[j] + firstByte;
            std::memcpy(bytes, &half, sizeof half);
            std::memcpy(bytes + count - sizeof half, &half, sizeof half);
        }
        return;
    }
    for (std::int32_t j = 0; j < rowCount; ++j) {
        std::memset(rows[j] + firstByte, value, count);
    }
}

}  // namespace

RgbImage::RgbImage(std::int32_t width, std::int32_t height, std::uint32_t fillColor,
                   std::int32_t compressionLevel)
    : compressionLevel_(compressionLevel), width_(width), height_(height), fillColor_(fillColor) {}

RgbImage::~RgbImage() { releaseRows(); }

void RgbImage::releaseRows() {
    delete[] pixels_;
    pixels_ = nullptr;
    delete[] rows_;
    rows_ = nullptr;
    allocatedRowCount_ = 0;
}

bool RgbImage::allocateRows() {
    releaseRows();
    // Checked before anything is allocated: with overcommit a huge image
    // would not fail here but get the process killed while it is painted.
    if (width_ < 1 || width_ > kMaxDimension || height_ < 1 || height_ > kMaxDimension) {
        return false;
    }
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width_) * kBytesPerPixel;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height_);
    if (pixelBytes > kMaxPixelBytes) {
        return false;
    }

    // Every row lives in one block: one allocation instead of one per row,
    // and the rows lie back to back, as libpng reads them.
    rows_ = new (std::nothrow) std::uint8_t*[static_cast<std::size_t>(height_)];
    if (rows_ == nullptr) {
        return false;
    }
    pixels_ = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(pixelBytes)];
    if (pixels_ == nullptr) {
        releaseRows();
        return false;
    }
    std::memset(pixels_, kWhiteByte, static_cast<std::size_t>(pixelBytes));
    for (std::int32_t y = 0; y < height_; ++y) {
        rows_[y] = pixels_ + static_cast<std::size_t>(y) * rowBytes;
    }
    allocatedRowCount_ = height_;
    return true;
}

void RgbImage::fillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                        std::uint32_t color) {
    if (w <= 0 || h <= 0) {
        return;
    }
    assert(rows_ != nullptr && allocatedRowCount_ == height_);
    assert(x >= 0 && y >= 0 && std::int64_t{x} + w <= width_ && std::int64_t{y} + h <= height_);

    const auto red = static_cast<std::uint8_t>(color & 0xFF);
    const auto green = static_cast<std::uint8_t>((color >> 8) & 0xFF);
    const auto blue = static_cast<std::uint8_t>((color >> 16) & 0xFF);
    const std::size_t firstByte = static_cast<std::size_t>(x) * kBytesPerPixel;
    const std::size_t spanBytes = static_cast<std::size_t>(w) * kBytesPerPixel;

    if (red == green && green == blue) {
        // A grey (black and white included) is one byte value repeated, so
        // each row span is a single block fill.
        fillSpans(rows_ + y, h, firstByte, spanBytes, red);
        return;
    }
    for (std::int32_t j = 0; j < h; ++j) {
        std::uint8_t* pixel = rows_[y + j] + firstByte;
        for (std::int32_t i = 0; i < w; ++i) {
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
            pixel += kBytesPerPixel;
        }
    }
}

}  // namespace barwright
