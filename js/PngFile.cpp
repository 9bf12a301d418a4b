#include "js/PngFile.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

namespace barwright::js {
namespace {

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterSub = 1;
constexpr std::uint8_t kFilterUp = 2;
// gAMA holds gamma x 100000.
constexpr double kGammaScale = 100000.0;
constexpr std::uint8_t kUnitMetre = 1;
constexpr std::int64_t kTenThousandthsPerMetre = 10000;
constexpr std::int64_t kTenThousandthsPerInch = 254;
constexpr int kWindowBits = 15;
constexpr int kMemoryLevel = 8;

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

// The scanlines: each row led by its filter type (see writeRgbPng).
std::string scanlines(const RgbImage& image, bool coloured) {
    const std::size_t rowBytes = image.rowBytes();
    const std::size_t pixelBytes = RgbImage::kBytesPerPixel;
    std::string rows((rowBytes + 1) * static_cast<std::size_t>(image.height()), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(rows.data());
    for (std::int32_t y = 0; y < image.height(); ++y, out += rowBytes + 1) {
        const std::uint8_t* row = image.row(y);
        if (y > 0 && sameBytes(row, image.row(y - 1), rowBytes)) {
            out[0] = kFilterUp;  // the row's bytes are zeros already
        } else if (coloured) {
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

// Ends the deflate stream whatever happens.
class DeflateStream {
public:
    DeflateStream() = default;
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;
    ~DeflateStream() {
        if (started_) {
            deflateEnd(&stream_);
        }
    }
    [[nodiscard]] bool start() {
        started_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kWindowBits,
                                kMemoryLevel, Z_RLE) == Z_OK;
        return started_;
    }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool started_ = false;
};

// The zlib stream of the scanlines, in one call: the output is sized by
// deflateBound, which zlib guarantees to be enough.
bool deflated(const std::string& rows, std::string& out) {
    DeflateStream deflater;
    if (!deflater.start()) {
        return false;
    }
    z_stream& stream = deflater.stream();
    out.resize(deflateBound(&stream, static_cast<uLong>(rows.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rows.data()));
    stream.avail_in = static_cast<uInt>(rows.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
        return false;
    }
    out.resize(stream.total_out);
    return true;
}

std::string header(const RgbImage& image) {
    std::string body;
    putWord(body, static_cast<std::uint32_t>(image.width()));
    putWord(body, static_cast<std::uint32_t>(image.height()));
    const char rest[5] = {static_cast<char>(kBitDepth), static_cast<char>(kColourTypeRgb), 0, 0, 0};
    return body.append(rest, 5);
}

// pHYs: round(dpi / 0.0254) pixels per metre, halves up, on both axes.
std::string resolution(std::int32_t dpi) {
    const auto perMetre = static_cast<std::uint32_t>(
        (std::int64_t{dpi} * kTenThousandthsPerMetre + kTenThousandthsPerInch / 2) /
        kTenThousandthsPerInch);
    std::string body;
    putWord(body, perMetre);
    putWord(body, perMetre);
    return body += static_cast<char>(kUnitMetre);
}

// tIME: the UTC date and time of seconds since 1970. The date comes from
// the day count by the proleptic Gregorian calendar's 400-year cycles
// (Howard Hinnant's days_from_civil, inverted), without the C library's
// gmtime, which would bring the time zone machinery and its environment
// lookups into the module.
std::string timeStamp(std::int64_t seconds) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    constexpr std::int64_t kDaysPer400Years = 146097;
    // 1970-01-01 counted from 0000-03-01, where the leap day ends the year.
    constexpr std::int64_t kEpochFromMarch0 = 719468;
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t second = seconds % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --days;
    }
    const std::int64_t z = days + kEpochFromMarch0;
    const std::int64_t era = (z >= 0 ? z : z - (kDaysPer400Years - 1)) / kDaysPer400Years;
    const std::int64_t dayOfEra = z - era * kDaysPer400Years;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const std::int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    const char body[7] = {static_cast<char>(year >> 8),     static_cast<char>(year),
                          static_cast<char>(month),         static_cast<char>(day),
                          static_cast<char>(second / 3600), static_cast<char>(second / 60 % 60),
                          static_cast<char>(second % 60)};
    return std::string(body, 7);
}

}  // namespace

Status writeRgbPng(const RgbImage& image, const PngOptions& options,
                   std::optional<std::int64_t> time, bool coloured, std::string& png) {
    std::string data;
    if (image.empty() || !deflated(scanlines(image, coloured), data)) {
        return status::kCantCloseOutput;
    }
    png.assign(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    putChunk(png, "IHDR", header(image));
    std::string gamma;
    putWord(gamma, static_cast<std::uint32_t>(options.gamma * kGammaScale + 0.5));
    putChunk(png, "gAMA", gamma);
    if (options.dpi > 0) {
        putChunk(png, "pHYs", resolution(options.dpi));
    }
    if (time.has_value()) {
        putChunk(png, "tIME", timeStamp(*time));
    }
    putChunk(png, "IDAT", data);
    putChunk(png, "IEND", std::string());
    return status::kOk;
}

}  // namespace barwright::js
