// The library's PNG writer (barwright/PngWriter.h) as the WebAssembly build
// has it, in place of PngWriter.cpp, written with zlib alone: libpng is not
// built for WebAssembly here, and a barcode needs little of it. The pixels are the native writer's;
// of its chunks it writes those that describe the picture (gAMA, pHYs when options.dpi is set, PLTE
// for a 1-bit image), tIME only when a time is given (the module has no clock), and none of the
// text chunks.
//
// RGB rows are filtered for zlib's run-length strategy, which finds runs of
// equal bytes only and skips the hashing that the default strategy spends
// nearly all its time on: a row that repeats the one above takes Up (zeros),
// any other None when all its pixels are grey (a bar is then one run of
// equal bytes) and Sub otherwise (a bar of any colour is then zeros). 1-bit
// rows take Up when they repeat and None otherwise, as the native writer's.
// kCantCloseOutput when zlib fails, as the program reports a failed write.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "barwright/PngWriter.h"
#include "output/FlateStream.h"
#include "output/PngValues.h"
#include "render/UtcTime.h"

namespace barwright {
namespace {

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// IHDR's colour types, with the bit depth each is written at.
enum ColourType : std::uint8_t { kColourTypeRgb = 2, kColourTypePalette = 3 };
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kPaletteBitDepth = 1;
// The filter types a row is led by.
enum FilterType : std::uint8_t { kFilterNone = 0, kFilterSub = 1, kFilterUp = 2 };
// gAMA holds gamma x 100000.
constexpr double kGammaScale = 100000.0;
constexpr std::uint8_t kUnitMetre = 1;
constexpr std::size_t kRgbBytes = 3;

void putWord(std::string& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    out.append(bytes, 4);
}

// Appends a chunk: length, type, body, and the CRC of type and body.
void putChunk(std::string& out, const char* type, const std::string& body) {
    putWord(out, static_cast<std::uint32_t>(body.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out += body;
    const auto* crcBytes = reinterpret_cast<const Bytef*>(out.data() + typeAt);
    putWord(out,
            static_cast<std::uint32_t>(crc32(0, crcBytes, static_cast<uInt>(4 + body.size()))));
}

// Whether two rows of bytes are equal, compared eight bytes at a time: the
// C library's memcmp in WebAssembly goes byte by byte, and comparing every
// row with the one above would take a third of the PNG's time.
bool sameBytes(const std::uint8_t* a, const std::uint8_t* b, std::size_t count) {
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= count; i += sizeof(std::uint64_t)) {
        std::uint64_t left = 0;
        std::uint64_t right = 0;
        std::memcpy(&left, a + i, sizeof left);
        std::memcpy(&right, b + i, sizeof right);
        if (left != right) {
            return false;
        }
    }
    return std::memcmp(a + i, b + i, count - i) == 0;
}

// Whether every pixel of an RGB row is grey.
bool isGreyRow(const std::uint8_t* row, std::size_t rowBytes) {
    for (std::size_t i = 0; i < rowBytes; i += kRgbBytes) {
        if (row[i] != row[i + 1] || row[i + 1] != row[i + 2]) {
            return false;
        }
    }
    return true;
}

// The scanlines: each row led by its filter type (see above). pixelBytes
// is 3 for RGB, 0 for packed 1-bit rows (no Sub).
template <typename Image>
std::string scanlines(const Image& image, std::size_t pixelBytes) {
    const std::size_t rowBytes = image.rowBytes();
    std::string rows((rowBytes + 1) * static_cast<std::size_t>(image.height()), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(rows.data());
    for (std::int32_t y = 0; y < image.height(); ++y, out += rowBytes + 1) {
        const std::uint8_t* row = image.row(y);
        if (y > 0 && sameBytes(row, image.row(y - 1), rowBytes)) {
            out[0] = kFilterUp;  // the row's bytes are zeros already
        } else if (pixelBytes > 0 && !isGreyRow(row, rowBytes)) {
            out[0] = kFilterSub;
            std::memcpy(out + 1, row, pixelBytes);
            for (std::size_t i = pixelBytes; i < rowBytes; ++i) {
                out[1 + i] = static_cast<std::uint8_t>(row[i] - row[i - pixelBytes]);
            }
        } else {
            out[0] = kFilterNone;
            std::memcpy(out + 1, row, rowBytes);
        }
    }
    return rows;
}

std::string header(std::int32_t width, std::int32_t height, std::uint8_t bitDepth,
                   std::uint8_t colourType) {
    std::string body;
    putWord(body, static_cast<std::uint32_t>(width));
    putWord(body, static_cast<std::uint32_t>(height));
    const char rest[5] = {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
    return body.append(rest, 5);
}

// PLTE: the background at index 0, the bars at 1.
std::string palette(Color background, Color foreground) {
    std::string body;
    for (const Color colour : {background, foreground}) {
        body += static_cast<char>((colour >> 16) & 0xFF);
        body += static_cast<char>((colour >> 8) & 0xFF);
        body += static_cast<char>(colour & 0xFF);
    }
    return body;
}

// pHYs: the same pixels per metre on both axes.
std::string resolution(std::int32_t dpi) {
    const std::uint32_t perMetre = pngPixelsPerMetre(dpi);
    std::string body;
    putWord(body, perMetre);
    putWord(body, perMetre);
    return body += static_cast<char>(kUnitMetre);
}

// tIME: the UTC date and time of seconds since 1970.
std::string timeStamp(std::int64_t seconds) {
    const UtcTime utc = utcTimeOf(seconds);
    const char body[7] = {static_cast<char>(utc.year >> 8), static_cast<char>(utc.year),
                          static_cast<char>(utc.month),     static_cast<char>(utc.day),
                          static_cast<char>(utc.hour),      static_cast<char>(utc.minute),
                          static_cast<char>(utc.second)};
    return std::string(body, 7);
}

// The whole file: the header and palette chunks given, then the picture's.
Status writeFile(const std::string& headerChunks, const std::string& rows,
                 const PngOptions& options, std::vector<std::uint8_t>& png) {
    png.clear();
    std::string data;
    FlateStream flate(options.compressionLevel, Z_RLE);
    if (flate.compress(rows, data) != status::kOk) {
        return status::kCantCloseOutput;
    }
    std::string file(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    file += headerChunks;
    std::string gamma;
    putWord(gamma, static_cast<std::uint32_t>(pngFileGamma(options.gamma) * kGammaScale + 0.5));
    putChunk(file, "gAMA", gamma);
    if (options.dpi > 0) {
        putChunk(file, "pHYs", resolution(options.dpi));
    }
    if (options.timeRecorded && options.timeGiven) {
        putChunk(file, "tIME", timeStamp(static_cast<std::int64_t>(options.time)));
    }
    putChunk(file, "IDAT", data);
    putChunk(file, "IEND", std::string());
    png.assign(file.begin(), file.end());
    return status::kOk;
}

// Either kind of image: its header, its palette when it has one, and the
// rest (see writeFile).
template <typename Image>
Status writeImage(const Image& image, const PngOptions& options, std::uint8_t bitDepth,
                  std::uint8_t colourType, const std::string& paletteBody, std::size_t pixelBytes,
                  std::vector<std::uint8_t>& png) {
    png.clear();
    if (options.dpi < 0 || options.dpi > kMaxDpi) {
        return status::kInvalidArgument;
    }
    if (image.empty()) {
        return status::kCantCloseOutput;
    }
    std::string chunks;
    putChunk(chunks, "IHDR", header(image.width(), image.height(), bitDepth, colourType));
    if (!paletteBody.empty()) {
        putChunk(chunks, "PLTE", paletteBody);
    }
    return writeFile(chunks, scanlines(image, pixelBytes), options, png);
}

Status toStream(Status status, const std::vector<std::uint8_t>& png, std::FILE* file) {
    if (status != status::kOk) {
        return status;
    }
    if (file == nullptr || std::fwrite(png.data(), 1, png.size(), file) != png.size() ||
        std::fflush(file) != 0) {
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

}  // namespace

Status writePng(const RgbImage& image, const PngOptions& options, std::vector<std::uint8_t>& png) {
    return writeImage(image, options, kBitDepth, kColourTypeRgb, std::string(), kRgbBytes, png);
}

Status writePng(const BitImage& image, const PngOptions& options, std::vector<std::uint8_t>& png) {
    return writeImage(image, options, kPaletteBitDepth, kColourTypePalette,
                      palette(image.background(), image.foreground()), 0, png);
}

Status writePng(const RgbImage& image, const PngOptions& options, std::FILE* file) {
    std::vector<std::uint8_t> png;
    return toStream(writePng(image, options, png), png, file);
}

Status writePng(const BitImage& image, const PngOptions& options, std::FILE* file) {
    std::vector<std::uint8_t> png;
    return toStream(writePng(image, options, png), png, file);
}

}  // namespace barwright
