#pragma once

#include <cstdint>
#include <ostream>

#include "barwright/PictureSettings.h"
#include "barwright/SymbolSettings.h"

namespace barwright::test {

// A symbol and its picture as the tables of picture tests write them: the
// data and shape, then the picture settings, the fitted image size last
// (0 x 0: sized to the symbol).
struct SymbolCase {
    const char* name;
    const char* data;
    std::int32_t columns;
    bool compact;
    std::int32_t orientation;
    double moduleWidth;
    double ratio;  // row height in modules; odd ones put SVG lines on half pixels
    bool quietZone;
    Color foreground;
    Color background;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t alignH = kAlignCentre;
    std::int32_t alignV = kAlignCentre;

    SymbolSettings symbol() const {
        SymbolSettings settings;
        settings.data = data;
        settings.columns = columns;
        settings.compact = compact;
        return settings;
    }
    PictureSettings picture() const {
        PictureSettings settings;
        settings.orientation = orientation;
        settings.moduleWidth = moduleWidth;
        settings.yToXRatio = ratio;
        settings.quietZone = quietZone;
        settings.foreground = foreground;
        settings.background = background;
        settings.imageWidth = imageWidth;
        settings.imageHeight = imageHeight;
        settings.alignH = alignH;
        settings.alignV = alignV;
        return settings;
    }
};

// Test names show the case name, not the bytes of the case.
inline void PrintTo(const SymbolCase& c, std::ostream* out) { *out << c.name; }

}  // namespace barwright::test
