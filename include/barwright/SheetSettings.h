#pragma once

#include <cstdint>

#include "barwright/PdfRenderer.h"

namespace barwright {

// Paper sizes, in millimetres.
constexpr double kA4WidthMm = 210.0;
constexpr double kA4HeightMm = 297.0;
constexpr double kLetterWidthMm = 215.9;   // 8.5 inches
constexpr double kLetterHeightMm = 279.4;  // 11 inches
// The largest page side that PDF readers take: 200 inches.
constexpr double kMaxPaperMm = 5080.0;
// The most columns, and the most rows, of labels on a page.
constexpr std::int32_t kMaxGridSide = 1000;

// The caption under a symbol: 8-point Helvetica, its line 10 points tall
// (the text's top 2 points below the symbol).
constexpr double kCaptionFontPoints = 8.0;
constexpr double kCaptionLinePoints = 10.0;

// Millimetres and points (1/72 inch), both ways.
constexpr double pointsOfMm(double mm) { return mm * 72.0 / 25.4; }
constexpr double mmOfPoints(double points) { return points * 25.4 / 72.0; }

// How labels are laid out on sheets of paper.
struct SheetSettings {
    double paperWidthMm = kA4WidthMm;  // 1..kMaxPaperMm
    double paperHeightMm = kA4HeightMm;
    // Labels per page across and down, 1..kMaxGridSide each; 0 and 0: as
    // many as fit at the size of the first label placed (see
    // LabelSheetWriter).
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    double marginMm = 10.0;  // around the grid, >= 0
    double gapMm = 5.0;      // between cells, >= 0
    // A caption line under every symbol: when on, every label takes the
    // line (empty or not) so that all symbols of a grid stand alike.
    bool captions = false;
    // dpi: the size of a picture pixel, as for single PDFs; the symbols are
    // placed on whole pixels of the page, so that the page rendered at dpi
    // (pdftoppm -r dpi) shows each one exactly as renderRgb draws it.
    // time: the document's dates, none without one.
    PdfOptions pdf;
};

}  // namespace barwright
