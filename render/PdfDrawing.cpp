#include "render/PdfDrawing.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <memory>

#include "barwright/PdfRenderer.h"
#include "render/NumberText.h"
#include "render/SymbolLayout.h"

namespace barwright {
namespace {

// The clearance of every bar edge, in hundredths of a pixel: one on each
// side, so a bar is 0.02 pixel narrower and shorter than its pixels.
constexpr std::int64_t kHundredths = 100;
constexpr std::int64_t kClearanceHundredths = 2;
// Colour parts in 255ths, to five decimals: a renderer turns them back
// into the very same 8-bit values.
constexpr std::int64_t kColorSteps = 255;
constexpr int kColorDecimals = 5;
// Characters of any int64 in decimal, sign included.
constexpr std::size_t kMaxIntegerChars = 20;
// No element of a drawable symbol is wider than 7 modules (isDrawable), nor
// of the start and stop patterns than 8.
constexpr std::int32_t kWidestElementModules = 8;

// A length shortened by the clearance, as text: w pixels give "w-0.02".
struct ShortLength {
    char text[24];
    std::size_t size = 0;
};

// As appendPdfFraction writes it, straight into the buffer: a picture
// takes a dozen of them.
ShortLength shortLength(std::int64_t pixels) {
    std::int64_t hundredths = pixels * kHundredths - kClearanceHundredths;
    ShortLength length;
    char* p = length.text;
    if (hundredths < 0) {
        *p++ = '-';
        hundredths = -hundredths;
    }
    p = std::to_chars(p, length.text + kMaxIntegerChars, hundredths / kHundredths).ptr;
    const auto fraction = static_cast<int>(hundredths % kHundredths);
    if (fraction != 0) {
        *p++ = '.';
        *p++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            *p++ = static_cast<char>('0' + fraction % 10);
        }
    }
    length.size = static_cast<std::size_t>(p - length.text);
    return length;
}

// The shortened length of an element of every width, in the picture's
// module width: made once a picture, for all of its bars.
struct BarLengths {
    ShortLength ofModules[kWidestElementModules + 1];
    std::size_t longest = 0;

