#pragma once

#include <ZXing/ReadBarcode.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "barwright/RgbImage.h"

namespace barwright::test {

// 8-bit RGB pixels, rows top first: what the raster targets paint and what
// real renderers give back.
struct Raster {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;

    std::uint32_t at(std::int32_t x, std::int32_t y) const {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    }
    // The part from (left, top), width x height, clipped to the raster.
    Raster cropped(std::int32_t left, std::int32_t top, std::int32_t w, std::int32_t h) const {
        Raster part;
        for (std::int32_t y = top; y < top + h && y < height; ++y) {
            const std::int32_t right = left + w < width ? left + w : width;
            const auto row = static_cast<std::size_t>(y) * width;
            part.rgb.insert(part.rgb.end(), rgb.begin() + (row + left) * 3,
                            rgb.begin() + (row + right) * 3);
            part.width = right - left;
            ++part.height;
        }
        return part;
    }
};

inline Raster rasterOf(const RgbImage& image) {
    return Raster{image.width(), image.height(), image.pixels()};
}

// The first pixel where two rasters differ, or "" when they are equal.
inline std::string firstDifference(const Raster& expected, const Raster& actual) {
    std::ostringstream out;
    if (expected.width != actual.width || expected.height != actual.height) {
        out << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
            << "x" << expected.height;
        return out.str();
    }
    for (std::int32_t y = 0; y < expected.height; ++y) {
        for (std::int32_t x = 0; x < expected.width; ++x) {
            if (expected.at(x, y) != actual.at(x, y)) {
                out << "pixel (" << x << ", " << y << ") is " << std::hex << actual.at(x, y)
                    << ", expected " << expected.at(x, y);
                return out.str();
            }
        }
    }
    return "";
}

// A binary PPM (P6, 8 bits) as renderers write it, comment lines allowed
// after the magic number; false when the bytes are not one.
inline bool readPpm(const std::string& bytes, Raster& raster) {
    std::istringstream header(bytes);
    std::string magic;
    int maxValue = 0;
    header >> magic;
    while (header >> std::ws && header.peek() == '#') {
        std::string comment;
        std::getline(header, comment);
    }
    header >> raster.width >> raster.height >> maxValue;
    header.get();
    const auto offset = static_cast<std::size_t>(header.tellg());
    const auto size = static_cast<std::size_t>(raster.width) * raster.height * 3;
    if (magic != "P6" || maxValue != 255 || !header || bytes.size() != offset + size) {
        return false;
    }
    raster.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
    return true;
}

// zxing-cpp's reading of a raster: the data bytes, or why there are none.
inline std::string decodedData(const Raster& raster, bool& found) {
    const ZXing::ImageView view(raster.rgb.data(), raster.width, raster.height,
                                ZXing::ImageFormat::RGB);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417).setTryHarder(true).setTryRotate(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    found = result.isValid();
    if (!found) {
        return ZXing::ToString(result.error());
    }
    return std::string(result.bytes().begin(), result.bytes().end());
}

}  // namespace barwright::test
