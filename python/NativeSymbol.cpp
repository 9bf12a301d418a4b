#include "python/NativeSymbol.h"

#include <new>

#include "barwright/BitImage.h"
#include "barwright/BitRenderer.h"
#include "barwright/EpsRenderer.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"

namespace barwright::python {
namespace {

// The last second a PNG time stamp holds (9999-12-31 23:59:59 UTC).
constexpr std::int64_t kLastPngTime = 253402300799;
// barwright-batch writes png1 with zlib's fastest level, png with
// barwright's; the same bytes come out here.
constexpr std::int32_t kBitPngCompressionLevel = 1;

Status pngOptions(std::int32_t dpi, std::int64_t time, PngOptions& options) {
    if (time != kNoTime && (time < 0 || time > kLastPngTime)) {
        return status::kInvalidArgument;
    }
    options.dpi = dpi;
    options.timeRecorded = time != kNoTime;
    options.timeGiven = options.timeRecorded;
    options.time = static_cast<std::time_t>(time);
    return status::kOk;
}

template <typename Image>
Status appendPng(const Image& image, const PngOptions& options, std::string& bytes) {
    std::vector<std::uint8_t> png;
    const Status status = writePng(image, options, png);
    if (status == status::kOk) {
        bytes.assign(png.begin(), png.end());
    }
    return status;
}

}  // namespace

Status NativeSymbol::drawRgb(RgbImage& image) const { return renderRgb(symbol, picture, image); }

Status NativeSymbol::draw(std::string_view format, std::int32_t dpi, std::int64_t time,
                          std::string& bytes) const {
    bytes.clear();
    if (dpi < 0 || dpi > kMaxDpi) {
        return status::kInvalidArgument;
    }
    try {
        if (format == "svg") {
            return renderSvg(symbol, picture, dpi, bytes);
        }
        if (format == "eps") {
            return renderEps(symbol, picture, dpi, bytes);
        }
        if (format == "txt") {
            // The modules alone: no picture setting, nor a resolution, applies.
            return dpi != 0 ? status::kInvalidArgument : renderText(symbol, bytes);
        }
        PngOptions options;
        if (const Status status = pngOptions(dpi, time, options); status != status::kOk) {
            return status;
        }
        if (format == "png") {
            RgbImage image;
            const Status status = renderRgb(symbol, picture, image);
            return status != status::kOk ? status : appendPng(image, options, bytes);
        }
        if (format == "png1") {
            options.compressionLevel = kBitPngCompressionLevel;
            BitImage image;
            const Status status = renderBits(symbol, picture, image);
            return status != status::kOk ? status : appendPng(image, options, bytes);
        }
        return status::kInvalidArgument;
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return status::kFail;
    }
}

Status NativeSymbol::modules(std::vector<std::string>& rows) const {
    rows.clear();
    std::string text;
    const Status status = renderText(symbol, text);
    if (status != status::kOk) {
        return status;
    }
    try {
        // renderText's lines of '0' and '1', each ended by a line feed.
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find('\n', start);
            std::string& row = rows.emplace_back(text, start, end - start);
            for (char& module : row) {
                module = static_cast<char>(module - '0');
            }
            start = end + 1;
        }
    } catch (const std::bad_alloc&) {
        rows.clear();
        return status::kFail;
    }
    return status::kOk;
}

}  // namespace barwright::python
