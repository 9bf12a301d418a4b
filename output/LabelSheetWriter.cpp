// Label sheets as one PDF, written page by page (see the header). Every
// page's content is compressed, and written with its page object as soon
// as its last cell is filled; the page tree, which lists every page, is
// written at the end, from the page count alone, since page objects are
// numbered two apart.
#include "barwright/LabelSheetWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <string>

#include "output/FlateStream.h"
#include "render/NumberText.h"
#include "render/PdfDrawing.h"
#include "render/PdfFile.h"
#include "render/PdfText.h"
#include "render/SheetLayout.h"
#include "render/VectorPicture.h"

namespace barwright {
namespace {

// Page sides in points to four decimals: under a ten-thousandth of a
// millimetre.
constexpr int kPaperDecimals = 4;
constexpr std::int64_t kPaperScale = 10000;
// Caption positions in thousandths of a point.
constexpr double kThousandths = 1000.0;
// The caption's baseline below the symbol: 2 points, then Helvetica's
// ascender (718 thousandths of the font size).
constexpr double kCaptionBaselinePoints = 2.0 + 0.718 * kCaptionFontPoints;
// The cross-reference table holds offsets of ten digits.
constexpr std::uint64_t kLargestOffset = 9999999999u;

// The fixed objects, reserved in this order before any page; each page then
// takes two: its content, then the page itself.
enum FixedObject : std::int32_t { kCatalog = 1, kPageTree, kResources, kFont, kInfo };
constexpr std::int32_t kFixedObjects = kInfo;
constexpr std::int32_t kObjectsPerPage = 2;

void appendThousandths(std::string& out, double value) {
    appendPdfFraction(out, std::llround(value * kThousandths),
                      static_cast<std::int64_t>(kThousandths), 3);
}

void appendPaperSide(std::string& out, double points) {
    appendPdfFraction(out, std::llround(points * kPaperScale), kPaperScale, kPaperDecimals);
}

// A label as add places it: its picture and its caption, in points.
struct Label {
    VectorPicture vector;
    std::string caption;  // WinAnsiEncoding
    double symbolWidth = 0.0;
    double symbolHeight = 0.0;
    double captionWidth = 0.0;
    double width = 0.0;
    double height = 0.0;
};

}  // namespace

struct LabelSheetWriter::State {
    std::FILE* file = nullptr;
    SheetSettings settings;
    std::int32_t dpi = kPointsPerInch;
    SheetLayout layout;
    PdfFile pdf;
    FlateStream flate;
    std::string pageHeight;  // as the page's MediaBox gives it
    std::string pixelScale;  // a pixel's size in points, in a matrix
    std::string content;     // the page being filled
    std::string compressed;
    std::int32_t nextCell = 0;      // on the page being filled
    std::int64_t pendingEmpty = 0;  // cells skipped before the grid was known
    std::int64_t pages = 0;
    Status failure = status::kOk;  // a write failure, returned from then on
    bool finished = false;

