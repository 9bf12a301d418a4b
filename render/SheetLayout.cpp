#include "render/SheetLayout.h"

#include <cmath>

namespace barwright {
namespace {

// Sizes that meet exactly still fit, whatever the rounding of the
// millimetres into points: a millionth of a point is nothing on paper.
constexpr double kTolerance = 1e-6;

bool isLength(double mm, double least, double most) {
    return std::isfinite(mm) && mm >= least && mm <= most;
}

// How many items of `size` with `gap` between them fit into `room`.
std::int32_t howManyFit(double room, double size, double gap) {
    const double count = std::floor((room + gap + kTolerance) / (size + gap));
    if (!(count >= 1.0)) {
        return 0;
    }
    return count >= kMaxGridSide ? kMaxGridSide : static_cast<std::int32_t>(count);
}

}  // namespace

Status SheetLayout::start(const SheetSettings& settings) {
    constexpr double kLeastPaperMm = 1.0;
    if (!isLength(settings.paperWidthMm, kLeastPaperMm, kMaxPaperMm) ||
        !isLength(settings.paperHeightMm, kLeastPaperMm, kMaxPaperMm) ||
        !isLength(settings.marginMm, 0.0, kMaxPaperMm) ||
        !isLength(settings.gapMm, 0.0, kMaxPaperMm) || settings.columns < 0 ||
        settings.columns > kMaxGridSide || settings.rows < 0 || settings.rows > kMaxGridSide ||
        (settings.columns == 0) != (settings.rows == 0)) {
        return status::kInvalidArgument;
    }
    pageWidth_ = pointsOfMm(settings.paperWidthMm);
    pageHeight_ = pointsOfMm(settings.paperHeightMm);
    margin_ = pointsOfMm(settings.marginMm);
    gap_ = pointsOfMm(settings.gapMm);
    columns_ = 0;
    rows_ = 0;
    if (pageWidth_ - 2 * margin_ <= 0.0 || pageHeight_ - 2 * margin_ <= 0.0) {
        return status::kInvalidArgument;
    }
    if (settings.columns > 0) {
        setGrid(settings.columns, settings.rows);
        if (!(cellWidth_ > 0.0 && cellHeight_ > 0.0)) {
            columns_ = 0;
            rows_ = 0;
            return status::kInvalidArgument;
        }
    }
    return status::kOk;
}

bool SheetLayout::fitGrid(double labelWidth, double labelHeight) {
    const std::int32_t columns = howManyFit(pageWidth_ - 2 * margin_, labelWidth, gap_);
    const std::int32_t rows = howManyFit(pageHeight_ - 2 * margin_, labelHeight, gap_);
    if (columns == 0 || rows == 0) {
        return false;
    }
    setGrid(columns, rows);
    return true;
}

Status SheetLayout::checkFit(double labelWidth, double labelHeight) const {
    if (labelWidth > cellWidth_ + kTolerance) {
        return status::kColumnsTooLarge;
    }
    if (labelHeight > cellHeight_ + kTolerance) {
        return status::kRowsTooLarge;
    }
    return status::kOk;
}

void SheetLayout::setGrid(std::int32_t columns, std::int32_t rows) {
    columns_ = columns;
    rows_ = rows;
    cellWidth_ = (pageWidth_ - 2 * margin_ - (columns - 1) * gap_) / columns;
    cellHeight_ = (pageHeight_ - 2 * margin_ - (rows - 1) * gap_) / rows;
}

double SheetLayout::cellLeft(std::int32_t index) const {
    return margin_ + (index % columns_) * (cellWidth_ + gap_);
}

double SheetLayout::cellTop(std::int32_t index) const {
    return margin_ + (index / columns_) * (cellHeight_ + gap_);
}

}  // namespace barwright
