#include "options/SheetOptions.h"

#include <cmath>

#include "options/Conversions.h"

namespace barwright {

namespace {

constexpr double kLeastPaperMm = 1.0;

// The two parts of "AxB" (x or X); false when there is no x.
bool splitPair(std::string_view text, std::string_view& first, std::string_view& second) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return false;
    }
    first = text.substr(0, x);
    second = text.substr(x + 1);
    return true;
}

// An unsigned decimal number within least..most.
bool readLength(std::string_view text, double least, double most, double& mm) {
    if (text.empty() || text.front() == '+' || text.front() == '-' || !isWholeReal(text)) {
        return false;
    }
    const double value = readDecimalReal(text);
    if (!std::isfinite(value) || value < least || value > most) {
        return false;
    }
    mm = value;
    return true;
}

}  // namespace

bool readPaperSize(std::string_view text, double& widthMm, double& heightMm) {
    if (equalsIgnoringCase(text, "a4")) {
        widthMm = kA4WidthMm;
        heightMm = kA4HeightMm;
        return true;
    }
    if (equalsIgnoringCase(text, "letter")) {
        widthMm = kLetterWidthMm;
        heightMm = kLetterHeightMm;
        return true;
    }
    std::string_view width;
    std::string_view height;
    double w = 0.0;
    double h = 0.0;
    if (!splitPair(text, width, height) || !readLength(width, kLeastPaperMm, kMaxPaperMm, w) ||
        !readLength(height, kLeastPaperMm, kMaxPaperMm, h)) {
        return false;
    }
    widthMm = w;
    heightMm = h;
    return true;
}

bool readGrid(std::string_view text, std::int32_t& columns, std::int32_t& rows) {
    std::string_view across;
    std::string_view down;
    std::int32_t c = 0;
    std::int32_t r = 0;
    if (!splitPair(text, across, down) || !readCount(across, 1, kMaxGridSide, c) ||
        !readCount(down, 1, kMaxGridSide, r)) {
        return false;
    }
    columns = c;
    rows = r;
    return true;
}

bool readMillimetres(std::string_view text, double& mm) {
    return readLength(text, 0.0, kMaxPaperMm, mm);
}

}  // namespace barwright
