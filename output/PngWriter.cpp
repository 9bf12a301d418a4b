#include "barwright/PngWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <utility>
#include <vector>

#include "output/PngValues.h"
#include "output/PngWriteStructs.h"
#include "render/UtcTime.h"

namespace barwright {

namespace {

constexpr int kTextEntryCount = 5;
// Red, green and blue bytes: the distance Sub, Average and Paeth look back.
constexpr std::size_t kRgbBytesPerPixel = 3;
// 8 bits per channel for RGB; one bit a pixel, an index into the two
// colours, for a 1-bit image.
constexpr int kRgbBitDepth = 8;
constexpr int kPaletteBitDepth = 1;
constexpr int kPaletteSize = 2;
// png_convert_to_rfc1123_buffer writes at most 28 characters and a NUL.
constexpr int kRfc1123BufferSize = 29;

// Where the bytes go: an open file, or (when file is null) the end of a
// buffer in memory.
struct PngSink {
    std::FILE* file;
    std::vector<std::uint8_t>* buffer;
};

// libpng's write callback for a buffer in memory. Running out of memory
// becomes a libpng error, so it ends the write like a failed file write;
// the exception is finished with before the long jump.
void appendToBuffer(png_structp png, png_bytep data, png_size_t length) {
    auto* buffer = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        buffer->insert(buffer->end(), data, data + length);
    } catch (const std::exception&) {
        appended = false;
    }
    if (!appended) {
        png_error(png, "out of memory");
    }
}

// A buffer in memory has nothing to flush.
void flushNothing(png_structp) {}

// libpng's filter choice costs more than the rest of the write but for
// zlib: left alone it filters every row five ways (None, Sub, Up, Average,
// Paeth), sums each result's bytes taken as signed values (v below 128
// counts v, any other 256 - v), and keeps the first filter with the
// smallest sum. Its outcome can be known beforehand, and asking libpng for
// just that filter gives the same bytes without its trials:
// - a row of zero bytes: None is tried first and sums to 0, and a later
//   filter wins only with a smaller sum;
// - any other row equal to the previous one: Up sums to 0, while None and
//   Sub, tried before it, sum to 0 only on a row of zero bytes (Sub keeps
//   the first pixel as it is);
// - any other row: the same five sums, taken here in one pass over the row
//   that the compiler can vectorise, where libpng filters and sums in five.
// Barcodes repeat rows a lot (every pixel row of a codeword row, the quiet
// zone), so most rows take one of the first two ways.
bool allZero(png_const_bytep row, std::size_t rowBytes) {
    for (std::size_t i = 0; i < rowBytes; ++i) {
        if (row[i] != 0) {
            return false;
        }
    }
    return true;
}

// A filtered byte as libpng weighs it. Everything below works in 16 bits,
// which holds every value it meets (-510..765), so that the compiler packs
// eight bytes of the row into each vector.
inline std::int16_t weight(std::int16_t filtered) {
    const auto v = static_cast<std::int16_t>(filtered & 0xFF);
    return v < 128 ? v : static_cast<std::int16_t>(256 - v);
}

inline std::int16_t distance(std::int16_t a, std::int16_t b) {
    return static_cast<std::int16_t>(a > b ? a - b : b - a);
}

// The Paeth predictor of the PNG format: of left, above and upper left, the
// one nearest to left + above - upper left, in that order on a tie. Written
// without branches so that the loop below vectorises.
inline std::int16_t paethPredictor(std::int16_t left, std::int16_t above, std::int16_t upperLeft) {
    const std::int16_t leftDistance = distance(above, upperLeft);
    const std::int16_t aboveDistance = distance(left, upperLeft);
    const std::int16_t upperLeftDistance =
        distance(static_cast<std::int16_t>(left + above), static_cast<std::int16_t>(2 * upperLeft));
    const bool takeLeft = (leftDistance <= aboveDistance) & (leftDistance <= upperLeftDistance);
    const std::int16_t aboveOrUpperLeft = aboveDistance <= upperLeftDistance ? above : upperLeft;
    return takeLeft ? left : aboveOrUpperLeft;
}

// The filter libpng's trials would pick for the row, bytesPerPixel bytes a
// pixel, with previous the row above. In a picture one pixel wide libpng
// tries only None and Up: Sub, Average and Paeth need a pixel on the left.
int chosenFilter(png_const_bytep row, png_const_bytep previous, std::size_t rowBytes,
                 std::size_t bytesPerPixel) {
    std::uint32_t none = 0;
    std::uint32_t sub = 0;
    std::uint32_t up = 0;
    std::uint32_t average = 0;
    std::uint32_t paeth = 0;
    // The first pixel has nothing to its left.
    const std::size_t firstPixel = bytesPerPixel < rowBytes ? bytesPerPixel : rowBytes;
    for (std::size_t i = 0; i < firstPixel; ++i) {
        const std::int16_t x = row[i];
        const std::int16_t above = previous[i];
        none += static_cast<std::uint32_t>(weight(x));
        sub += static_cast<std::uint32_t>(weight(x));
        up += static_cast<std::uint32_t>(weight(static_cast<std::int16_t>(x - above)));
        average += static_cast<std::uint32_t>(weight(static_cast<std::int16_t>(x - above / 2)));
        paeth += static_cast<std::uint32_t>(
            weight(static_cast<std::int16_t>(x - paethPredictor(0, above, 0))));
    }
    // Row sums stay far below 2^32: at most 128 for each of 3 million bytes.
    for (std::size_t i = firstPixel; i < rowBytes; ++i) {
        const std::int16_t x = row[i];
        const std::int16_t left = row[i - bytesPerPixel];
        const std::int16_t above = previous[i];
        const std::int16_t upperLeft = previous[i - bytesPerPixel];
        none += static_cast<std::uint32_t>(weight(x));
        sub += static_cast<std::uint32_t>(weight(static_cast<std::int16_t>(x - left)));
        up += static_cast<std::uint32_t>(weight(static_cast<std::int16_t>(x - above)));
        average += static_cast<std::uint32_t>(
            weight(static_cast<std::int16_t>(x - ((left + above) >> 1))));
        paeth += static_cast<std::uint32_t>(
            weight(static_cast<std::int16_t>(x - paethPredictor(left, above, upperLeft))));
    }
    // In libpng's order; a later filter wins only with a smaller sum.
    const bool onePixelWide = rowBytes <= bytesPerPixel;
    int best = PNG_FILTER_NONE;
    std::uint32_t smallest = none;
    const std::pair<int, std::uint32_t> others[] = {{PNG_FILTER_SUB, sub},
                                                    {PNG_FILTER_UP, up},
                                                    {PNG_FILTER_AVG, average},
                                                    {PNG_FILTER_PAETH, paeth}};
    for (const auto& [filter, sum] : others) {
        if (onePixelWide && filter != PNG_FILTER_UP) {
            continue;
        }
        if (sum < smallest) {
            best = filter;
            smallest = sum;
        }
    }
    return best;
}

int filtersFor(png_const_bytep row, png_const_bytep previous, std::size_t rowBytes,
               std::size_t bytesPerPixel) {
    if (allZero(row, rowBytes)) {
        return PNG_FILTER_NONE;
    }
    if (std::memcmp(row, previous, rowBytes) == 0) {
        return PNG_FILTER_UP;
    }
    return chosenFilter(row, previous, rowBytes, bytesPerPixel);
}

// All that the long-jumping part of the write needs, prepared beforehand so
// that nothing in it has a destructor.
struct PngWriteJob {
    PngSink sink;
    png_uint_32 width;
    png_uint_32 height;
    int colorType;  // PNG_COLOR_TYPE_RGB or PNG_COLOR_TYPE_PALETTE
    int bitDepth;
    png_color palette[kPaletteSize];  // for PNG_COLOR_TYPE_PALETTE
    png_uint_32 pixelsPerMetre;       // 0: no pHYs chunk
    int zlibLevel;
    double gamma;
    png_time stamp;
    bool timeRecorded;  // false: neither tIME nor the "Creation Time" text
    char creationTime[kRfc1123BufferSize];
    const std::uint8_t* pixels;  // height rows of rowBytes, back to back
    std::size_t rowBytes;
};

// The functions below up to writeWithLibpng call libpng, which reports an
// error by a long jump back to writeWithLibpng. Their locals are trivially
// destructible, so the jump skips no destructor; the structures are freed by
// the caller's PngWriteStructs.

// The header chunks, everything before the text.
void setHeaderChunks(png_structp png, png_infop info, const PngWriteJob& job) {
    if (job.sink.file != nullptr) {
        png_init_io(png, job.sink.file);
    } else {
        png_set_write_fn(png, job.sink.buffer, appendToBuffer, flushNothing);
    }
    png_set_compression_level(png, job.zlibLevel);
    png_set_IHDR(png, info, job.width, job.height, job.bitDepth, job.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (job.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, job.palette, kPaletteSize);
        // See writeRows: None and Up, each row asking for one of them.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_UP);
    }
    png_set_gAMA(png, info, job.gamma);
    if (job.pixelsPerMetre != 0) {
        png_set_pHYs(png, info, job.pixelsPerMetre, job.pixelsPerMetre, PNG_RESOLUTION_METER);
    }
    if (job.timeRecorded) {
        png_set_tIME(png, info, &job.stamp);
    }
}

void setTextChunks(png_structp png, png_infop info, const PngWriteJob& job) {
    // png_text wants writable strings; libpng copies them in png_set_text.
    char titleKey[] = "Title";
    char titleText[] = "Title_Text";
    char authorKey[] = "Author";
    char authorText[] = "Author_Text";
    char descriptionKey[] = "Description";
    char descriptionText[] = "Description_Text";
    char creationTimeKey[] = "Creation Time";
    char creationTimeText[kRfc1123BufferSize];
    for (int i = 0; i < kRfc1123BufferSize; ++i) {
        creationTimeText[i] = job.creationTime[i];
    }
    char softwareKey[] = "Software";
    char softwareText[] = "Software_Text";
    png_text text[kTextEntryCount] = {};
    char* const entries[kTextEntryCount][2] = {{titleKey, titleText},
                                               {authorKey, authorText},
                                               {descriptionKey, descriptionText},
                                               {creationTimeKey, creationTimeText},
                                               {softwareKey, softwareText}};
    int entryCount = 0;
    for (int i = 0; i < kTextEntryCount; ++i) {
        if (entries[i][0] == creationTimeKey && !job.timeRecorded) {
            continue;
        }
        text[entryCount].compression = PNG_TEXT_COMPRESSION_NONE;
        text[entryCount].key = entries[i][0];
        text[entryCount].text = entries[i][1];
        ++entryCount;
    }
    png_set_text(png, info, text, entryCount);
}

// The rows, after png_write_info. libpng sizes its row buffers by the
// filters set when the first row is written: with all of them (its default)
// it keeps the previous row that Up needs even while a single filter is
// asked for later. Setting fewer before the first row would lose that
// buffer, and with it Up for good.
//
// RGB rows take the filter libpng's own trials would (see filtersFor). A
// 1-bit row takes Up when it repeats the one above and None otherwise, where
// libpng's default for palette images is None throughout: most rows of a
// barcode repeat, Up makes them runs of zero bytes, which cost zlib least,
// where None would leave every repeat for zlib to find a row back. (libpng's
// own trials between the two do worse here: their measure suits 8-bit
// samples, and picks Up for rows it does not help.)
void writeRows(png_structp png, const PngWriteJob& job) {
    const std::size_t rowBytes = job.rowBytes;
    const bool palette = job.colorType == PNG_COLOR_TYPE_PALETTE;
    int filters = palette ? PNG_FILTER_NONE | PNG_FILTER_UP : PNG_ALL_FILTERS;
    for (png_uint_32 y = 0; y < job.height; ++y) {
        const std::uint8_t* row = job.pixels + static_cast<std::size_t>(y) * rowBytes;
        if (y > 0) {
            const int wanted =
                palette ? (std::memcmp(row, row - rowBytes, rowBytes) == 0 ? PNG_FILTER_UP
                                                                           : PNG_FILTER_NONE)
                        : filtersFor(row, row - rowBytes, rowBytes, kRgbBytesPerPixel);
            if (wanted != filters) {
                filters = wanted;
                png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
            }
        }
        png_write_row(png, row);
    }
}

// Every libpng call that can report an error happens below this one, which
// holds the setjmp.
bool writeWithLibpng(png_structp png, png_infop info, const PngWriteJob& job) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    setHeaderChunks(png, info, job);
    setTextChunks(png, info, job);
    png_write_info(png, info);
    // The rows are walked by the job's row size, so it must be libpng's.
    if (png_get_rowbytes(png, info) != job.rowBytes) {
        return false;
    }
    writeRows(png, job);
    png_write_end(png, info);
    return true;
}

