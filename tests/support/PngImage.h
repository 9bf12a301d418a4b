#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace barwright::test {

using Rgb = std::array<std::uint8_t, 3>;

// A PNG read back through libpng, the tests' one reader: what its header
// says, and its pixels as stored (no gamma correction), a palette or grey
// expanded to 8-bit RGB and 16 bits cut to 8, with each pixel's alpha apart.
struct PngImage {
    bool valid = false;
    std::string error;  // why it is not valid
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // As stored.
    int bitDepth = 0;
    int colourType = 0;  // PNG_COLOR_TYPE_...
    int interlace = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB, for a palette image
    bool hasResolution = false;          // a pHYs chunk
    std::uint32_t pixelsPerUnitX = 0;
    std::uint32_t pixelsPerUnitY = 0;
    int resolutionUnit = 0;  // PNG_RESOLUTION_...
    // Rows top first: 3 bytes a pixel, and one alpha byte a pixel (255
    // throughout when the file has none).
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> alpha;

    Rgb at(std::uint32_t x, std::uint32_t y) const;
    std::set<Rgb> colours() const;
    // Whether it is stored as barwright writes its files: 8-bit RGB.
    bool isRgb8() const;
};

// Any PNG in memory or in a file.
PngImage readPngBytes(std::string_view bytes);
PngImage readPngFile(const std::filesystem::path& path);

// A file that must be 8-bit RGB as barwright writes: invalid otherwise.
PngImage readPng(const std::filesystem::path& path);
// Any PNG whose every pixel is opaque, as a barcode's should be: invalid
// when one is not.
PngImage readPngAsRgb(const std::filesystem::path& path);

}  // namespace barwright::test
