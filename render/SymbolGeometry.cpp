#include "encoder/Pdf417Encoder.h"

// Placeholder until geometry lands.
namespace barwright {

int Pdf417Encoder::symbolWidthModules() const { return 0; }

void Pdf417Encoder::symbolExtent(std::int32_t, std::int32_t, std::int32_t& width,
                                 std::int32_t& height) const {
    width = 0;
    height = 0;
}

std::int32_t Pdf417Encoder::roundHalfUp(double) { return 0; }

Status Pdf417Encoder::computeImageSize(double, std::int32_t, std::int32_t, std::int32_t,
                                       std::int32_t, double& width, double& height) const {
    width = 0;
    height = 0;
    return status::kInvalidArgument;
}

Status Pdf417Encoder::fitToImage(const Rect&, std::int32_t&, std::int32_t&, Rect&) const {
    return status::kColumnsOutOfRange;
}

}  // namespace barwright