    [[nodiscard]] Status measure(const EncodedSymbol& symbol, const PictureSettings& picture,
                                 std::string_view caption, Label& label) const;
    void draw(const EncodedSymbol& symbol, const PictureSettings& picture, const Label& label);
    [[nodiscard]] Status advance();
    [[nodiscard]] Status writePage();
    [[nodiscard]] Status flush();
    void startContent();
    void appendPageTree();
};

Status LabelSheetWriter::State::measure(const EncodedSymbol& symbol, const PictureSettings& picture,
                                        std::string_view caption, Label& label) const {
    if (!settings.captions && !caption.empty()) {
        return status::kInvalidArgument;
    }
    const Status result = layoutVectorPicture(symbol, picture, dpi, label.vector);
    if (result != status::kOk) {
        return result;
    }
    const double pointsPerPixel = static_cast<double>(kPointsPerInch) / dpi;
    label.symbolWidth = label.vector.width * pointsPerPixel;
    label.symbolHeight = label.vector.height * pointsPerPixel;
    label.caption = winAnsiText(caption);
    label.captionWidth =
        static_cast<double>(helveticaWidth(label.caption)) * kCaptionFontPoints / kThousandths;
    label.width = std::max(label.symbolWidth, label.captionWidth);
    label.height = label.symbolHeight + (settings.captions ? kCaptionLinePoints : 0.0);
    return status::kOk;
}

// The label in the next cell: the picture on whole pixels of the page, its
// symbol centred across the cell and the label (picture and caption line)
// down it.
void LabelSheetWriter::State::draw(const EncodedSymbol& symbol, const PictureSettings& picture,
                                   const Label& label) {
    const double pointsPerPixel = static_cast<double>(kPointsPerInch) / dpi;
    const double left = layout.cellLeft(nextCell) + (layout.cellWidth() - label.symbolWidth) / 2;
    const double top = layout.cellTop(nextCell) + (layout.cellHeight() - label.height) / 2;
    const std::int64_t leftPixels = std::llround(left / pointsPerPixel);
    const std::int64_t topPixels = std::llround(top / pointsPerPixel);
    content += "q " + pixelScale + " 0 0 " + pixelScale + ' ';
    appendPdfFraction(content, leftPixels * kPointsPerInch, dpi, 18);
    content += ' ';
    appendPdfFraction(content, topPixels * kPointsPerInch, dpi, 18);
    content += " cm\n";
    appendPdfPicture(content, symbol, picture, label.vector);
    content += "Q\n";
    if (label.caption.empty()) {
        return;
    }
    // The text matrix turns the text upright again in the page's
    // downward frame.
    const double centre = (leftPixels + label.vector.width / 2.0) * pointsPerPixel;
    content += "0 g\nBT /F1 8 Tf 1 0 0 -1 ";
    appendThousandths(content, centre - label.captionWidth / 2);
    content += ' ';
    appendThousandths(content,
                      (topPixels + label.vector.height) * pointsPerPixel + kCaptionBaselinePoints);
    content += " Tm ";
    appendPdfString(content, label.caption);
    content += " Tj ET\n";
}

// The page's frame: PDF's y axis turned to run down from the page's top.
void LabelSheetWriter::State::startContent() { content = "1 0 0 -1 0 " + pageHeight + " cm\n"; }

Status LabelSheetWriter::State::flush() {
    std::string& text = pdf.text();
    if (pdf.size() > kLargestOffset) {
        return status::kFail;
    }
    // Flushed too, so that a page is out of the process once complete and
    // a full disk shows at the page that meets it.
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size() || std::fflush(file) != 0 ||
        std::ferror(file) != 0) {
        return status::kCantCloseOutput;
    }
    pdf.markWritten();
    return status::kOk;
}

Status LabelSheetWriter::State::writePage() {
    Status result = flate.compress(content, compressed);
    if (result != status::kOk) {
        return result;
    }
    const std::int32_t contents = pdf.reserveObject();
    const std::int32_t page = pdf.reserveObject();
    pdf.appendStream(contents, compressed, true);
    pdf.beginObject(page);
    std::string& text = pdf.text();
    text += "<</Type/Page/Parent ";
    appendInteger(text, kPageTree);
    text += " 0 R/MediaBox[0 0 ";
    appendPaperSide(text, layout.pageWidth());
    text += ' ' + pageHeight + "]/Resources ";
    appendInteger(text, kResources);
    text += " 0 R/Contents ";
    appendInteger(text, contents);
    text += " 0 R>>";
    pdf.endObject();
    ++pages;
    nextCell = 0;
    startContent();
    return flush();
}

// On to the next cell; a page whose last cell this was is written.
Status LabelSheetWriter::State::advance() {
    ++nextCell;
    return nextCell == layout.cellsPerPage() ? writePage() : status::kOk;
}

void LabelSheetWriter::State::appendPageTree() {
    std::string& text = pdf.text();
    pdf.beginObject(kPageTree);
    text += "<</Type/Pages/Kids[";
    for (std::int64_t i = 0; i < pages; ++i) {
        appendInteger(text, kFixedObjects + kObjectsPerPage * i + kObjectsPerPage);
        text += " 0 R ";
    }
    text += "]/Count ";
    appendInteger(text, pages);
    text += ">>";
    pdf.endObject();
}

LabelSheetWriter::LabelSheetWriter() = default;
LabelSheetWriter::~LabelSheetWriter() = default;

