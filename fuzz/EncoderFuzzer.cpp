// The library without the command line: settings and data bytes straight
// from the fuzz input (values the front end would drop included), then the
// encode, the image size, the fitting and the drawing into a small image.
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "barwright/Encoder.h"
#include "barwright/Picture.h"
#include "barwright/RgbImage.h"
#include "barwright/RgbRenderer.h"
#include "fuzz/FuzzInput.h"
#include "render/SymbolLayout.h"

namespace {

using namespace barwright;

// Small enough that every input is drawn in well under a millisecond.
constexpr std::int32_t kMaxSide = 400;

// Ratios and module widths worth trying, odd ones included: zero, negative,
// below one pixel, NaN, infinite and huge.
constexpr double kReals[] = {4.0,
                             3.0,
                             1.0,
                             0.5,
                             2.0,
                             0.0,
                             -1.0,
                             0.01,
                             1e-9,
                             1e12,
                             1e308,
                             2.5,
                             0.49,
                             33.3,
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()};
constexpr std::int32_t kOrientations[] = {0, 90, 180, 270, 45, -90, 360, 1};

double pickReal(std::uint8_t byte) { return kReals[byte % (sizeof kReals / sizeof kReals[0])]; }

// Every pixel of the rectangle has the colour (0xRRGGBB).
bool allOneColour(const RgbImage& image, const Rect& rect, Color colour) {
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>((colour >> 16) & 0xFF),
                                   static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                   static_cast<std::uint8_t>(colour & 0xFF)};
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) {
        for (std::int32_t x = rect.left; x < rect.right; ++x) {
            const std::uint8_t* pixel = image.row(y) + 3 * x;
            if (pixel[0] != bytes[0] || pixel[1] != bytes[1] || pixel[2] != bytes[2]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader input(data, size);
    const std::uint8_t flags = input.byte();
    const std::int32_t mode = static_cast<std::int8_t>(input.byte()) % 6;      // 0..3 and beyond
    const std::int32_t level = static_cast<std::int8_t>(input.byte()) % 12;    // 0..9 and beyond
    const std::int32_t columns = static_cast<std::int8_t>(input.byte()) % 34;  // 0..30 and beyond
    const std::int32_t rows = static_cast<std::int8_t>(input.byte());          // 3..90 and beyond
    const std::int32_t orientation = kOrientations[input.byte() % 8];
    const std::int32_t alignH = input.byte() % 4;
    const std::int32_t alignV = input.byte() % 4;
    const Color background = input.word();
    const Color foreground = input.word();
    const double ratio = pickReal(input.byte());
    const double moduleWidth = pickReal(input.byte());
    const std::int32_t imageWidth = static_cast<std::int32_t>(input.word() % (kMaxSide + 1));
    const std::int32_t imageHeight = static_cast<std::int32_t>(input.word() % (kMaxSide + 1));

    SymbolSettings settings;
    settings.data = input.rest();
    settings.escapes = (flags & 4) == 0;
    settings.compaction = static_cast<CompactionMode>(mode);
    settings.errorCorrectionLevel = level;
    settings.columns = columns;
    settings.rows = rows;
    settings.compact = (flags & 1) != 0;
    EncodedSymbol symbol;
    const Status result = encode(settings, symbol);
    if (result == status::kOk &&
        (symbol.codewords.size() > 928 || symbol.columns < 1 || symbol.columns > 30 ||
         symbol.rows < 3 || symbol.rows > 90 ||
         symbol.codewords.size() != static_cast<std::size_t>(symbol.columns * symbol.rows) ||
         symbol.matrix.rowCount != symbol.rows)) {
        abort();
    }
    if (result != status::kOk && !symbol.codewords.empty()) {
        abort();  // a failed encode leaves nothing that looks like a symbol
    }

    PictureSettings picture;
    picture.orientation = orientation;
    picture.quietZone = (flags & 2) != 0;
    picture.alignH = alignH;
    picture.alignV = alignV;
    picture.background = background;
    picture.foreground = foreground;
    picture.yToXRatio = ratio;
    picture.moduleWidth = moduleWidth;
    if ((flags & 8) == 0) {
        picture.imageWidth = imageWidth;
        picture.imageHeight = imageHeight;
    }
    const bool computedSize = picture.imageWidth == 0 && picture.imageHeight == 0;

    std::int32_t width = 0;
    std::int32_t height = 0;
    if (imageSize(symbol, picture, width, height) != status::kOk) {
        return 0;
    }
    if (width < 1 || height < 1) {
        abort();  // a success must give a drawable size
    }
    if (width > kMaxSide || height > kMaxSide) {
        return 0;
    }

    RgbImage image;
    if (image.create(width, height, kWhite) != status::kOk) {
        abort();  // a small image must always be made
    }
    const Rect imageRect{0, width, 0, height};
    SymbolLayout layout;
    const Status layoutStatus = layoutSymbol(symbol, picture, imageRect, layout);
    const Status drawStatus = drawSymbol(symbol, picture, image, imageRect);
    if (drawStatus == status::kOk) {
        if (layoutStatus != status::kOk || result != status::kOk) {
            abort();
        }
        // Nothing is painted in the quiet zone.
        const std::int32_t zone = picture.quietZone ? 2 * layout.fit.moduleWidth : 0;
        const Rect strips[] = {{0, width, 0, zone},
                               {0, width, height - zone, height},
                               {0, zone, 0, height},
                               {width - zone, width, 0, height}};
        for (const Rect& strip : strips) {
            if (!allOneColour(image, strip, background)) {
                abort();
            }
        }
        // An image sized for the symbol fits it with no spare pixel.
        if (computedSize && (layout.placement.width != layout.fit.area.width() ||
                             layout.placement.height != layout.fit.area.height())) {
            abort();
        }
    } else if (!allOneColour(image, imageRect, kWhite)) {
        abort();  // a failed draw leaves the image as it was
    }
    return 0;
}