// PNG time stamps hold a four-digit year at most (libpng refuses to convert
// later times): 9999-12-31 23:59:59 UTC.
constexpr std::int64_t kLastPngTime = 253402300799;

// What is written of an image, whichever kind it is.
struct ImageRows {
    std::int32_t width;
    std::int32_t height;
    const std::uint8_t* pixels;
    std::size_t rowBytes;
};

// A PNG time stamp holds the years 0..65535; libpng's text of it only
// those up to 9999 (later ones leave the text empty).
png_time pngTimeOf(std::int64_t seconds) {
    const UtcTime utc = utcTimeOf(seconds);
    png_time stamp{};
    stamp.year = static_cast<png_uint_16>(utc.year);
    stamp.month = static_cast<png_byte>(utc.month);
    stamp.day = static_cast<png_byte>(utc.day);
    stamp.hour = static_cast<png_byte>(utc.hour);
    stamp.minute = static_cast<png_byte>(utc.minute);
    stamp.second = static_cast<png_byte>(utc.second);
    return stamp;
}

// The chunks and pixels are the same whatever the sink; only where libpng
// hands its bytes differs. job comes with its colour type, depth and palette.
Status writeImage(const ImageRows& image, const PngOptions& options, const PngSink& sink,
                  PngWriteJob& job) {
    if (image.width < 1 || image.height < 1) {
        return status::kCantCloseOutput;
    }
    PngWriteStructs structs;
    if (!structs.valid()) {
        return status::kCantCloseOutput;
    }

    job.sink = sink;
    job.width = static_cast<png_uint_32>(image.width);
    job.height = static_cast<png_uint_32>(image.height);
    job.pixelsPerMetre = options.dpi > 0 ? pngPixelsPerMetre(options.dpi) : 0;
    job.zlibLevel = options.compressionLevel;
    job.gamma = pngFileGamma(options.gamma);
    // One reading of the clock feeds both the tIME chunk and the text, so
    // they always agree. Both are in UTC, by the library's own calendar
    // rather than libpng's conversion, which calls gmtime: its result is
    // shared by every thread, and files written side by side could mix each
    // other's time stamps.
    job.timeRecorded = options.timeRecorded;
    const std::int64_t when = !options.timeRecorded || options.timeGiven
                                  ? options.time
                                  : static_cast<std::int64_t>(std::time(nullptr));
    job.stamp = pngTimeOf(when);
    if (png_convert_to_rfc1123_buffer(job.creationTime, &job.stamp) == 0) {
        job.creationTime[0] = '\0';
    }
    job.pixels = image.pixels;
    job.rowBytes = image.rowBytes;

    if (!writeWithLibpng(structs.png(), structs.info(), job)) {
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

// An empty image (0 x 0) is refused by the writeImage above.
Status writeImage(const RgbImage& image, const PngOptions& options, const PngSink& sink) {
    PngWriteJob job{};
    job.colorType = PNG_COLOR_TYPE_RGB;
    job.bitDepth = kRgbBitDepth;
    return writeImage(
        ImageRows{image.width(), image.height(), image.pixels().data(), image.rowBytes()}, options,
        sink, job);
}

png_color paletteEntry(Color color) {
    png_color entry;
    entry.red = static_cast<png_byte>((color >> 16) & 0xFF);
    entry.green = static_cast<png_byte>((color >> 8) & 0xFF);
    entry.blue = static_cast<png_byte>(color & 0xFF);
    return entry;
}

Status writeImage(const BitImage& image, const PngOptions& options, const PngSink& sink) {
    // A 1 bit is a bar, so palette index 1 is the foreground.
    PngWriteJob job{};
    job.colorType = PNG_COLOR_TYPE_PALETTE;
    job.bitDepth = kPaletteBitDepth;
    job.palette[0] = paletteEntry(image.background());
    job.palette[1] = paletteEntry(image.foreground());
    return writeImage(
        ImageRows{image.width(), image.height(), image.pixels().data(), image.rowBytes()}, options,
        sink, job);
}

// Both sinks for both kinds of image.
template <typename Image>
Status writeToFile(const Image& image, const PngOptions& options, std::FILE* file) {
    if (file == nullptr) {
        return status::kCantCloseOutput;
    }
    if (options.dpi < 0 || options.dpi > kMaxDpi) {
        return status::kInvalidArgument;
    }
    if (writeImage(image, options, PngSink{file, nullptr}) != status::kOk) {
        return status::kCantCloseOutput;
    }
    // stdio buffers the last few kilobytes; a full disk shows only when they
    // are flushed, and must not pass for success.
    if (std::fflush(file) != 0 || std::ferror(file) != 0) {
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

template <typename Image>
Status writeToMemory(const Image& image, const PngOptions& options,
                     std::vector<std::uint8_t>& png) {
    png.clear();
    if (options.dpi < 0 || options.dpi > kMaxDpi) {
        return status::kInvalidArgument;
    }
    if (writeImage(image, options, PngSink{nullptr, &png}) != status::kOk) {
        // Half a PNG is of no use to anyone.
        png.clear();
        png.shrink_to_fit();
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

}  // namespace

bool parseSourceDateEpoch(std::string_view text, std::int64_t& time) {
    if (text.empty()) {
        return false;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
        if (value > kLastPngTime) {
            return false;
        }
    }
    time = value;
    return true;
}

Status writePng(const RgbImage& image, const PngOptions& options, std::FILE* file) {
    return writeToFile(image, options, file);
}

Status writePng(const RgbImage& image, const PngOptions& options, std::vector<std::uint8_t>& png) {
    return writeToMemory(image, options, png);
}

Status writePng(const BitImage& image, const PngOptions& options, std::FILE* file) {
    return writeToFile(image, options, file);
}

Status writePng(const BitImage& image, const PngOptions& options, std::vector<std::uint8_t>& png) {
    return writeToMemory(image, options, png);
}

}  // namespace barwright
