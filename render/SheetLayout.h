#pragma once

#include <cstdint>

#include "barwright/SheetSettings.h"
#include "barwright/Status.h"

namespace barwright {

// The geometry of a label sheet, in points from the page's top-left corner.
class SheetLayout {
public:
    // Takes the settings' paper, margin, gap and grid (when given).
    // kInvalidArgument as LabelSheetWriter::open.
    [[nodiscard]] Status start(const SheetSettings& settings);

    // Decides the grid from a label's size: as many columns and rows as
    // fit, at most kMaxGridSide each. false (and no grid) when not even one
    // fits.
    bool fitGrid(double labelWidth, double labelHeight);

    // kColumnsTooLarge for a label wider than a cell, kRowsTooLarge for
    // one taller; a grid must be known.
    [[nodiscard]] Status checkFit(double labelWidth, double labelHeight) const;

    bool hasGrid() const { return columns_ > 0; }
    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }
    std::int32_t cellsPerPage() const { return columns_ * rows_; }
    double pageWidth() const { return pageWidth_; }
    double pageHeight() const { return pageHeight_; }
    double cellWidth() const { return cellWidth_; }
    double cellHeight() const { return cellHeight_; }
    // The top-left corner of cell `index` of a page (0 .. cellsPerPage - 1),
    // counted row by row.
    double cellLeft(std::int32_t index) const;
    double cellTop(std::int32_t index) const;

private:
    void setGrid(std::int32_t columns, std::int32_t rows);

    double pageWidth_ = 0.0;
    double pageHeight_ = 0.0;
    double margin_ = 0.0;
    double gap_ = 0.0;
    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    double cellWidth_ = 0.0;
    double cellHeight_ = 0.0;
};

}  // namespace barwright
