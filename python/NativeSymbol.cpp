#include "python/NativeSymbol.h"

#include <new>

#include "barwright/RgbRenderer.h"
#include "options/FailureReasons.h"

namespace barwright::python {
namespace {

// Why the picture settings were refused, when the hallway can say.
std::string drawingReason(const PictureSettings& picture) {
    SymbolOptions options;
    options.picture = picture;
    const std::string blamed = blamedOption(options, true);
    if (blamed == "fcolor") {
        return "fcolor: " + contrastReason(picture);
    }
    if (blamed == "xdim") {
        return "xdim: modules narrower than half a pixel are drawn 0 pixels wide";
    }
    return std::string();
}

}  // namespace

Status NativeSymbol::makeFile(OutputFormat format, const OutputOptions& output, SymbolFile& file,
                              std::string& reason) const {
    Status status = status::kOk;
    try {
        status = file.make(symbol, picture, format, output);
    } catch (const std::bad_alloc&) {
        status = status::kFail;
    }
    if (status == status::kInvalidArgument) {
        reason = drawingReason(picture);
    }
    return status;
}

Status NativeSymbol::drawRgb(RgbImage& image, std::string& reason) const {
    const Status status = renderRgb(symbol, picture, image);
    if (status == status::kInvalidArgument) {
        reason = drawingReason(picture);
    }
    return status;
}

}  // namespace barwright::python
