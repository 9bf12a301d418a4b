#include "encoder/Pdf417Encoder.h"
#include "render/RgbImage.h"

// Placeholder until drawing lands.
namespace barwright {

Status Pdf417Encoder::draw(RgbImage&, const Rect&) const {
    return encodeStatus_ != status::kOk ? encodeStatus_ : status::kFail;
}

void Pdf417Encoder::drawStartStop(RgbImage&, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t) const {}

void Pdf417Encoder::drawRows(RgbImage&, std::int32_t, std::int32_t, std::int32_t,
                             std::int32_t) const {}

}  // namespace barwright
