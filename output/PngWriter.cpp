#include "render/RgbImage.h"

// Placeholder until the PNG writer lands.
namespace barwright {

Status RgbImage::writePng(std::FILE*) { return status::kCantCloseOutput; }

}  // namespace barwright
