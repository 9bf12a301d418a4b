#include "js/PictureBytes.h"

#include <cstring>

namespace barwright::js {
namespace {

constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterSub = 1;
constexpr std::uint8_t kFilterUp = 2;
constexpr std::uint8_t kOpaque = 255;

}  // namespace

void pngScanlines(const RgbImage& image, bool subtractLeft, std::string& rows) {
    const std::size_t rowBytes = image.rowBytes();
    const std::size_t pixelBytes = RgbImage::kBytesPerPixel;
    rows.resize((rowBytes + 1) * static_cast<std::size_t>(image.height()));
    auto* out = reinterpret_cast<std::uint8_t*>(rows.data());
    for (std::int32_t y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = image.row(y);
        if (y > 0 && std::memcmp(row, image.row(y - 1), rowBytes) == 0) {
            *out++ = kFilterUp;
            std::memset(out, 0, rowBytes);
        } else if (subtractLeft) {
            *out++ = kFilterSub;
            std::memcpy(out, row, pixelBytes);
            for (std::size_t i = pixelBytes; i < rowBytes; ++i) {
                out[i] = static_cast<std::uint8_t>(row[i] - row[i - pixelBytes]);
            }
        } else {
            *out++ = kFilterNone;
            std::memcpy(out, row, rowBytes);
        }
        out += rowBytes;
    }
}

void rgbaPixels(const RgbImage& image, std::string& pixels) {
    const std::size_t pixelCount =
        static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
    pixels.resize(pixelCount * 4);
    const std::uint8_t* in = image.pixels().data();
    auto* out = reinterpret_cast<std::uint8_t*>(pixels.data());
    for (std::size_t i = 0; i < pixelCount; ++i, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = kOpaque;
    }
}

}  // namespace barwright::js
