#include "cli/PngImage.h"

#include <png.h>

#include <cstring>

namespace barwright::test {

Rgb PngImage::at(std::uint32_t x, std::uint32_t y) const {
    const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 3;
    return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
}

std::set<Rgb> PngImage::colours() const {
    std::set<Rgb> found;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        found.insert({pixels[i], pixels[i + 1], pixels[i + 2]});
    }
    return found;
}

PngImage readPng(const std::filesystem::path& path) {
    PngImage result;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        result.error = image.message;
        return result;
    }
    image.format = PNG_FORMAT_RGB;
    result.pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, result.pixels.data(), 0, nullptr) == 0) {
        result.error = image.message;
        png_image_free(&image);
        result.pixels.clear();
        return result;
    }
    result.valid = true;
    result.width = image.width;
    result.height = image.height;
    return result;
}

}  // namespace barwright::test
