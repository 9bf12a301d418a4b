#include "options/SymbolFile.h"

#include "barwright/BitRenderer.h"
#include "barwright/EpsRenderer.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"

namespace barwright {

namespace {

PngOptions pngOptions(OutputFormat format, const OutputOptions& output) {
    PngOptions png;
    png.dpi = output.dpi;
    png.timeRecorded = output.timeSource != FileTime::kNone;
    png.timeGiven = output.timeSource == FileTime::kGiven;
    png.time = output.time;
    if (format == OutputFormat::kPng1) {
        png.compressionLevel = kBitPngCompressionLevel;
    }
    return png;
}

}  // namespace

PdfOptions pdfOptions(const OutputOptions& output) {
    PdfOptions pdf;
    pdf.dpi = output.dpi;
    pdf.timeGiven = output.timeSource == FileTime::kGiven;
    pdf.time = output.time;
    return pdf;
}

bool SymbolFile::isPng() const {
    return format_ == OutputFormat::kPng || format_ == OutputFormat::kPng1;
}

Status SymbolFile::draw(const EncodedSymbol& symbol, const PictureSettings& picture,
                        OutputFormat format, const OutputOptions& output) {
    format_ = format;
    pngBytes_.clear();
    text_.clear();
    if (output.time < kFirstFileTime || output.time > kLastFileTime) {
        return status::kInvalidArgument;
    }
    Status status = status::kOk;
    switch (format) {
        case OutputFormat::kPng:
            png_ = pngOptions(format, output);
            return renderRgb(symbol, picture, rgb_);
        case OutputFormat::kPng1:
            png_ = pngOptions(format, output);
            return renderBits(symbol, picture, bits_);
        case OutputFormat::kSvg:
            status = renderSvg(symbol, picture, output.dpi, text_);
            break;
        case OutputFormat::kEps:
            status = renderEps(symbol, picture, output.dpi, text_);
            break;
        case OutputFormat::kTxt:
            status = renderText(symbol, text_);
            break;
        case OutputFormat::kPdf:
            status = renderPdf(symbol, picture, pdfOptions(output), text_);
            break;
    }
    if (status != status::kOk) {
        text_.clear();
    }
    return status;
}

Status SymbolFile::make(const EncodedSymbol& symbol, const PictureSettings& picture,
                        OutputFormat format, const OutputOptions& output) {
    const Status status = draw(symbol, picture, format, output);
    if (status != status::kOk || !isPng()) {
        return status;
    }
    return format == OutputFormat::kPng ? writePng(rgb_, png_, pngBytes_)
                                        : writePng(bits_, png_, pngBytes_);
}

Status SymbolFile::write(std::FILE* stream) const {
    if (isPng()) {
        return format_ == OutputFormat::kPng ? writePng(rgb_, png_, stream)
                                             : writePng(bits_, png_, stream);
    }
    if (std::fwrite(text_.data(), 1, text_.size(), stream) != text_.size() ||
        std::fflush(stream) != 0 || std::ferror(stream) != 0) {
        return status::kCantCloseOutput;
    }
    return status::kOk;
}

std::string_view SymbolFile::bytes() const noexcept {
    if (isPng()) {
        return std::string_view(reinterpret_cast<const char*>(pngBytes_.data()), pngBytes_.size());
    }
    return text_;
}

void SymbolFile::trim() {
    if (rgb_.pixels().capacity() > kKeptBufferBytes) {
        rgb_ = RgbImage();
    }
    if (bits_.pixels().capacity() > kKeptBufferBytes) {
        bits_ = BitImage();
    }
    if (pngBytes_.capacity() > kKeptBufferBytes) {
        std::vector<std::uint8_t>().swap(pngBytes_);
    }
    if (text_.capacity() > kKeptBufferBytes) {
        std::string().swap(text_);
    }
}

Status makeSymbolFile(const EncodedSymbol& symbol, const PictureSettings& picture,
                      OutputFormat format, const OutputOptions& output, std::string& bytes) {
    SymbolFile file;
    const Status status = file.make(symbol, picture, format, output);
    bytes.assign(file.bytes());
    return status;
}

}  // namespace barwright
