// The encoder without the command line: settings and data bytes straight
// from the fuzz input (values the front end would drop included), then the
// encode, the image size, the fitting and the drawing into a small image.
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "encoder/Pdf417Encoder.h"
#include "fuzz/FuzzInput.h"
#include "render/Rect.h"
#include "render/RgbImage.h"

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

// Every pixel of the rectangle has the colour (0x00BBGGRR).
bool allOneColour(const RgbImage& image, const Rect& rect, std::uint32_t colour) {
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(colour & 0xFF),
                                   static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                   static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) {
        for (std::int32_t x = rect.left; x < rect.right; ++x) {
            const std::uint8_t* pixel = image.rows()[y] + 3 * x;
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
    const std::uint32_t background = input.word();
    const std::uint32_t foreground = input.word();
    const double ratio = pickReal(input.byte());
    const double moduleWidth = pickReal(input.byte());
    const std::int32_t imageWidth = static_cast<std::int32_t>(input.word() % (kMaxSide + 1));
    const std::int32_t imageHeight = static_cast<std::int32_t>(input.word() % (kMaxSide + 1));
    const bool compact = (flags & 1) != 0;
    const bool quietZone = (flags & 2) != 0;
    const bool deferred = (flags & 4) != 0;
    const bool computedSize = (flags & 8) != 0;

    Pdf417Encoder encoder;
    // Deferred, the data is encoded once at the end; otherwise every setter
    // that changes the codewords re-encodes at once, in this order.
    Status result = encoder.setDeferred(deferred);
    result = encoder.setData(input.rest());
    result = encoder.setCompactionMode(mode);
    result = encoder.setErrorCorrectionLevel(level);
    result = encoder.setColumns(columns);
    result = encoder.setRows(rows);
    result = encoder.setCompact(compact);
    result = encoder.setOrientation(orientation);
    result = encoder.setQuietZone(quietZone);
    result = encoder.setHorizontalAlignment(alignH);
    result = encoder.setVerticalAlignment(alignV);
    result = encoder.setBackgroundColor(background);
    result = encoder.setForegroundColor(foreground);
    result = encoder.setYToXRatio(ratio);
    result = encoder.setDeferred(false);
    if (result != encoder.encodeStatus()) {
        abort();
    }
    if (result == status::kOk &&
        (encoder.codewords().size() > 928 || encoder.columns() < 1 || encoder.columns() > 30 ||
         encoder.rows() < 3 || encoder.rows() > 90)) {
        abort();
    }

    std::int32_t width = imageWidth;
    std::int32_t height = imageHeight;
    if (computedSize) {
        double computedWidth = 0.0;
        double computedHeight = 0.0;
        if (encoder.computeImageSize(moduleWidth, 1, 1, 3, 3, computedWidth, computedHeight) !=
            status::kOk) {
            return 0;
        }
        if (!(computedWidth >= 1.0 && computedHeight >= 1.0)) {
            abort();  // a success must give a drawable size
        }
        if (computedWidth > kMaxSide || computedHeight > kMaxSide) {
            return 0;
        }
        width = static_cast<std::int32_t>(computedWidth);
        height = static_cast<std::int32_t>(computedHeight);
    }
    if (width < 1 || height < 1) {
        return 0;
    }

    RgbImage image(width, height, 0xFFFFFF, RgbImage::kDefaultCompression);
    if (!image.allocateRows()) {
        abort();  // a small image must always be allocated
    }
    const Rect imageRect{0, width, 0, height};
    std::int32_t module = 0;
    std::int32_t rowHeight = 0;
    Rect area{};
    const Status fitStatus = encoder.fitToImage(imageRect, module, rowHeight, area);
    const Status drawStatus = encoder.draw(image, imageRect);
    if (drawStatus == status::kOk) {
        if (fitStatus != status::kOk || encoder.encodeStatus() != status::kOk) {
            abort();
        }
        // Nothing is painted in the quiet zone.
        const std::uint32_t paper = background & 0xFFFFFF;
        const std::int32_t zone = quietZone ? 2 * module : 0;
        const Rect strips[] = {{0, width, 0, zone},
                               {0, width, height - zone, height},
                               {0, zone, 0, height},
                               {width - zone, width, 0, height}};
        for (const Rect& strip : strips) {
            if (!allOneColour(image, strip, paper)) {
                abort();
            }
        }
        // An image sized for the symbol fits it with no spare pixel.
        std::int32_t symbolWidth = 0;
        std::int32_t symbolHeight = 0;
        encoder.symbolExtent(module, rowHeight, symbolWidth, symbolHeight);
        if (computedSize && (symbolWidth != area.width() || symbolHeight != area.height())) {
            abort();
        }
    } else if (!allOneColour(image, imageRect, 0xFFFFFF)) {
        abort();  // a failed draw leaves the image as allocated
    }
    return 0;
}
