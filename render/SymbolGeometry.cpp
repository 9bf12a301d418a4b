#include "render/SymbolGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace barwright {
namespace geometry {

namespace {

constexpr std::int64_t kMaxPixels = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinPixels = std::numeric_limits<std::int32_t>::min();
constexpr double kThousandth = 0.001;
constexpr double kThousandthsPerInch = 1000.0;
// 1 / 25.4, written out as it is used.
constexpr double kInchesPerMillimetre = 0.03937007874015748;
constexpr double kMillimetresPerInch = 25.4;
// The image-size ratio 0 means "the usual rows" rather than "no height";
// fitting reads 0 as "stretch the rows" instead.
constexpr double kDefaultSizingRatio = 3.0;

std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp(value, kMinPixels, kMaxPixels));
}

// A truncated or rounded pixel count held as a real: usable from 1 up to
// the int32 range (NaN and infinities are refused).
bool isPixelCount(double value) { return value >= 1.0 && value <= static_cast<double>(kMaxPixels); }

// The module width in whole pixels (rounded half up) of an X dimension in
// the unit at the resolution along the rows; NaN for an unknown unit.
double modulePixels(double xDimension, std::int32_t unit, std::int32_t resolution) {
    switch (unit) {
        case kUnitThousandthsOfInch:
            return roundHalfUp(xDimension * kThousandth * resolution);
        case kUnitInches:
            return roundHalfUp(xDimension * resolution);
        case kUnitMillimetres:
            return roundHalfUp(xDimension * kInchesPerMillimetre * resolution);
        case kUnitPixels:
            return roundHalfUp(xDimension);
        default:
            return std::nan("");
    }
}

// Converts a pixel count to the output unit; false for an unknown unit.
bool toUnit(double pixels, std::int32_t resolution, std::int32_t unit, double& result) {
    switch (unit) {
        case kUnitThousandthsOfInch:
            result = pixels / resolution * kThousandthsPerInch;
            return true;
        case kUnitInches:
            result = pixels / resolution;
            return true;
        case kUnitMillimetres:
            result = pixels / resolution * kMillimetresPerInch;
            return true;
        case kUnitPixels:
            result = pixels;
            return true;
        default:
            return false;
    }
}

}  // namespace

SymbolShape shapeOf(const EncodedSymbol& symbol, const PictureSettings& picture) {
    return SymbolShape{symbol.columns,    symbol.rows,         symbol.compact,
                       picture.quietZone, picture.orientation, picture.yToXRatio};
}

bool isTurned(std::int32_t orientation) { return orientation == 90 || orientation == 270; }

std::int64_t symbolWidthModules(std::int32_t columns, bool compact) {
    return std::int64_t{kModulesPerCodeword} * columns +
           (compact ? kCompactOverheadModules : kFullOverheadModules);
}

Extent symbolExtent(const SymbolShape& shape, std::int64_t moduleWidth, std::int64_t rowHeight) {
    const std::int64_t along = symbolWidthModules(shape.columns, shape.compact) * moduleWidth;
    const std::int64_t across = std::int64_t{shape.rows} * rowHeight;
    return isTurned(shape.orientation) ? Extent{across, along} : Extent{along, across};
}

double roundHalfUp(double x) {
    const double integerPart = std::trunc(x);
    return x - integerPart >= 0.5 ? integerPart + 1.0 : integerPart;
}

