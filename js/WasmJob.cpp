#include "js/WasmJob.h"

#include <charconv>

#include "barwright/MacroSegments.h"
#include "barwright/Picture.h"
#include "barwright/PictureSettings.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"
#include "js/PngFile.h"

namespace barwright::js {
namespace {

// The raster targets draw at most this many bytes of RGB: the image and its
// scanlines or RGBA copy (a third larger) must fit the 2 GiB memory
// together, since a WebAssembly module that runs out of memory traps instead
// of failing softly. 256 MiB is a picture of about 9,000 pixels square, far
// past any symbol at a readable size.
constexpr std::uint64_t kMaxRasterBytes = RgbImage::kMaxPixelBytes / 4;
// Module widths below this round to 0 pixels.
constexpr double kLeastModuleWidth = 0.5;

// The years a PNG time stamp holds, 0..65535, in seconds since 1970.
constexpr std::int64_t kFirstPngTime = -62167219200;
constexpr std::int64_t kLastPngTime = 2005949145599;
constexpr std::uint8_t kOpaque = 255;

// A whole decimal number in low..high, and nothing else.
template <typename Whole>
bool readWhole(std::string_view text, Whole low, Whole high, Whole& value) {
    Whole read = 0;
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, read);
    if (error != std::errc() || next != end || read < low || read > high) {
        return false;
    }
    value = read;
    return true;
}

bool readFlag(std::string_view text, bool& flag) {
    if (text != "0" && text != "1") {
        return false;
    }
    flag = text == "1";
    return true;
}

// The command line's letter for a long option that takes a value, or 0.
std::int32_t letterOf(std::string_view name) {
    for (const LongOption* option = kLongOptions; option->name != nullptr; ++option) {
        if (option->has_arg == kRequiredArgument && name == option->name) {
            return option->val;
        }
    }
    return 0;
}

// Whether red, green and blue are equal.
bool isGrey(Color color) {
    return ((color >> 16) & 0xFF) == ((color >> 8) & 0xFF) &&
           ((color >> 8) & 0xFF) == (color & 0xFF);
}

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
    options_ = SymbolOptions();
    options_.symbol.data.clear();
    options_.symbol.escapes = false;
    png_ = PngOptions();
    time_.reset();
    macroSegments_ = 0;
    eci_ = kNoEci;
    fileId_.clear();
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
    const std::string_view name = text.substr(0, nameLength);
    const std::string_view value = text.substr(nameLength);
    if (const std::int32_t letter = letterOf(name); letter != 0) {
        return applyOption(letter, value, options_, ValueCheck::kStrict) ? status::kOk
                                                                         : status::kInvalidArgument;
    }
    return applyOwnOption(name, value);
}

Status WasmJob::applyOwnOption(std::string_view name, std::string_view value) {
    bool accepted = false;
    if (name == "escapes") {
        accepted = readFlag(value, options_.symbol.escapes);
    } else if (name == "shortest") {
        bool shortest = false;
        accepted = readFlag(value, shortest);
        if (accepted && shortest) {
            options_.symbol.compaction = CompactionMode::kShortest;
        }
    } else if (name == "dpi") {
        accepted = readWhole(value, 1, kMaxDpi, png_.dpi);
    } else if (name == "time") {
        std::int64_t seconds = 0;
        accepted = readWhole(value, kFirstPngTime, kLastPngTime, seconds);
        if (accepted) {
            time_ = seconds;
        }
    } else if (name == "macro") {
        accepted = readWhole(value, 1, kMaxMacroSegments, macroSegments_);
    } else if (name == "file-id") {
        // Checked by the encoder, which alone knows the rule.
        fileId_.assign(value.data(), value.size());
        accepted = true;
    } else if (name == "eci") {
        accepted = readWhole(value, 0, kMaxEci, eci_);
    }
    return accepted ? status::kOk : status::kInvalidArgument;
}

Status WasmJob::run(Target target) {
    blame_ = "";
    results_.clear();
    outputs_.clear();
    Status result = encodeSymbols();
    if (result == status::kOk) {
        outputs_.resize(symbols_.size());
        results_.resize(symbols_.size());
        for (std::size_t i = 0; result == status::kOk && i < symbols_.size(); ++i) {
            result = makeOutput(target, symbols_[i], outputs_[i], results_[i]);
        }
        if (result == status::kInvalidArgument) {
            blame_ = pictureBlame();
        }
    }
    if (result != status::kOk) {
        results_.clear();
        outputs_.clear();
    }
    return result;
}

Status WasmJob::encodeSymbols() {
    SymbolSettings settings = options_.symbol;
    settings.eci = eci_;
    if (macroSegments_ == 0) {
        symbols_.resize(1);
        return encode(settings, symbols_[0]);
    }
    settings.macro.enabled = true;
    if (!fileId_.empty()) {
        settings.macro.fileId = fileId_;
    }
    const Status result = encodeMacroSegments(settings, macroSegments_, symbols_);
    // The one argument that encodeMacroSegments can find invalid here.
    if (result == status::kInvalidArgument) {
        blame_ = "macro";
    }
    return result;
}

Status WasmJob::makeOutput(Target target, const EncodedSymbol& symbol, std::string& output,
                           SymbolResult& result) const {
    result.columns = symbol.columns;
    result.rows = symbol.rows;
    result.errorCorrectionLevel = symbol.errorCorrectionLevel;
    result.codewordCount = static_cast<std::int32_t>(symbol.codewords.size());
    result.codewords = address(symbol.codewords.data());
    Status status = status::kOk;
    if (target == Target::kModules) {
        status = renderText(symbol, output);
    } else if (target == Target::kSvg) {
        status = renderSvg(symbol, options_.picture, png_.dpi, output);
    } else {
        status = makeRaster(target, symbol, output, result);
    }
    result.output = address(output.data());
    result.outputSize = static_cast<std::int32_t>(output.size());
    return status;
}

Status WasmJob::makeRaster(Target target, const EncodedSymbol& symbol, std::string& output,
                           SymbolResult& result) const {
    const PictureSettings& picture = options_.picture;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Status status = imageSize(symbol, picture, width, height);
    if (status != status::kOk) {
        return status;
    }
    const std::uint64_t rgbBytes = static_cast<std::uint64_t>(width) *
                                   static_cast<std::uint64_t>(height) * RgbImage::kBytesPerPixel;
    if (rgbBytes > kMaxRasterBytes) {
        return status::kCantAllocateImage;
    }
    RgbImage image;
    status = renderRgb(symbol, picture, image);
    if (status != status::kOk) {
        return status;
    }
    result.width = image.width();
    result.height = image.height();
    if (target == Target::kRgba) {
        rgbaPixels(image, output);
        return status::kOk;
    }
    const bool coloured = !isGrey(picture.background) || !isGrey(picture.foreground);
    return writeRgbPng(image, png_, time_, coloured, output);
}

const char* WasmJob::pictureBlame() const {
    const PictureSettings& picture = options_.picture;
    if (!hasReadableContrast(picture.foreground, picture.background)) {
        return "fcolor";
    }
    if (picture.imageWidth == 0 && picture.moduleWidth < kLeastModuleWidth) {
        return "xdim";
    }
    return "";
}

const SymbolResult* WasmJob::result(std::int32_t index) const {
    if (index < 0 || index >= symbolCount()) {
        return nullptr;
    }
    return &results_[static_cast<std::size_t>(index)];
}

}  // namespace barwright::js
