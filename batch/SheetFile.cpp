#include "batch/SheetFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "files/OutputFolders.h"
#include "files/SystemError.h"
#include "options/FailureReasons.h"
#include "options/SymbolFile.h"

namespace barwright::batch {

namespace {

// Sizes that meet exactly fit, whatever the rounding into millimetres.
constexpr double kToleranceMm = 1e-6;

std::string millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", mm);
    return text;
}

int errorOr(int error, int fallback) { return error != 0 ? error : fallback; }

}  // namespace

Status SheetFile::open(bool captions, int& error) {
    error = 0;
    // TEMPLATE holds no {n} or {s} here: this is its text, braces resolved.
    name_ = settings_.names.expand(1, 1);
    if (name_.empty()) {
        error = ENOMEM;
        return status::kFail;
    }
    SheetSettings sheet = settings_.sheet;
    sheet.captions = captions;
    captions_ = captions;
    sheet.pdf = pdfOptions(settings_.options.output);
    std::FILE* stream = stdout;
    if (!settings_.names.isStandardOutput()) {
        if (settings_.makeFolders && (error = createFoldersFor(name_)) != 0) {
            return status::kCantOpenOutput;
        }
        file_ = std::make_unique<OutputFile>();
        if (file_->open(name_.c_str()) != status::kOk) {
            error = errorOr(file_->error(), EIO);
            file_.reset();
            return status::kCantOpenOutput;
        }
        stream = file_->stream();
    }
    errno = 0;
    const Status status = writer_.open(sheet, stream);
    if (status == status::kCantCloseOutput) {
        error = errorOr(errno, EIO);
    }
    return status;
}

void SheetFile::breakOff(Status failure, int error) {
    broken_ = failure;
    error_ = failure == status::kFail ? ENOMEM : errorOr(error, EIO);
}

bool SheetFile::place(const RecordTask& task, RecordResult& result) {
    result.name = name_;
    if (broken()) {
        if (result.status != status::kOk) {
            return true;  // failed on its own, and says so
        }
        result.status = broken_;
        result.reason = "not placed: the PDF could not be written";
        return false;
    }
    if (result.status == status::kOk) {
        result.status = add(task, result);
    }
    if (result.status != status::kOk && !broken()) {
        errno = 0;
        const Status skipped = writer_.skip();
        if (skipped != status::kOk) {
            breakOff(skipped, errno);
        }
    }
    return true;
}

Status SheetFile::add(const RecordTask& task, RecordResult& result) {
    const EncodedSymbol& symbol = result.symbols.front();
    errno = 0;
    const Status status = writer_.add(symbol, task.options.picture, task.caption);
    const int error = errno;
    switch (status) {
        case status::kOk:
            break;
        case status::kColumnsTooLarge:
        case status::kRowsTooLarge:
            result.reason = fitReason(symbol, task);
            break;
        case status::kInvalidArgument:
            result.reason = contrastReason(task.options.picture);
            break;
        case status::kCantCloseOutput:
            breakOff(status, error);
            result.reason = systemErrorText(error_);
            break;
        default:
            break;
    }
    return status;
}

// "label 52.12 x 20.34 mm, its cell 40.00 x 25.40 mm: -n 1 or --dpi 96 fits"
std::string SheetFile::fitReason(const EncodedSymbol& symbol, const RecordTask& task) const {
    const PictureSettings& picture = task.options.picture;
    double width = 0.0;
    double height = 0.0;
    if (writer_.labelSize(symbol, picture, task.caption, width, height) != status::kOk) {
        return "";
    }
    double cellWidth = writer_.cellWidthMm();
    double cellHeight = writer_.cellHeightMm();
    std::string cell = "its cell";
    if (writer_.columns() == 0) {
        // No grid yet: the label would have decided it, and not even one
        // fits the page.
        const SheetSettings& sheet = settings_.sheet;
        cellWidth = sheet.paperWidthMm - 2 * sheet.marginMm;
        cellHeight = sheet.paperHeightMm - 2 * sheet.marginMm;
        cell = "the page inside its margins";
    }
    const std::string room =
        cell + " " + millimetres(cellWidth) + " x " + millimetres(cellHeight) + " mm";
    double symbolWidth = 0.0;
    double symbolHeight = 0.0;
    if (writer_.labelSize(symbol, picture, "", symbolWidth, symbolHeight) == status::kOk &&
        width > symbolWidth && width > cellWidth + kToleranceMm) {
        // The caption is the widest part, and nothing but a shorter one fits.
        return "the caption is " + millimetres(width) + " mm wide, " + room;
    }
    const std::string reason =
        "label " + millimetres(width) + " x " + millimetres(height) + " mm, " + room;
    // What would fit: a narrower module, or smaller pixels.
    std::string fits;
    if (const int moduleWidth = fittingModuleWidth(symbol, task, cellWidth, cellHeight)) {
        fits = "-n " + std::to_string(moduleWidth);
    }
    if (const std::int32_t dpi = fittingDpi(symbol, task, cellWidth, cellHeight)) {
        fits += (fits.empty() ? "" : " or ") + std::string("--dpi ") + std::to_string(dpi);
    }
    return fits.empty() ? reason : reason + ": " + fits + " fits";
}

int SheetFile::fittingModuleWidth(const EncodedSymbol& symbol, const RecordTask& task,
                                  double cellWidthMm, double cellHeightMm) const {
    PictureSettings smaller = task.options.picture;
    // A sized image (-x, -y) keeps its size whatever the module.
    if (smaller.imageWidth != 0 || smaller.imageHeight != 0) {
        return 0;
    }
    // Module widths round half up to whole pixels.
    const int current = static_cast<int>(std::floor(smaller.moduleWidth + 0.5));
    for (int moduleWidth = current - 1; moduleWidth >= 1; --moduleWidth) {
        smaller.moduleWidth = moduleWidth;
        double width = 0.0;
        double height = 0.0;
        if (writer_.labelSize(symbol, smaller, task.caption, width, height) == status::kOk &&
            width <= cellWidthMm + kToleranceMm && height <= cellHeightMm + kToleranceMm) {
            return moduleWidth;
        }
    }
    return 0;
}

std::int32_t SheetFile::fittingDpi(const EncodedSymbol& symbol, const RecordTask& task,
                                   double cellWidthMm, double cellHeightMm) const {
    double symbolWidth = 0.0;
    double symbolHeight = 0.0;
    if (writer_.labelSize(symbol, task.options.picture, "", symbolWidth, symbolHeight) !=
        status::kOk) {
        return 0;
    }
    // The symbol's size goes with the size of a pixel; the caption line's
    // stays.
    const double captionMm = captions_ ? mmOfPoints(kCaptionLinePoints) : 0.0;
    const double roomHeight = cellHeightMm - captionMm;
    const std::int32_t dpi = pdfPixelsPerInch(settings_.options.output.dpi);
    if (!(roomHeight > 0.0)) {
        return 0;
    }
    const double scale = std::max(symbolWidth / cellWidthMm, symbolHeight / roomHeight);
    const double least = std::ceil(dpi * scale);
    return least > dpi && least <= kMaxDpi ? static_cast<std::int32_t>(least) : 0;
}

Status SheetFile::finish(int& error) {
    error = error_;
    if (broken()) {
        return broken_;
    }
    errno = 0;
    Status status = writer_.finish();
    if (status != status::kOk) {
        error = errorOr(errno, EIO);
        return status;
    }
    if (!file_) {
        return status::kOk;  // standard output: every page is flushed
    }
    status = file_->commit();
    error = file_->error();
    file_.reset();
    return status;
}

}  // namespace barwright::batch
