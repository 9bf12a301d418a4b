// The floor of a whole run: a program that does nothing but write given
// pixels as barwright's PNG (8-bit RGB, zlib level 6, libpng's default
// filters, the same gAMA, tIME and tEXt chunks). Whatever barwright spends
// beyond this program's time is encoding, drawing and start-up.
//
//   barwright_floor --extract in.png pixels.rgb   (once, untimed)
//   barwright_floor pixels.rgb out.png            (the timed run)
//
// pixels.rgb is the width and height as two 4-byte little-endian numbers,
// then the rows of RGB bytes. The timed run reads it with one read() into
// one block, the same amount of memory barwright paints.
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr int kHeaderBytes = 8;
constexpr int kBytesPerPixel = 3;
constexpr std::uint32_t kMaxDimension = 1000000;

std::uint32_t readLittleEndian(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void writeLittleEndian(std::uint32_t value, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// Decodes an 8-bit RGB PNG into the raw form; anything else is refused.
int extract(const char* pngName, const char* rawName) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, pngName) == 0) {
        std::fprintf(stderr, "cannot read %s\n", pngName);
        return 1;
    }
    image.format = PNG_FORMAT_RGB;
    const std::size_t size = PNG_IMAGE_SIZE(image);
    auto* pixels = static_cast<png_bytep>(std::malloc(size + kHeaderBytes));
    if (pixels == nullptr ||
        png_image_finish_read(&image, nullptr, pixels + kHeaderBytes, 0, nullptr) == 0) {
        std::fprintf(stderr, "cannot decode %s\n", pngName);
        std::free(pixels);
        return 1;
    }
    writeLittleEndian(image.width, pixels);
    writeLittleEndian(image.height, pixels + 4);
    std::FILE* out = std::fopen(rawName, "wb");
    const bool written = out != nullptr &&
                         std::fwrite(pixels, 1, size + kHeaderBytes, out) == size + kHeaderBytes &&
                         std::fclose(out) == 0;
    std::free(pixels);
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", rawName);
        return 1;
    }
    return 0;
}

// Every call that can long-jump, with trivially destructible locals only.
bool writeWithLibpng(png_structp png, png_infop info, std::FILE* file, std::uint32_t width,
                     std::uint32_t height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_gAMA(png, info, 0.5);
    png_time stamp;
    png_convert_from_time_t(&stamp, std::time(nullptr));
    png_set_tIME(png, info, &stamp);
    char creationTime[29] = "";
    png_convert_to_rfc1123_buffer(creationTime, &stamp);
    char keys[5][16] = {"Title", "Author", "Description", "Creation Time", "Software"};
    char texts[5][sizeof creationTime] = {"Title_Text", "Author_Text", "Description_Text", "",
                                          "Software_Text"};
    std::memcpy(texts[3], creationTime, sizeof creationTime);
    png_text text[5] = {};
    for (int i = 0; i < 5; ++i) {
        text[i].compression = PNG_TEXT_COMPRESSION_NONE;
        text[i].key = keys[i];
        text[i].text = texts[i];
    }
    png_set_text(png, info, text, 5);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

int write(const char* rawName, const char* pngName) {
    const int input = open(rawName, O_RDONLY);
    unsigned char header[kHeaderBytes];
    if (input < 0 || read(input, header, kHeaderBytes) != kHeaderBytes) {
        std::fprintf(stderr, "cannot read %s\n", rawName);
        return 1;
    }
    const std::uint32_t width = readLittleEndian(header);
    const std::uint32_t height = readLittleEndian(header + 4);
    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) {
        std::fprintf(stderr, "bad size in %s\n", rawName);
        return 1;
    }
    const std::size_t rowBytes = std::size_t{width} * kBytesPerPixel;
    const std::size_t size = rowBytes * height;
    auto* pixels = static_cast<png_bytep>(std::malloc(size));
    auto* rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * height));
    std::size_t done = 0;
    while (pixels != nullptr && done < size) {
        const ssize_t got = read(input, pixels + done, size - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    close(input);
    if (pixels == nullptr || rows == nullptr || done != size) {
        std::fprintf(stderr, "cannot read the pixels of %s\n", rawName);
        return 1;
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        rows[y] = pixels + y * rowBytes;
    }

    std::FILE* file = std::fopen(pngName, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written =
        file != nullptr && info != nullptr && writeWithLibpng(png, info, file, width, height, rows);
    png_destroy_write_struct(&png, &info);
    written = file != nullptr && std::fclose(file) == 0 && written;
    std::free(rows);
    std::free(pixels);
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", pngName);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--extract") == 0) {
        return extract(argv[2], argv[3]);
    }
    if (argc == 3) {
        return write(argv[1], argv[2]);
    }
    std::fputs("usage: barwright_floor --extract in.png pixels.rgb | pixels.rgb out.png\n", stderr);
    return 2;
}
