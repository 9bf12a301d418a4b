#pragma once

#include <cstdint>

namespace barwright {

// A colour as 0xRRGGBB, red in the high byte as on the command line; the top
// byte is ignored.
using Color = std::uint32_t;
constexpr Color kColorBits = 0xFFFFFF;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;

// The luma of a colour's difference from another, in thousandths of a
// channel step (ITU-R BT.601 weights 299, 587, 114), as a magnitude:
// 0..255000.
constexpr std::int32_t lumaDifference(Color a, Color b) {
    const auto channel = [](Color colour, int shift) {
        return static_cast<std::int32_t>((colour >> shift) & 0xFF);
    };
    const std::int32_t difference = 299 * (channel(a, 16) - channel(b, 16)) +
                                    587 * (channel(a, 8) - channel(b, 8)) +
                                    114 * (channel(a, 0) - channel(b, 0));
    return difference < 0 ? -difference : difference;
}

// Bars and background must differ in luma by a fifth of full scale at least:
// below that ISO/IEC 15416 grades a symbol's contrast as failing, and readers
// find nothing in the picture. Light bars on a dark ground pass as well when
// the difference is there (readers that try inverted symbols read them).
constexpr std::int32_t kMinLumaDifference = 51000;  // 20 % of 255000
constexpr bool hasReadableContrast(Color bars, Color background) {
    return lumaDifference(bars, background) >= kMinLumaDifference;
}

// Alignment of the symbol inside spare room.
constexpr std::int32_t kAlignStart = 0;   // left or top
constexpr std::int32_t kAlignCentre = 1;  // an odd spare pixel goes to the right or bottom
constexpr std::int32_t kAlignEnd = 2;     // right or bottom

// The orientations a symbol can be drawn in, degrees counter-clockwise.
constexpr bool isOrientation(std::int32_t degrees) {
    return degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

constexpr bool isAlignment(std::int32_t align) {
    return align >= kAlignStart && align <= kAlignEnd;
}

// The largest resolution (pixels per inch) that a picture may record. A PNG
// stores it as pixels per metre in 31 bits, which ends near 54.5 million;
// a million (25 nm a pixel) is past any printer and keeps every format's
// limit the same.
constexpr std::int32_t kMaxDpi = 1000000;

// Everything that decides how an encoded symbol is drawn; none of it
// changes the codewords. The defaults draw the picture that barwright draws
// without picture options.
struct PictureSettings {
    // Module width in pixels (rounded half up, at least 1 after rounding),
    // used when the image is sized to the symbol.
    double moduleWidth = 2.0;
    // 0 and 0: the image is exactly as large as the symbol needs at
    // moduleWidth. Otherwise both > 0: the image size, into which the
    // symbol is fitted with the largest whole-pixel module.
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    double yToXRatio = 4.0;        // row height in module widths, > 0
    std::int32_t orientation = 0;  // degrees counter-clockwise: 0, 90, 180 or 270
    bool quietZone = true;         // two modules of background on every side
    std::int32_t alignH = kAlignCentre;
    std::int32_t alignV = kAlignCentre;
    Color background = kWhite;
    Color foreground = kBlack;  // with hasReadableContrast against the background
};

}  // namespace barwright
