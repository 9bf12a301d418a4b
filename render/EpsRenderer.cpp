// The symbol as Encapsulated PostScript. The bars are drawn in the symbol's
// own coordinates, a module along the rows and a row across them, through
// one matrix of whole numbers per orientation, so that rendered at the
// recorded resolution every bar edge falls exactly on a pixel boundary and
// the page equals the raster's pixels. Each row is a string of its element
// widths in modules, painted by a small procedure; the start and stop
// patterns, the same in every row, are painted once across all rows.
#include "barwright/EpsRenderer.h"

#include <cstdint>
#include <new>
#include <string>

#include "render/NumberText.h"
#include "render/VectorPicture.h"

namespace barwright {
namespace {

// Widths as characters: '0' + modules (the prolog's "48 sub" undoes it),
// which stays within digits and ':' .. 'A' for any width a drawable symbol
// can hold, so never needs an escape inside a PostScript string.
constexpr char kWidthDigitBase = '0';

// B: (widths) along across thickness B paints the bars of the widths from
// `along` modules on, bar first, `across` rows from row 0, `thickness`
// rows thick. R: (widths) row R paints a row's codewords, which begin
// right after the start pattern, 17 modules along. C: red green blue C
// sets a colour given in 255ths, which Ghostscript turns back into the very
// same 8-bit values.
constexpr char kProlog[] =
    "/B{/t exch def/v exch def/u exch def/k true def"
    "{48 sub k{u v 2 index t rectfill}if u add/u exch def/k k not def}forall}bind def\n"
    "/R{17 exch 1 B}bind def\n"
    "/C{3{255 div 3 1 roll}repeat setrgbcolor}bind def\n";

// 72 / dpi points a pixel. The scale is inexact in PostScript's reals and
// leaves bar edges a hair off the pixel boundaries, and PostScript paints
// every pixel that a shape touches at all: a whole extra pixel row. Rendered
// at dpi, the device matrix lies within a ten-thousandth of whole numbers,
// and is set to them so that edges fall on boundaries again. Wherever else
// an entry is that close to a whole number, it moves by less than a
// ten-thousandth of a device pixel, which changes nothing.
constexpr char kSnapToPixels[] =
    "[matrix currentmatrix{dup round 2 copy sub abs 0.0001 lt{exch}if pop}forall]setmatrix\n";

void appendColor(std::string& out, Color color) {
    appendInteger(out, (color >> 16) & 0xFF);
    out += ' ';
    appendInteger(out, (color >> 8) & 0xFF);
    out += ' ';
    appendInteger(out, color & 0xFF);
    out += " C\n";
}

// Points for a length in pixels, rounded up so that the bounding box holds
// the whole picture.
std::int64_t pointsRoundedUp(std::int32_t pixels, std::int32_t dpi) {
    constexpr std::int64_t kPointsPerInch = 72;
    if (dpi == 0) {
        return pixels;
    }
    return (pixels * kPointsPerInch + dpi - 1) / dpi;
}

// A PostScript matrix [a b c d tx ty]: it maps (u, v) to
// (a u + c v + tx, b u + d v + ty).
struct Matrix {
    std::int64_t a, b, c, d, tx, ty;
};

// The matrix from symbol coordinates (modules along the rows from the start
// pattern's edge, rows across from row 0's edge) to PostScript's, whose y
// runs upward from the picture's bottom edge. The same placement as the
// raster's: SymbolLayout's Placement::place, turned upside down.
Matrix symbolMatrix(const VectorPicture& vector) {
    const drawing::Placement& p = vector.layout.placement;
    const std::int64_t m = vector.layout.fit.moduleWidth;
    const std::int64_t h = vector.layout.fit.rowHeight;
    const std::int64_t left = p.left;
    const std::int64_t right = left + p.width;
    const std::int64_t top = std::int64_t{vector.height} - p.top;
    const std::int64_t bottom = top - p.height;
    switch (p.orientation) {
        case 90:  // start pattern at the bottom, rows rightward
            return Matrix{0, m, h, 0, left, bottom};
        case 180:  // start pattern on the right, rows upward
            return Matrix{-m, 0, 0, h, right, bottom};
        case 270:  // start pattern at the top, rows leftward
            return Matrix{0, -m, -h, 0, right, top};
        default:  // start pattern on the left, rows downward
            return Matrix{m, 0, 0, -h, left, top};
    }
}

void appendMatrix(std::string& out, const Matrix& matrix) {
    const std::int64_t entries[] = {matrix.a, matrix.b, matrix.c, matrix.d, matrix.tx, matrix.ty};
    out += '[';
    for (const std::int64_t entry : entries) {
        appendInteger(out, entry);
        out += ' ';
    }
    out.back() = ']';
    out += "concat\n";
}

void appendWidths(std::string& out, const std::uint8_t* widths, std::int32_t count) {
    out += '(';
    for (std::int32_t i = 0; i < count; ++i) {
        out += static_cast<char>(kWidthDigitBase + widths[i]);
    }
    out += ')';
}

void appendSymbol(std::string& out, const EncodedSymbol& symbol) {
    const std::int32_t rowModules =
        kModulesPerCodeword * (symbol.matrix.elementsPerRow / kElementsPerCodeword);
    appendWidths(out, kStartPattern, drawing::kStartPatternWalked);
    out += " 0 0 ";
    appendInteger(out, symbol.rows);
    out += " B\n";
    const drawing::StopPattern stop = drawing::stopPatternOf(symbol.compact);
    appendWidths(out, stop.widths, stop.elements);
    out += ' ';
    appendInteger(out, kModulesPerCodeword + rowModules);
    out += " 0 ";
    appendInteger(out, symbol.rows);
    out += " B\n";
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        appendWidths(out, symbol.matrix.row(i), symbol.matrix.elementsPerRow);
        out += ' ';
        appendInteger(out, i);
        out += " R\n";
    }
}

// The whole file into eps, which is empty.
void appendFile(std::string& eps, const EncodedSymbol& symbol, const PictureSettings& picture,
                std::int32_t dpi, const VectorPicture& vector) {
    // One character a row element and a few more a row.
    eps.reserve(1024 + static_cast<std::size_t>(symbol.rows) *
                           (16 + static_cast<std::size_t>(symbol.matrix.elementsPerRow)));
    eps += "%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: barwright\n%%BoundingBox: 0 0 ";
    appendInteger(eps, pointsRoundedUp(vector.width, dpi));
    eps += ' ';
    appendInteger(eps, pointsRoundedUp(vector.height, dpi));
    eps += "\n%%LanguageLevel: 2\n%%EndComments\ngsave\n10 dict begin\n";
    eps += kProlog;
    if (dpi > 0) {
        eps += "72 ";
        appendInteger(eps, dpi);
        eps += " div dup scale\n";
        eps += kSnapToPixels;
    }
    appendColor(eps, picture.background);
    appendPictureBox(eps, vector);
    eps += " rectfill\n";
    appendColor(eps, picture.foreground);
    appendMatrix(eps, symbolMatrix(vector));
    appendSymbol(eps, symbol);
    eps += "end\ngrestore\nshowpage\n%%EOF\n";
}

}  // namespace

Status renderEps(const EncodedSymbol& symbol, const PictureSettings& picture, std::int32_t dpi,
                 std::string& eps) {
    return renderVector(symbol, picture, dpi, eps,
                        [&](std::string& text, const VectorPicture& vector) {
                            appendFile(text, symbol, picture, dpi, vector);
                        });
}

}  // namespace barwright
