#include "barwright/Symbol.h"

#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "encoder/ConfigureEncoder.h"
#include "encoder/Pdf417Encoder.h"

namespace barwright {

namespace {

constexpr std::int32_t kMaxAlignment = 2;
// computeImageSize's unit code for pixels; the resolution is then unused
// but must not be 0.
constexpr std::int32_t kPixelUnit = 3;
constexpr std::int32_t kUnusedResolution = 1;
constexpr std::uint32_t kWhite = 0xFFFFFF;

bool isOrientation(std::int32_t degrees) {
    return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

// The command line checks these before they reach the encoder, which
// trusts them; a library caller has no such filter, so the same ranges are
// enforced here.
bool pictureSettingsValid(const SymbolSettings& settings) {
    return isOrientation(settings.orientation) && settings.alignH >= 0 &&
           settings.alignH <= kMaxAlignment && settings.alignV >= 0 &&
           settings.alignV <= kMaxAlignment && settings.yToXRatio > 0.0 &&
           std::isfinite(settings.yToXRatio);
}

// A whole number of pixels that an int32 can hold, and at least one.
bool toPixels(double value, std::int32_t& pixels) {
    if (!(value >= 1.0 && value <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
        return false;
    }
    pixels = static_cast<std::int32_t>(value);
    return true;
}

}  // namespace

Symbol::Symbol() = default;
Symbol::~Symbol() = default;

Symbol::Symbol(Symbol&& other) noexcept
    : encoder_(std::move(other.encoder_)),
      settings_(std::move(other.settings_)),
      status_(std::exchange(other.status_, status::kFail)),
      codewords_(std::move(other.codewords_)),
      columns_(std::exchange(other.columns_, 0)),
      rows_(std::exchange(other.rows_, 0)),
      errorCorrectionLevel_(std::exchange(other.errorCorrectionLevel_, 0)),
      matrix_(std::move(other.matrix_)) {
    other.codewords_.clear();
    other.matrix_ = SymbolMatrix{};
}

Symbol& Symbol::operator=(Symbol&& other) noexcept {
    if (this != &other) {
        encoder_ = std::move(other.encoder_);
        settings_ = std::move(other.settings_);
        status_ = std::exchange(other.status_, status::kFail);
        codewords_ = std::move(other.codewords_);
        columns_ = std::exchange(other.columns_, 0);
        rows_ = std::exchange(other.rows_, 0);
        errorCorrectionLevel_ = std::exchange(other.errorCorrectionLevel_, 0);
        matrix_ = std::move(other.matrix_);
        other.codewords_.clear();
        other.matrix_ = SymbolMatrix{};
    }
    return *this;
}

Status Symbol::encode(const SymbolSettings& settings) {
    status_ = status::kFail;
    codewords_.clear();
    columns_ = 0;
    rows_ = 0;
    errorCorrectionLevel_ = 0;
    matrix_ = SymbolMatrix{};
    try {
        settings_ = settings;
        if (!pictureSettingsValid(settings)) {
            status_ = status::kInvalidArgument;
            return status_;
        }
        if (!encoder_) {
            encoder_ = std::make_unique<Pdf417Encoder>();
        }
        status_ = configureEncoder(*encoder_, settings);
        if (status_ != status::kOk) {
            return status_;
        }
        const CodewordMatrix& source = encoder_->matrix();
        codewords_ = encoder_->codewords();
        columns_ = encoder_->columns();
        rows_ = encoder_->rows();
        errorCorrectionLevel_ = static_cast<std::int32_t>(encoder_->usedErrorCorrectionLevel());
        matrix_.rowCount = source.rowCount();
        matrix_.elementsPerRow = source.rowStride();
        const std::uint8_t* first = source.rowData(0);
        matrix_.widths.assign(
            first, first + static_cast<std::size_t>(source.rowCount()) * source.rowStride());
    } catch (const std::bad_alloc&) {
        // Whatever half is held is not a symbol.
        codewords_.clear();
        matrix_ = SymbolMatrix{};
        status_ = status::kFail;
    }
    return status_;
}

Status Symbol::imageSize(double moduleWidth, std::int32_t& width, std::int32_t& height) const {
    if (status_ != status::kOk) {
        return status_;
    }
    double computedWidth = 0.0;
    double computedHeight = 0.0;
    const Status result =
        encoder_->computeImageSize(moduleWidth, kUnusedResolution, kUnusedResolution, kPixelUnit,
                                   kPixelUnit, computedWidth, computedHeight);
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

Status Symbol::draw(RgbImage& image, const Rect& area) const {
    if (status_ != status::kOk) {
        return status_;
    }
    // The drawing paints without clipping, so an area outside the image, or
    // an image without pixels, would be written past its end.
    if (image.rows() == nullptr || area.left < 0 || area.top < 0 || area.left > area.right ||
        area.top > area.bottom || area.right > image.width() || area.bottom > image.height()) {
        return status::kInvalidArgument;
    }
    return encoder_->draw(image, area);
}

Status Symbol::draw(RgbImage& image) const {
    return draw(image, Rect{0, image.width(), 0, image.height()});
}

Status Symbol::renderImage(double moduleWidth, std::unique_ptr<RgbImage>& image) const {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const Status result = imageSize(moduleWidth, width, height);
    if (result != status::kOk) {
        return result;
    }
    try {
        image = std::make_unique<RgbImage>(width, height, kWhite, RgbImage::kDefaultCompression);
    } catch (const std::bad_alloc&) {
        return status::kCantAllocateImage;
    }
    if (!image->allocateRows()) {
        return status::kCantAllocateImage;
    }
    return draw(*image);
}

Status Symbol::writePng(double moduleWidth, std::vector<std::uint8_t>& png) const {
    png.clear();
    std::unique_ptr<RgbImage> image;
    const Status result = renderImage(moduleWidth, image);
    if (result != status::kOk) {
        return result;
    }
    return image->writePng(png);
}

Status Symbol::writePng(double moduleWidth, std::FILE* file) const {
    if (file == nullptr) {
        return status::kCantOpenOutput;
    }
    std::unique_ptr<RgbImage> image;
    const Status result = renderImage(moduleWidth, image);
    if (result != status::kOk) {
        return result;
    }
    return image->writePng(file);
}

}  // namespace barwright