Status LabelSheetWriter::open(const SheetSettings& settings, std::FILE* file) {
    state_.reset();
    auto state = std::make_unique<State>();
    std::string date;
    if (file == nullptr || settings.pdf.dpi < 0 || settings.pdf.dpi > kMaxDpi ||
        (settings.pdf.timeGiven && !pdfDate(settings.pdf.time, date))) {
        return status::kInvalidArgument;
    }
    Status result = state->layout.start(settings);
    if (result != status::kOk) {
        return result;
    }
    state->file = file;
    state->settings = settings;
    state->dpi = pdfPixelsPerInch(settings.pdf.dpi);
    appendPixelScale(state->pixelScale, state->dpi);
    appendPaperSide(state->pageHeight, state->layout.pageHeight());
    state->startContent();
    PdfFile& pdf = state->pdf;
    for (std::int32_t i = 0; i < kFixedObjects; ++i) {
        (void)pdf.reserveObject();
    }
    pdf.beginObject(kCatalog);
    pdf.text() += "<</Type/Catalog/Pages 2 0 R>>";
    pdf.endObject();
    pdf.beginObject(kResources);
    pdf.text() += "<</Font<</F1 4 0 R>>>>";
    pdf.endObject();
    pdf.beginObject(kFont);
    pdf.text() += "<</Type/Font/Subtype/Type1/BaseFont/Helvetica/Encoding/WinAnsiEncoding>>";
    pdf.endObject();
    pdf.appendInfo(kInfo, date);
    result = state->flush();
    if (result != status::kOk) {
        return result;
    }
    state_ = std::move(state);
    return status::kOk;
}

Status LabelSheetWriter::usable() const {
    if (!state_ || state_->finished) {
        return status::kInvalidArgument;
    }
    return state_->failure;
}

Status LabelSheetWriter::add(const EncodedSymbol& symbol, const PictureSettings& picture,
                             std::string_view caption) {
    if (const Status usability = usable(); usability != status::kOk) {
        return usability;
    }
    State& state = *state_;
    Label label;
    Status result = state.measure(symbol, picture, caption, label);
    if (result != status::kOk) {
        return result;
    }
    if (!state.layout.hasGrid() && !state.layout.fitGrid(label.width, label.height)) {
        // Not even one fits the page: which side is too large.
        const double roomWidth = state.layout.pageWidth() - 2 * pointsOfMm(state.settings.marginMm);
        return label.width > roomWidth ? status::kColumnsTooLarge : status::kRowsTooLarge;
    }
    result = state.layout.checkFit(label.width, label.height);
    if (result != status::kOk) {
        return result;
    }
    try {
        for (; state.pendingEmpty > 0; --state.pendingEmpty) {
            if ((result = state.advance()) != status::kOk) {
                return state.failure = result;
            }
        }
        state.draw(symbol, picture, label);
        result = state.advance();
    } catch (const std::bad_alloc&) {
        result = status::kFail;
    }
    if (result != status::kOk) {
        state.failure = result;
    }
    return result;
}

Status LabelSheetWriter::skip() {
    if (const Status usability = usable(); usability != status::kOk) {
        return usability;
    }
    State& state = *state_;
    if (!state.layout.hasGrid()) {
        ++state.pendingEmpty;
        return status::kOk;
    }
    try {
        state.failure = state.advance();
    } catch (const std::bad_alloc&) {
        state.failure = status::kFail;
    }
    return state.failure;
}

Status LabelSheetWriter::finish() {
    if (const Status usability = usable(); usability != status::kOk) {
        return usability;
    }
    State& state = *state_;
    state.finished = true;
    try {
        // A page begun, or no page at all: a document has at least one.
        if (state.nextCell > 0 || state.pages == 0) {
            state.failure = state.writePage();
        }
        if (state.failure == status::kOk) {
            state.appendPageTree();
            state.pdf.finish(kCatalog, kInfo);
            state.failure = state.flush();
        }
    } catch (const std::bad_alloc&) {
        state.failure = status::kFail;
    }
    return state.failure;
}

std::int32_t LabelSheetWriter::columns() const { return state_ ? state_->layout.columns() : 0; }
std::int32_t LabelSheetWriter::rows() const { return state_ ? state_->layout.rows() : 0; }

double LabelSheetWriter::cellWidthMm() const {
    return state_ && state_->layout.hasGrid() ? mmOfPoints(state_->layout.cellWidth()) : 0.0;
}

double LabelSheetWriter::cellHeightMm() const {
    return state_ && state_->layout.hasGrid() ? mmOfPoints(state_->layout.cellHeight()) : 0.0;
}

Status LabelSheetWriter::labelSize(const EncodedSymbol& symbol, const PictureSettings& picture,
                                   std::string_view caption, double& widthMm,
                                   double& heightMm) const {
    if (!state_) {
        return status::kInvalidArgument;
    }
    Label label;
    const Status result = state_->measure(symbol, picture, caption, label);
    if (result == status::kOk) {
        widthMm = mmOfPoints(label.width);
        heightMm = mmOfPoints(label.height);
    }
    return result;
}

std::int64_t LabelSheetWriter::pagesWritten() const { return state_ ? state_->pages : 0; }

}  // namespace barwright