Status computeImageSize(const SymbolShape& shape, double xDimension, std::int32_t resolutionH,
                        std::int32_t resolutionV, std::int32_t inputUnit, std::int32_t outputUnit,
                        double& width, double& height) {
    width = 0.0;
    height = 0.0;
    // A resolution counts dots per inch; below 1 it means nothing, and a
    // negative one would only turn the image inside out.
    if (resolutionH < 1 || resolutionV < 1) {
        return status::kInvalidArgument;
    }
    // The module width runs along the rows: horizontally when upright,
    // vertically when turned; the rows take the other resolution.
    const bool turned = isTurned(shape.orientation);
    const std::int32_t alongResolution = turned ? resolutionV : resolutionH;
    const std::int32_t acrossResolution = turned ? resolutionH : resolutionV;

    const double moduleReal = modulePixels(xDimension, inputUnit, alongResolution);
    if (!isPixelCount(moduleReal)) {
        return status::kInvalidArgument;
    }
    const auto moduleWidth = static_cast<std::int64_t>(moduleReal);

    // With unequal resolutions a module spans s times as many pixels across
    // the rows as along them; s is exactly 1 when they are equal.
    const double acrossScale = static_cast<double>(acrossResolution) / alongResolution;
    const double ratio = shape.yToXRatio == 0.0 ? kDefaultSizingRatio : shape.yToXRatio;
    const double rowHeightReal = std::trunc(std::trunc(moduleReal * acrossScale) * ratio);
    // A row below one pixel would leave no visible symbol.
    if (!isPixelCount(rowHeightReal)) {
        return status::kInvalidArgument;
    }
    const auto rowHeight = static_cast<std::int64_t>(rowHeightReal);

    Extent extent = symbolExtent(shape, moduleWidth, rowHeight);
    if (shape.quietZone) {
        const std::int64_t alongZone = 2 * kQuietZoneModules * moduleWidth;
        const auto acrossZone = static_cast<std::int64_t>(std::trunc(alongZone * acrossScale));
        extent.width += turned ? acrossZone : alongZone;
        extent.height += turned ? alongZone : acrossZone;
    }
    if (extent.width < 1 || extent.height < 1 || extent.width > kMaxPixels ||
        extent.height > kMaxPixels) {
        return status::kInvalidArgument;
    }

    double widthInUnit = 0.0;
    double heightInUnit = 0.0;
    if (!toUnit(static_cast<double>(extent.width), resolutionH, outputUnit, widthInUnit) ||
        !toUnit(static_cast<double>(extent.height), resolutionV, outputUnit, heightInUnit)) {
        return status::kInvalidArgument;
    }
    width = widthInUnit;
    height = heightInUnit;
    return status::kOk;
}

Status fitToImage(const SymbolShape& shape, const Rect& image, Fit& fit) {
    if (shape.columns < kMinColumns || shape.columns > kMaxColumns) {
        return status::kColumnsOutOfRange;
    }
    if (shape.rows < kMinRows || shape.rows > kMaxRows) {
        return status::kRowsOutOfRange;
    }
    const bool turned = isTurned(shape.orientation);
    const std::int64_t imageWidth = std::int64_t{image.right} - image.left;
    const std::int64_t imageHeight = std::int64_t{image.bottom} - image.top;
    // Extents are int32 pixel counts, so a wider rectangle is used only up to
    // that size (the spare pixels go to the margins).
    const std::int64_t along = std::min(turned ? imageHeight : imageWidth, kMaxPixels);
    const std::int64_t across = std::min(turned ? imageWidth : imageHeight, kMaxPixels);

    const std::int64_t moduleCount = symbolWidthModules(shape.columns, shape.compact) +
                                     (shape.quietZone ? 2 * kQuietZoneModules : 0);
    const std::int64_t moduleWidth = along / moduleCount;
    fit.moduleWidth = clampToInt32(moduleWidth);
    if (moduleWidth < 1) {
        return status::kColumnsTooLarge;
    }
    const std::int64_t zone = shape.quietZone ? kQuietZoneModules * moduleWidth : 0;

    std::int64_t rowHeight = 0;
    if (shape.yToXRatio == 0.0) {
        // Ratio 0 stretches the rows over the whole extent across them.
        rowHeight = (across - 2 * zone) / shape.rows;
    } else {
        const double rowHeightReal = std::trunc(static_cast<double>(moduleWidth) * shape.yToXRatio);
        rowHeight = isPixelCount(rowHeightReal) ? static_cast<std::int64_t>(rowHeightReal) : 0;
    }
    fit.rowHeight = clampToInt32(rowHeight);

    fit.area.left = clampToInt32(image.left + zone);
    fit.area.right = clampToInt32(image.right - zone);
    fit.area.top = clampToInt32(image.top + zone);
    fit.area.bottom = clampToInt32(image.bottom - zone);

    // A row below one pixel (a tiny ratio, a NaN, or a stretch over too
    // little room) would draw no visible symbol.
    if (rowHeight < 1 || across - 2 * zone - shape.rows * rowHeight < 0) {
        return status::kRowsTooLarge;
    }
    return status::kOk;
}

}  // namespace geometry
}  // namespace barwright
