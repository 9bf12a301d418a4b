#include "render/RgbImage.h"

// Placeholder until the raster lands.
namespace barwright {

RgbImage::RgbImage(std::int32_t width, std::int32_t height, std::uint32_t fillColor,
                   std::int32_t compressionLevel)
    : compressionLevel_(compressionLevel), width_(width), height_(height), fillColor_(fillColor) {}

RgbImage::~RgbImage() = default;

bool RgbImage::allocateRows() { return false; }

void RgbImage::fillRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t) {}

}  // namespace barwright
