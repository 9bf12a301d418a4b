#include "support/PngImage.h"

#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace barwright::test {

namespace {

constexpr std::uint8_t kOpaque = 255;
constexpr std::size_t kRgbaBytes = 4;

struct Cursor {
    const char* data;
    std::size_t size;
    std::size_t at;
};

void readFromCursor(png_structp png, png_bytep out, png_size_t count) {
    auto* cursor = static_cast<Cursor*>(png_get_io_ptr(png));
    if (count > cursor->size - cursor->at) {
        png_error(png, "the file ends too soon");
    }
    std::memcpy(out, cursor->data + cursor->at, count);
    cursor->at += count;
}

// The header, the palette and pHYs as stored, then the transformations to
// 8-bit RGBA. libpng leaves by longjmp on an error, so this function and
// readRows hold nothing that needs destroying.
bool readHeader(png_structp png, png_infop info, Cursor* cursor, PngImage* image) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, cursor, readFromCursor);
    png_read_info(png, info);
    png_get_IHDR(png, info, &image->width, &image->height, &image->bitDepth, &image->colourType,
                 &image->interlace, nullptr, nullptr);
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) != 0) {
        for (int i = 0; i < paletteSize; ++i) {
            image->palette.push_back(std::uint32_t{palette[i].red} << 16 |
                                     std::uint32_t{palette[i].green} << 8 | palette[i].blue);
        }
    }
    image->hasResolution = png_get_pHYs(png, info, &image->pixelsPerUnitX, &image->pixelsPerUnitY,
                                        &image->resolutionUnit) != 0;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, kOpaque, PNG_FILLER_AFTER);
    (void)png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == image->width * kRgbaBytes;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

}  // namespace

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

bool PngImage::isRgb8() const { return bitDepth == 8 && colourType == PNG_COLOR_TYPE_RGB; }

PngImage readPngBytes(std::string_view bytes) {
    PngImage image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    Cursor cursor{bytes.data(), bytes.size(), 0};
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    if (info == nullptr) {
        image.error = "cannot create libpng structures";
    } else if (!readHeader(png, info, &cursor, &image)) {
        image.error = "libpng could not read the header";
    } else {
        rgba.resize(static_cast<std::size_t>(image.width) * image.height * kRgbaBytes);
        for (std::uint32_t y = 0; y < image.height; ++y) {
            rows.push_back(rgba.data() + static_cast<std::size_t>(y) * image.width * kRgbaBytes);
        }
        image.valid = readRows(png, info, rows.data());
        image.error = image.valid ? "" : "libpng could not read the pixels";
    }
    png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    for (std::size_t i = 0; image.valid && i < rgba.size(); i += kRgbaBytes) {
        image.pixels.insert(image.pixels.end(), &rgba[i], &rgba[i] + 3);
        image.alpha.push_back(rgba[i + 3]);
    }
    return image;
}

PngImage readPngFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        PngImage image;
        image.error = "cannot open " + path.string();
        return image;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return readPngBytes(bytes);
}

PngImage readPng(const std::filesystem::path& path) {
    PngImage image = readPngFile(path);
    if (image.valid && !image.isRgb8()) {
        image.valid = false;
        image.error = "not 8-bit RGB";
    }
    return image;
}

PngImage readPngAsRgb(const std::filesystem::path& path) {
    PngImage image = readPngFile(path);
    for (std::size_t i = 0; image.valid && i < image.alpha.size(); ++i) {
        if (image.alpha[i] != kOpaque) {
            image.valid = false;
            image.error = "a pixel that is not opaque at " + std::to_string(i % image.width) + "," +
                          std::to_string(i / image.width);
        }
    }
    return image;
}

}  // namespace barwright::test
