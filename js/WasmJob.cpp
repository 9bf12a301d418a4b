#include "js/WasmJob.h"

#include "barwright/Picture.h"
#include "barwright/PictureSettings.h"
#include "barwright/RgbRenderer.h"

namespace barwright::js {
namespace {

// The raster targets draw at most this many bytes of RGB: the image and its
// scanlines or RGBA copy (a third larger) must fit the 2 GiB memory
// together, since a WebAssembly module that runs out of memory traps instead
// of failing softly. 256 MiB is a picture of about 9,000 pixels square, far
// past any symbol at a readable size.
constexpr std::uint64_t kMaxRasterBytes = RgbImage::kMaxPixelBytes / 4;
constexpr std::uint8_t kOpaque = 255;

// RGBA pixels, alpha 255, as a canvas's ImageData holds them.
void rgbaPixels(const RgbImage& image, std::string& pixels) {
    const std::size_t pixelCount =
        static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
    pixels.resize(pixelCount * 4);
    const std::uint8_t* in = image.pixels().data();
    auto* out = reinterpret_cast<std::uint8_t*>(pixels.data());
    for (std::size_t i = 0; i < pixelCount; ++i, in += 3, out += 4) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = kOpaque;
    }
}

// The address of a byte in the WebAssembly memory, which is 32-bit.
std::uint32_t address(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace

void WasmJob::reset() {
    options_ = bindingDefaults();
    input_.clear();
    blame_ = "";
    symbols_.clear();
    outputs_.clear();
    results_.clear();
}

char* WasmJob::input(std::size_t size) {
    input_.resize(size);
    return input_.data();
}

Status WasmJob::setOption(std::size_t nameLength) {
    if (nameLength > input_.size()) {
        return status::kInvalidArgument;
    }
    const std::string_view text = input_;
    return barwright::setOption(options_, text.substr(0, nameLength), text.substr(nameLength));
}

Status WasmJob::run(Target target) {
    blame_ = "";
    results_.clear();
    outputs_.clear();
    Status result = encodeSymbols(options_, symbols_);
    const bool drawing = result == status::kOk;
    if (drawing) {
        outputs_.resize(symbols_.size());
        results_.resize(symbols_.size());
        for (std::size_t i = 0; result == status::kOk && i < symbols_.size(); ++i) {
            result = makeOutput(target, symbols_[i], outputs_[i], results_[i]);
        }
    }
    if (result == status::kInvalidArgument) {
        blame_ = blamedOption(options_, drawing);
    }
    if (result != status::kOk) {
        results_.clear();
        outputs_.clear();
    }
    return result;
}

Status WasmJob::makeOutput(Target target, const EncodedSymbol& symbol, std::string& output,
                           SymbolResult& result) {
    result.columns = symbol.columns;
    result.rows = symbol.rows;
    result.errorCorrectionLevel = symbol.errorCorrectionLevel;
    result.codewordCount = static_cast<std::int32_t>(symbol.codewords.size());
    result.codewords = address(symbol.codewords.data());
    const PictureSettings& picture = options_.picture;
    Status status = status::kOk;
    if (target == Target::kPng || target == Target::kRgba) {
        // Checked before drawing, as the module traps when memory runs out.
        std::int32_t width = 0;
        std::int32_t height = 0;
        status = imageSize(symbol, picture, width, height);
        if (status == status::kOk && static_cast<std::uint64_t>(width) *
                                             static_cast<std::uint64_t>(height) *
                                             RgbImage::kBytesPerPixel >
                                         kMaxRasterBytes) {
            status = status::kCantAllocateImage;
        }
        result.width = width;
        result.height = height;
    }
    if (status == status::kOk && target == Target::kRgba) {
        status = makeRgba(symbol, output, result);
    } else if (status == status::kOk) {
        const OutputFormat format = target == Target::kPng   ? OutputFormat::kPng
                                    : target == Target::kSvg ? OutputFormat::kSvg
                                    : target == Target::kPdf ? OutputFormat::kPdf
                                                             : OutputFormat::kTxt;
        status = file_.make(symbol, picture, format, options_.output);
        output.assign(file_.bytes());
    }
    result.output = address(output.data());
    result.outputSize = static_cast<std::int32_t>(output.size());
    return status;
}

Status WasmJob::makeRgba(const EncodedSymbol& symbol, std::string& output,
                         SymbolResult& result) const {
    RgbImage image;
    const Status status = renderRgb(symbol, options_.picture, image);
    if (status != status::kOk) {
        return status;
    }
    result.width = image.width();
    result.height = image.height();
    rgbaPixels(image, output);
    return status::kOk;
}

const SymbolResult* WasmJob::result(std::int32_t index) const {
    if (index < 0 || index >= symbolCount()) {
        return nullptr;
    }
    return &results_[static_cast<std::size_t>(index)];
}

}  // namespace barwright::js
