#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Rect.h"
#include "barwright/Status.h"

namespace barwright {

// The pixel arithmetic of a symbol, on its shape alone so that it can be
// checked on any shape.
namespace geometry {

// Every codeword, the start pattern and the row indicators are 17 modules
// wide (kModulesPerCodeword); the full stop pattern is 18, the compact one 1.
constexpr std::int32_t kFullOverheadModules = 69;     // start, two indicators, stop
constexpr std::int32_t kCompactOverheadModules = 35;  // start, left indicator, stop bar
// The quiet zone is 2 modules on every side, so a dimension grows by 4.
constexpr std::int32_t kQuietZoneModules = 2;

// Unit codes of computeImageSize.
constexpr std::int32_t kUnitThousandthsOfInch = 0;
constexpr std::int32_t kUnitInches = 1;
constexpr std::int32_t kUnitMillimetres = 2;
constexpr std::int32_t kUnitPixels = 3;

// What the geometry reads from an encoded symbol and its picture settings.
struct SymbolShape {
    std::int32_t columns = 0;      // data columns, 1..30 in a symbol that was made
    std::int32_t rows = 0;         // 3..90 in a symbol that was made
    bool compact = false;          // one-bar stop, no right row indicator
    bool quietZone = true;         // 2 modules kept free on every side
    std::int32_t orientation = 0;  // degrees; 90 and 270 run the rows vertically
    double yToXRatio = 4.0;        // row height in module widths; 0 has a meaning of its own
};

SymbolShape shapeOf(const EncodedSymbol& symbol, const PictureSettings& picture);

// True for 90 and 270 degrees; any other value is drawn upright like 0.
bool isTurned(std::int32_t orientation);

// 17c + 69 for a full symbol, 17c + 35 for a compact one.
std::int64_t symbolWidthModules(std::int32_t columns, bool compact);

// The symbol's horizontal and vertical extent in pixels for module width m
// and row height h (quiet zone not included).
struct Extent {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
Extent symbolExtent(const SymbolShape& shape, std::int64_t moduleWidth, std::int64_t rowHeight);

// The integer part of x, plus 1 when the fractional part is 0.5 or more
// (rounding to nearest, halves upward, for the non-negative values used
// here). Kept in double so that callers can range-check before converting.
double roundHalfUp(double x);

// The image that holds the symbol at module width xDimension (given in
// inputUnit, see the unit codes; resolutions in dots per inch), written in
// outputUnit. kInvalidArgument for an unknown unit, a resolution below 1, a module
// width or row height below one pixel, or a module width, row height or
// image extent that does not fit in a signed 32-bit pixel count. width and
// height are 0 unless the status is 0.
[[nodiscard]] Status computeImageSize(const SymbolShape& shape, double xDimension,
                                      std::int32_t resolutionH, std::int32_t resolutionV,
                                      std::int32_t inputUnit, std::int32_t outputUnit,
                                      double& width, double& height);

// How a symbol fits into an image rectangle.
struct Fit {
    std::int32_t moduleWidth = 0;  // m, pixels
    std::int32_t rowHeight = 0;    // h, pixels
    Rect area;                     // the rectangle inside the quiet zone
};

// Largest whole-pixel module width for the rectangle, the row height and
// the drawing area. kColumnsOutOfRange for columns outside 1..30,
// kRowsOutOfRange for rows outside 3..90 (a symbol that was not made),
// kColumnsTooLarge when not even a 1-pixel module fits along the rows,
// kRowsTooLarge when the rows do not fit across or a row would be less than
// one pixel or more than int32 pixels tall. The fields are filled before the last checks; use them
// only when the status is 0.
[[nodiscard]] Status fitToImage(const SymbolShape& shape, const Rect& image, Fit& fit);

}  // namespace geometry
}  // namespace barwright
