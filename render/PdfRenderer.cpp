// The symbol as a one-page PDF, written without a library: the file is a
// handful of objects around one content stream of filled rectangles (see
// docs/pdf.md for the choice).
#include <cstdint>
#include <string>

#include "barwright/PdfRenderer.h"
#include "render/NumberText.h"
#include "render/PdfDrawing.h"
#include "render/PdfFile.h"
#include "render/VectorPicture.h"

namespace barwright {
namespace {


// A picture side in points at dpi, a hair short of its exact length: a
// renderer sizes its page by rounding points x dpi / 72 up, and an exact
// length that rounding left a trace above the whole pixel count would give
// the page one more row or column. Cut off to pointDecimals(dpi) decimals,
// then one unit of the last decimal less, so that the page is between one
// and two thousandths of a pixel short of the picture.
void appendPageSide(std::string& out, std::int32_t pixels, std::int32_t dpi) {
    if (dpi == kPointsPerInch) {
        appendInteger(out, pixels);
        return;
    }
    const int decimals = pointDecimals(dpi);
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    // pixels x 72 x 10^decimals / dpi, cut off, minus one: below 2^63 for
    // any side and dpi within the limits.
    const std::int64_t units = std::int64_t{pixels} * kPointsPerInch * (scale / dpi) +
                               std::int64_t{pixels} * kPointsPerInch * (scale % dpi) / dpi - 1;
    appendPdfFraction(out, units, scale, decimals);
}

// The content: the picture in pixels, turned upright (PDF's y runs up) and
// scaled to 72 / dpi points a pixel, its top at the page's top.
void appendContent(std::string& content, const EncodedSymbol& symbol,
                   const PictureSettings& picture, std::int32_t dpi, const VectorPicture& vector,
                   const std::string& pageHeight) {
    std::string scale;
    appendPixelScale(scale, dpi);
    content += scale + " 0 0 -" + scale + " 0 " + pageHeight + " cm\n";
    appendPdfPicture(content, symbol, picture, vector);
}

void appendDocument(std::string& pdf, const EncodedSymbol& symbol, const PictureSettings& picture,
                    const PdfOptions& options, const std::string& date,
                    const VectorPicture& vector) {
    const std::int32_t dpi = pdfPixelsPerInch(options.dpi);
    std::string width;
    std::string height;
    appendPageSide(width, vector.width, dpi);
    appendPageSide(height, vector.height, dpi);

    PdfFile file(std::move(pdf));
    const std::int32_t catalog = file.reserveObject();
    const std::int32_t pages = file.reserveObject();
    const std::int32_t page = file.reserveObject();
    const std::int32_t contents = file.reserveObject();
    const std::int32_t info = file.reserveObject();
    std::string& text = file.text();
    file.beginObject(catalog);
    text += "<</Type/Catalog/Pages ";
    appendInteger(text, pages);
    text += " 0 R>>";
    file.endObject();
    file.beginObject(pages);
    text += "<</Type/Pages/Kids[";
    appendInteger(text, page);
    text += " 0 R]/Count 1>>";
    file.endObject();
    file.beginObject(page);
    text += "<</Type/Page/Parent ";
    appendInteger(text, pages);
    text += " 0 R/MediaBox[0 0 " + width + ' ' + height + "]/Resources<<>>/Contents ";
    appendInteger(text, contents);
    text += " 0 R>>";
    file.endObject();
    file.beginStream(contents, false);
    appendContent(text, symbol, picture, dpi, vector, height);
    file.endStream();
    file.appendInfo(info, date);
    file.finish(catalog, info);
    pdf = std::move(text);
}

}  // namespace

Status renderPdf(const EncodedSymbol& symbol, const PictureSettings& picture,
                 const PdfOptions& options, std::string& pdf) {
    pdf.clear();
    std::string date;
    if (options.timeGiven && !pdfDate(options.time, date)) {
        return status::kInvalidArgument;
    }
    return renderVector(symbol, picture, options.dpi, pdf,
                        [&](std::string& text, const VectorPicture& vector) {
                            appendDocument(text, symbol, picture, options, date, vector);
                        });
}

}  // namespace barwright
