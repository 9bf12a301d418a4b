// Placeholders for the picture targets that are being built; each fails
// until it is there.
#include "barwright/BitImage.h"
#include "barwright/PngWriter.h"
#include "barwright/Render.h"

namespace barwright {

Status BitImage::create(std::int32_t, std::int32_t, Color, Color) { return status::kFail; }
void BitImage::fillRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}
Status renderBits(const EncodedSymbol&, const PictureSettings&, BitImage&) { return status::kFail; }
Status renderSvg(const EncodedSymbol&, const PictureSettings&, std::int32_t, std::string&) {
    return status::kFail;
}
Status renderEps(const EncodedSymbol&, const PictureSettings&, std::int32_t, std::string&) {
    return status::kFail;
}
Status renderText(const EncodedSymbol&, std::string&) { return status::kFail; }
Status writePng(const BitImage&, const PngOptions&, std::FILE*) { return status::kFail; }
Status writePng(const BitImage&, const PngOptions&, std::vector<std::uint8_t>&) {
    return status::kFail;
}

}  // namespace barwright
