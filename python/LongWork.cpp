#include "python/LongWork.h"

#include <cstddef>
#include <cstdint>

#include "barwright/Picture.h"

namespace barwright::python {
namespace {

constexpr std::size_t kLongDataBytes = 600;          // automatic or forced compaction
constexpr std::size_t kLongShortestBytes = 160;      // the fewest codewords
constexpr std::int64_t kLongBitPixels = 5000;        // png1: painting and zlib's fastest level
constexpr std::int64_t kLongRgbPixels = 4000;        // png: zlib's level 6 on 24 bits a pixel
constexpr std::int64_t kLongPaintedPixels = 200000;  // RGB pixels without a file
constexpr std::size_t kLongVectorCodewords = 600;    // SVG, EPS, PDF, text

// The picture's pixels; 0 when the settings make none (drawing then fails
// at once).
std::int64_t pixelsOf(const EncodedSymbol& symbol, const PictureSettings& picture) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (imageSize(symbol, picture, width, height) != status::kOk) {
        return 0;
    }
    return std::int64_t{width} * height;
}

}  // namespace

bool isLongEncode(const SymbolOptions& options) {
    const std::size_t bytes = options.symbol.data.size();
    return options.macroSegments > 0 || bytes >= kLongDataBytes ||
           (options.shortest && bytes >= kLongShortestBytes);
}

bool isLongDrawing(const EncodedSymbol& symbol, const PictureSettings& picture,
                   OutputFormat format) {
    switch (format) {
        case OutputFormat::kPng:
            return pixelsOf(symbol, picture) >= kLongRgbPixels;
        case OutputFormat::kPng1:
            return pixelsOf(symbol, picture) >= kLongBitPixels;
        default:
            return symbol.codewords.size() >= kLongVectorCodewords;
    }
}

bool isLongPainting(const EncodedSymbol& symbol, const PictureSettings& picture) {
    return pixelsOf(symbol, picture) >= kLongPaintedPixels;
}

}  // namespace barwright::python
