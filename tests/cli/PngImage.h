#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace barwright::test {

using Rgb = std::array<std::uint8_t, 3>;

// A PNG file read back as 8-bit RGB through libpng.
struct PngImage {
    bool valid = false;
    std::string error;  // why it could not be read
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;  // rows top first, 3 bytes per pixel

    Rgb at(std::uint32_t x, std::uint32_t y) const;
    std::set<Rgb> colours() const;
};

PngImage readPng(const std::filesystem::path& path);

}  // namespace barwright::test
