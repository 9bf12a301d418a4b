// The checks and the size that every picture of a symbol shares, whatever
// the target (raster or vector).
#include "barwright/Picture.h"

#include <cstdint>
#include <limits>

#include "render/SymbolGeometry.h"

namespace barwright {
namespace {

// computeImageSize's resolution is unused for pixel units but must not be 0.
constexpr std::int32_t kUnusedResolution = 1;

// A whole number of pixels that an int32 can hold, and at least one.
bool toPixels(double value, std::int32_t& pixels) {
    if (!(value >= 1.0 && value <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
        return false;
    }
    pixels = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

Status checkPicture(const PictureSettings& picture) {
    // Written so that NaN fails too. An infinite ratio or module width is
    // let through: the sizing refuses it, as it refuses any that is too
    // large, and a given image size fits no row of infinite height.
    const bool sizeGiven = picture.imageWidth != 0 || picture.imageHeight != 0;
    if (!isOrientation(picture.orientation) || !isAlignment(picture.alignH) ||
        !isAlignment(picture.alignV) || !(picture.yToXRatio > 0.0) ||
        !(picture.moduleWidth > 0.0) ||
        (sizeGiven && (picture.imageWidth < 1 || picture.imageHeight < 1))) {
        return status::kInvalidArgument;
    }
    // Bars too close to the background's colour make a picture that no
    // reader can find anything in; that is a mistake to report, not a symbol.
    if (!hasReadableContrast(picture.foreground, picture.background)) {
        return status::kInvalidArgument;
    }
    return status::kOk;
}

Status imageSize(const EncodedSymbol& symbol, const PictureSettings& picture, std::int32_t& width,
                 std::int32_t& height) {
    Status result = checkPicture(picture);
    if (result != status::kOk) {
        return result;
    }
    if (picture.imageWidth != 0) {
        width = picture.imageWidth;
        height = picture.imageHeight;
        return status::kOk;
    }
    double computedWidth = 0.0;
    double computedHeight = 0.0;
    result = geometry::computeImageSize(geometry::shapeOf(symbol, picture), picture.moduleWidth,
                                        kUnusedResolution, kUnusedResolution, geometry::kUnitPixels,
                                        geometry::kUnitPixels, computedWidth, computedHeight);
    if (result != status::kOk) {
        return result;
    }
    std::int32_t w = 0;
    std::int32_t h = 0;
    if (!toPixels(computedWidth, w) || !toPixels(computedHeight, h)) {
        return status::kInvalidArgument;
    }
    width = w;
    height = h;
    return status::kOk;
}

}  // namespace barwright