    explicit BarLengths(std::int32_t moduleWidth) {
        for (std::int32_t w = 0; w <= kWidestElementModules; ++w) {
            ofModules[w] = shortLength(std::int64_t{w} * moduleWidth);
            longest = std::max(longest, ofModules[w].size);
        }
    }
};

// The matrix from symbol coordinates (pixels along the rows from the start
// pattern's edge, pixels across from row 0's edge) to the picture's, with
// y downward: the raster's placement (SymbolLayout's Placement::place),
// moved by half the clearance along both symbol axes so that the
// shortened bars keep clear of both of their edges.
void appendSymbolMatrix(std::string& out, const drawing::Placement& p) {
    std::int64_t a = 1, b = 0, c = 0, d = 1;
    std::int64_t tx = p.left;
    std::int64_t ty = p.top;
    switch (p.orientation) {
        case 90:  // start pattern at the bottom, rows rightward
            a = 0, b = -1, c = 1, d = 0;
            ty = std::int64_t{p.top} + p.height;
            break;
        case 180:  // start pattern on the right, rows upward
            a = -1, d = -1;
            tx = std::int64_t{p.left} + p.width;
            ty = std::int64_t{p.top} + p.height;
            break;
        case 270:  // start pattern at the top, rows leftward
            a = 0, b = 1, c = -1, d = 0;
            tx = std::int64_t{p.left} + p.width;
            break;
        default:
            break;
    }
    // Half the clearance, in hundredths: (a + c) and (b + d) are each 1 or
    // -1, the direction of the symbol's axes in the picture.
    constexpr std::int64_t kHalf = kClearanceHundredths / 2;
    const std::int64_t entries[] = {a, b, c, d};
    for (const std::int64_t entry : entries) {
        appendInteger(out, entry);
        out += ' ';
    }
    appendPdfFraction(out, tx * kHundredths + (a + c) * kHalf, kHundredths, 2);
    out += ' ';
    appendPdfFraction(out, ty * kHundredths + (b + d) * kHalf, kHundredths, 2);
    out += " cm\n";
}

// The bars of a run of elements (bar first) from `along`, as rectangles
// `thickness` (shortened) thick from 0 across.
void appendBars(std::string& out, const std::uint8_t* widths, std::int32_t count,
                std::int64_t along, std::int32_t moduleWidth, const BarLengths& bars,
                const ShortLength& thickness) {
    for (std::int32_t k = 0; k < count; ++k) {
        const std::int64_t length = std::int64_t{widths[k]} * moduleWidth;
        if (k % 2 == 0) {
            appendInteger(out, along);
            out += " 0 ";
            const ShortLength& bar = bars.ofModules[widths[k]];
            out.append(bar.text, bar.size);
            out += ' ';
            out.append(thickness.text, thickness.size);
            out += " re\n";
        }
        along += length;
    }
}

void appendStartStop(std::string& out, const EncodedSymbol& symbol, const SymbolLayout& layout,
                     const BarLengths& bars) {
    const std::int32_t m = layout.fit.moduleWidth;
    const ShortLength allRows = shortLength(std::int64_t{symbol.rows} * layout.fit.rowHeight);
    appendBars(out, kStartPattern, drawing::kStartPatternWalked, 0, m, bars, allRows);
    const std::int64_t stopAlong = std::int64_t{kModulesPerCodeword} * m *
                                   (1 + symbol.matrix.elementsPerRow / kElementsPerCodeword);
    const drawing::StopPattern stop = drawing::stopPatternOf(symbol.compact);
    appendBars(out, stop.widths, stop.elements, stopAlong, m, bars, allRows);
    out += "f\n";
}

char* put(char* out, const char* text, std::size_t size) {
    std::memcpy(out, text, size);
    return out + size;
}

template <std::size_t N>
char* put(char* out, const char (&text)[N]) {
    return put(out, text, N - 1);
}

char* put(char* out, const ShortLength& length) { return put(out, length.text, length.size); }

char* putInteger(char* out, std::int64_t value) {
    return std::to_chars(out, out + kMaxIntegerChars, value).ptr;
}

std::size_t decimalDigits(std::int64_t value) {
    std::size_t digits = 1;
    for (; value >= 10; value /= 10) {
        ++digits;
    }
    return digits;
}

// Each row in a frame of its own, one unit tall, so that its bars need
// neither its position nor its height: "x 0 width 1 re". Written through a
// pointer into a row's buffer, as long as a row can be with these numbers
// (a row's bars are most of a file, and appending them one piece at a time
// took three times as long; room made in the string itself is zeroed
// first, which cost as much again).
void appendRows(std::string& out, const EncodedSymbol& symbol, const SymbolLayout& layout,
                const BarLengths& bars) {
    const std::int32_t m = layout.fit.moduleWidth;
    const std::int32_t rowHeight = layout.fit.rowHeight;
    const ShortLength height = shortLength(rowHeight);
    const std::size_t barsPerRow = static_cast<std::size_t>(symbol.matrix.elementsPerRow) / 2;
    // Every bar starts before the stop pattern, and every row below the
    // last row's edge. A bar's length is copied whole, its buffer and all.
    const std::int64_t rowLength = std::int64_t{kModulesPerCodeword} * m *
                                   (1 + symbol.matrix.elementsPerRow / kElementsPerCodeword);
    const std::size_t rowBytes =
        32 + height.size + decimalDigits(std::int64_t{symbol.rows} * rowHeight) +
        barsPerRow * (decimalDigits(rowLength) + bars.longest + sizeof " 0 " + sizeof " 1 re\n") +
        sizeof(ShortLength::text);
    const std::unique_ptr<char[]> row(new char[rowBytes]);
    for (std::int32_t i = 0; i < symbol.rows; ++i) {
        char* p = row.get();
        p = put(p, "q 1 0 0 ");
        p = put(p, height);
        p = put(p, " 0 ");
        p = putInteger(p, std::int64_t{i} * rowHeight);
        p = put(p, " cm\n");
        const std::uint8_t* widths = symbol.matrix.row(i);
        std::int64_t along = std::int64_t{kModulesPerCodeword} * m;
        for (std::int32_t j = 0; j < symbol.matrix.elementsPerRow; j += 2) {
            p = putInteger(p, along);
            p = put(p, " 0 ");
            const ShortLength& bar = bars.ofModules[widths[j]];
            std::memcpy(p, bar.text, sizeof bar.text);  // a fixed size: no call
            p = put(p + bar.size, " 1 re\n");
            along += std::int64_t{widths[j] + widths[j + 1]} * m;
        }
        p = put(p, "f Q\n");
        out.append(row.get(), static_cast<std::size_t>(p - row.get()));
    }
}

// "r g b rg" (fill) for a colour, each part exact to 1/255.
void appendPdfFillColor(std::string& out, Color color) {
    for (int shift = 16; shift >= 0; shift -= 8) {
        appendPdfFraction(out, (color >> shift) & 0xFF, kColorSteps, kColorDecimals);
        out += ' ';
    }
    out += "rg\n";
}

}  // namespace

void appendPdfFraction(std::string& out, std::int64_t numerator, std::int64_t denominator,
                       int maxDecimals) {
    if (numerator < 0) {
        out += '-';
        numerator = -numerator;
    }
    appendInteger(out, numerator / denominator);
    std::int64_t remainder = numerator % denominator;
    char digits[32];
    int count = 0;
    for (; count < maxDecimals && count < static_cast<int>(sizeof digits) && remainder != 0;
         ++count) {
        remainder *= 10;
        digits[count] = static_cast<char>('0' + remainder / denominator);
        remainder %= denominator;
    }
    while (count > 0 && digits[count - 1] == '0') {
        --count;
    }
    if (count > 0) {
        out += '.';
        out.append(digits, static_cast<std::size_t>(count));
    }
}

void appendPixelScale(std::string& out, std::int32_t dpi) {
    // Exact to 18 decimals: the bars' edges land on the page's pixels at
    // any dpi.
    appendPdfFraction(out, kPointsPerInch, dpi, 18);
}

int pointDecimals(std::int32_t dpi) {
    int digits = 1;
    for (std::int32_t rest = dpi; rest >= 10; rest /= 10) {
        ++digits;
    }
    return digits + 3;
}

void appendPdfPicture(std::string& out, const EncodedSymbol& symbol, const PictureSettings& picture,
                      const VectorPicture& vector) {
    // About twenty bytes a bar, half the elements bars.
    out.reserve(out.size() + 256 +
                static_cast<std::size_t>(symbol.rows) *
                    (32 + 10 * static_cast<std::size_t>(symbol.matrix.elementsPerRow)));
    out += "q\n";
    appendPdfFillColor(out, picture.background);
    appendPictureBox(out, vector);
    out += " re f\n";
    appendPdfFillColor(out, picture.foreground);
    appendSymbolMatrix(out, vector.layout.placement);
    const BarLengths bars(vector.layout.fit.moduleWidth);
    appendStartStop(out, symbol, vector.layout, bars);
    appendRows(out, symbol, vector.layout, bars);
    out += "Q\n";
}

}  // namespace barwright
