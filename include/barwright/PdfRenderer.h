#pragma once

#include <cstdint>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"

namespace barwright {

// PDF measures in points, 72 an inch.
constexpr std::int32_t kPointsPerInch = 72;

// Picture pixels per inch for a PdfOptions::dpi: 0 makes a pixel a point.
constexpr std::int32_t pdfPixelsPerInch(std::int32_t dpi) { return dpi == 0 ? kPointsPerInch : dpi; }

// How a PDF is written.
struct PdfOptions {
    // Picture pixels per inch, 0..kMaxDpi: a pixel is 1/dpi inch, and 0
    // (as 72) makes a pixel a point.
    std::int32_t dpi = 0;
    // The document's creation and modification dates, in UTC; without a
    // time the document holds no date at all, so that the same symbol
    // always gives the same bytes.
    bool timeGiven = false;
    std::int64_t time = 0;  // seconds since 1970
};

// The picture as a one-page PDF: the page exactly the picture's size, the
// background a filled rectangle over the page, the bars filled rectangles
// in the foreground colour (the start and stop patterns one across all
// rows, every other bar one in its row). Rendered at the resolution
// (pdftoppm -r dpi, or -r 72 for dpi 0) it gives renderRgb's pixels.
// kInvalidArgument for a dpi outside 0..kMaxDpi or a time outside the
// years 0..9999, then the same statuses as renderRgb (sizes beyond the
// raster's limits refused with kCantAllocateImage, as is a file that memory
// cannot hold). On failure pdf is left empty.
[[nodiscard]] Status renderPdf(const EncodedSymbol& symbol, const PictureSettings& picture,
                               const PdfOptions& options, std::string& pdf);

}  // namespace barwright
