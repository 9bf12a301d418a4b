// Every picture of a symbol is refused when its bars differ from the
// background by less than a fifth of full scale in luma, the contrast below
// which ISO/IEC 15416 grades a symbol as failing; light bars on a dark
// ground are drawn when the contrast is there.
#include <gtest/gtest.h>

#include <string>

#include "barwright/BitImage.h"
#include "barwright/Encoder.h"
#include "barwright/barwright.h"
#include "barwright/RgbImage.h"

namespace barwright {
namespace {

struct ContrastCase {
    const char* name;
    Color bars;
    Color background;
    bool drawn;
};

const ContrastCase kContrastCases[] = {
    {"BlackOnWhite", 0x000000, 0xFFFFFF, true},
    {"WhiteOnBlack", 0xFFFFFF, 0x000000, true},
    // 51 steps of 255 in every channel: exactly 51,000.
    {"ExactlyAFifth", 0xCCCCCC, 0xFFFFFF, true},
    {"JustUnderAFifth", 0xCDCDCD, 0xFFFFFF, false},
    {"NavyOnNearBlack", 0x003366, 0x00000B, false},
    // Blue weighs least: 114 x 255 = 29,070.
    {"BlackOnBlue", 0x000000, 0x0000FF, false},
    {"RedOnGreen", 0xFF0000, 0x00FF00, true},
    {"EqualColours", 0x123456, 0x123456, false},
    // Only the low 24 bits are a colour.
    {"TopByteIgnored", 0xFF000000, 0xFFFFFF, true},
};

TEST(Contrast, TooLittleIsRefusedByEveryRenderer) {
    SymbolSettings settings;
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    for (const ContrastCase& c : kContrastCases) {
        SCOPED_TRACE(c.name);
        PictureSettings picture;
        picture.foreground = c.bars;
        picture.background = c.background;
        const Status expected = c.drawn ? status::kOk : status::kInvalidArgument;
        EXPECT_EQ(hasReadableContrast(c.bars, c.background), c.drawn);
        EXPECT_EQ(checkPicture(picture), expected);
        RgbImage rgb;
        EXPECT_EQ(renderRgb(symbol, picture, rgb), expected);
        BitImage bits;
        EXPECT_EQ(renderBits(symbol, picture, bits), expected);
        std::string vector;
        EXPECT_EQ(renderSvg(symbol, picture, 0, vector), expected);
        EXPECT_EQ(renderEps(symbol, picture, 0, vector), expected);
    }
}

}  // namespace
}  // namespace barwright
