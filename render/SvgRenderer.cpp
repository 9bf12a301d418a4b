// The symbol as SVG. One user unit is one pixel of the raster picture, and
// every bar edge lies on a whole unit, so drawn at 1:1 the SVG gives the
// raster's pixels. Each symbol row is one stroked line as thick as the row,
// its bars and spaces the dashes and gaps of its stroke-dasharray; the
// start and stop patterns, the same in every row, are one line as thick as
// all rows. Butt caps end every dash exactly at its edge, and crispEdges
// asks for no anti-aliasing, which could only blur edges that are already
// on pixel boundaries.
#include "barwright/SvgRenderer.h"

#include <cstdint>
#include <new>
#include <string>

#include "render/NumberText.h"
#include "render/VectorPicture.h"

namespace barwright {
namespace {

// Decimals of the width and height in inches: at most 5e-10 inch off,
// under a thousandth of a pixel at kMaxDpi.
constexpr int kInchDecimals = 9;

// A line through the middle of a band of the symbol: `along` pixels from the
// start pattern's edge for `length` pixels, `across` pixels from row 0's
// edge, `thickness` thick. Its path runs away from the start pattern, so
// that the dash pattern starts with the start pattern's side.
void appendLine(std::string& out, const drawing::Placement& placement, std::int32_t along,
                std::int32_t length, std::int32_t across, std::int32_t thickness) {
    const Rect band = placement.place(along, length, across, thickness);
    out += "<path d=\"M";
    switch (placement.orientation) {
        case 90:  // upward from the bottom
            appendHalves(out, std::int64_t{band.left} + band.right);
            out += ' ';
            appendInteger(out, band.bottom);
            out += "v-";
            break;
        case 180:  // leftward from the right
            appendInteger(out, band.right);
            out += ' ';
            appendHalves(out, std::int64_t{band.top} + band.bottom);
            out += "h-";
            break;
        case 270:  // downward from the top
            appendHalves(out, std::int64_t{band.left} + band.right);
            out += ' ';
            appendInteger(out, band.top);
            out += 'v';
            break;
        default:  // rightward from the left
            appendInteger(out, band.left);
            out += ' ';
            appendHalves(out, std::int64_t{band.top} + band.bottom);
            out += 'h';
            break;
    }
    appendInteger(out, length);
    out += '"';
}

void appendDash(std::string& out, std::int64_t pixels) {
    appendInteger(out, pixels);
    out += ' ';
}

// Ends a dash list that appendDash left with a trailing space.
void endDashes(std::string& out) {
    out.back() = '"';
    out += "/>\n";
}

// width or height: pixels, or inches at the given resolution.
void appendLength(std::string& out, std::int32_t pixels, std::int32_t dpi) {
    if (dpi == 0) {
        appendInteger(out, pixels);
        return;
    }
    appendDecimal(out, pixels, dpi, kInchDecimals);
    out += "in";
}

void appendSymbol(std::string& out, const EncodedSymbol& symbol, const SymbolLayout& layout) {
    const std::int32_t m = layout.fit.moduleWidth;
    const std::int32_t rowHeight = layout.fit.rowHeight;
    const drawing::Placement& placement = layout.placement;
    const std::int32_t rowModules =
        kModulesPerCodeword * (symbol.matrix.elementsPerRow / kElementsPerCodeword);
    const std::int32_t stopModules = symbol.compact ? kCompactStopModules : kStopPatternModules;

    // The start pattern's bars, one gap from its closing space over the
    // rows' codewords to the stop pattern, then the stop pattern.
    appendLine(out, placement, 0, (kModulesPerCodeword + rowModules + stopModules) * m, 0,
               symbol.rows * rowHeight);
    out += " stroke-width=\"";
    appendInteger(out, std::int64_t{symbol.rows} * rowHeight);
    out += "\" stroke-dasharray=\"";
    for (int k = 0; k < drawing::kStartPatternWalked; ++k) {
        appendDash(out, std::int64_t{kStartPattern[k]} * m);
    }
    appendDash(out, std::int64_t{kStartPattern[drawing::kStartPatternWalked] + rowModules} * m);
    const drawing::StopPattern stop = drawing::stopPatternOf(symbol.compact);
    for (int k = 0; k < stop.elements; ++k) {
        appendDash(out, std::int64_t{stop.widths[k]} * m);
    }
    endDashes(out);

    // The rows take the group's stroke width, the row height.
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        appendLine(out, placement, kModulesPerCodeword * m, rowModules * m, i * rowHeight,
                   rowHeight);
        out += " stroke-dasharray=\"";
        const std::uint8_t* widths = symbol.matrix.row(i);
        for (std::int32_t j = 0; j < symbol.matrix.elementsPerRow; ++j) {
            appendDash(out, std::int64_t{widths[j]} * m);
        }
        endDashes(out);
    }
}

// The whole file into svg, which is empty.
void appendFile(std::string& svg, const EncodedSymbol& symbol, const PictureSettings& picture,
                std::int32_t dpi, const VectorPicture& vector) {
    // About 2.5 characters a dash, eight dashes a codeword, and a line
    // around each row.
    svg.reserve(512 + static_cast<std::size_t>(symbol.rows) *
                          (64 + 3 * static_cast<std::size_t>(symbol.matrix.elementsPerRow)));
    svg +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    appendLength(svg, vector.width, dpi);
    svg += "\" height=\"";
    appendLength(svg, vector.height, dpi);
    svg += "\" viewBox=\"";
    appendPictureBox(svg, vector);
    svg += "\">\n<rect width=\"";
    appendInteger(svg, vector.width);
    svg += "\" height=\"";
    appendInteger(svg, vector.height);
    svg += "\" fill=\"";
    appendHexColor(svg, picture.background & kColorBits);
    svg += "\"/>\n<g fill=\"none\" stroke=\"";
    appendHexColor(svg, picture.foreground & kColorBits);
    svg += "\" stroke-width=\"";
    appendInteger(svg, vector.layout.fit.rowHeight);
    svg += "\" stroke-linecap=\"butt\" shape-rendering=\"crispEdges\">\n";
    appendSymbol(svg, symbol, vector.layout);
    svg += "</g>\n</svg>\n";
}

}  // namespace

Status renderSvg(const EncodedSymbol& symbol, const PictureSettings& picture, std::int32_t dpi,
                 std::string& svg) {
    return renderVector(symbol, picture, dpi, svg,
                        [&](std::string& text, const VectorPicture& vector) {
                            appendFile(text, symbol, picture, dpi, vector);
                        });
}

}  // namespace barwright
