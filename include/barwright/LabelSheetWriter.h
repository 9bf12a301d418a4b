#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/SheetSettings.h"
#include "barwright/Status.h"

namespace barwright {

// Writes label sheets as one PDF, streaming: labels fill the cells row by
// row, left to right, top to bottom, page after page, and each page is
// written to the file as soon as its last cell is filled, so that memory
// holds one page and 8 bytes per PDF object (two a page), however many
// labels there are. Pages are compressed (Flate).
//
// Cells: the area inside the margin, split into the grid with the gap
// between cells. Without a grid, the first label placed decides it: as many
// columns and rows as fit a label of its size (its picture, and its caption
// line when captions are on) with the gaps between them, the cells then
// sharing the area evenly. Symbols that vary in size should be given a grid
// (or settings that fix their size, such as columns and rows): a later
// label larger than its cell is refused.
//
// Each symbol is drawn at its own picture settings' size (module width,
// row height, quiet zone; pixels of 1/dpi inch), centred in its cell with
// its caption centred under it, in black.
//
// Use: open, then add or skip once per label in order, then finish. After
// a write error every call returns kCantCloseOutput.
class LabelSheetWriter {
public:
    LabelSheetWriter();
    ~LabelSheetWriter();
    LabelSheetWriter(const LabelSheetWriter&) = delete;
    LabelSheetWriter& operator=(const LabelSheetWriter&) = delete;

    // Starts the document on file, a stream open for binary writing, which
    // the caller closes after finish. kInvalidArgument for settings outside
    // their ranges, a margin that leaves no room or a grid whose cells would
    // have no size, a dpi outside 0..kMaxDpi, a time outside the years
    // 0..9999 (nothing is written); kCantCloseOutput when writing fails.
    [[nodiscard]] Status open(const SheetSettings& settings, std::FILE* file);

    // Places the symbol in the next cell, with caption (UTF-8, one line;
    // characters outside Windows code page 1252 are printed as '?').
    // kColumnsTooLarge when the label is wider than its cell (its picture,
    // or its caption), kRowsTooLarge when it is taller; the picture's
    // statuses as renderPdf gives them; kInvalidArgument for a caption on a
    // sheet without captions. On any refusal nothing is placed and the cell
    // stays next: skip() leaves it empty. kCantCloseOutput when writing
    // fails.
    [[nodiscard]] Status add(const EncodedSymbol& symbol, const PictureSettings& picture,
                             std::string_view caption = {});

    // Leaves the next cell empty (a record that failed).
    [[nodiscard]] Status skip();

    // Writes the last page and ends the document. A document in which no
    // label was placed and no grid was given is one empty page.
    [[nodiscard]] Status finish();

    // The grid, 0 x 0 until it is known; a cell's size in millimetres.
    std::int32_t columns() const;
    std::int32_t rows() const;
    double cellWidthMm() const;
    double cellHeightMm() const;
    // A label's size in millimetres as add would place it, for messages
    // about one that does not fit; the picture's statuses.
    [[nodiscard]] Status labelSize(const EncodedSymbol& symbol, const PictureSettings& picture,
                                   std::string_view caption, double& widthMm,
                                   double& heightMm) const;
    std::int64_t pagesWritten() const;

private:
    struct State;
    // kInvalidArgument before open or after finish, the failure that ended
    // the document, or kOk while labels may come.
    [[nodiscard]] Status usable() const;

    std::unique_ptr<State> state_;
};

}  // namespace barwright
