#include "cli/PngImage.h"

#include <png.h>

#include <cstdio>

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

namespace {

// libpng leaves by longjmp on an error, so this function holds nothing that
// needs destroying. No transformation is asked for: the pixels are compared
// as stored, without the gamma correction libpng's simplified reader applies.
bool readWhole(png_structp png, png_infop info, std::FILE* file) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace

PngImage readPng(const std::filesystem::path& path) {
    PngImage result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.error = "cannot open " + path.string();
        return result;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        result.error = "cannot create libpng structures";
    } else if (!readWhole(png, info, file)) {
        result.error = "libpng could not read " + path.string();
    } else if (png_get_bit_depth(png, info) != 8 ||
               png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB) {
        result.error = "not 8-bit RGB";
    } else {
        result.width = png_get_image_width(png, info);
        result.height = png_get_image_height(png, info);
        png_bytepp rows = png_get_rows(png, info);
        const std::size_t rowBytes = static_cast<std::size_t>(result.width) * 3;
        result.pixels.reserve(rowBytes * result.height);
        for (std::uint32_t y = 0; y < result.height; ++y) {
            result.pixels.insert(result.pixels.end(), rows[y], rows[y] + rowBytes);
        }
        result.valid = true;
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    std::fclose(file);
    return result;
}

}  // namespace barwright::test
