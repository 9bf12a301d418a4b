// The label-sheet option values: named papers in any case, WxH in
// millimetres with x or X, grids of whole counts; anything else, or a value
// out of range, refused and nothing changed.
#include <gtest/gtest.h>

#include <string>

#include "options/SheetOptions.h"

namespace barwright {
namespace {

TEST(SheetOptions, PaperGridAndLengths) {
    const struct {
        const char* text;
        bool paper;  // taken by readPaperSize
        double width, height;
    } papers[] = {
        {"a4", true, 210, 297},
        {"A4", true, 210, 297},
        {"Letter", true, 215.9, 279.4},
        {"100x50", true, 100, 50},
        {"101.6X152.4", true, 101.6, 152.4},
        {"1e2x5080", true, 100, 5080},
        {"a5", false, 0, 0},
        {"100x", false, 0, 0},
        {"x100", false, 0, 0},
        {"100x50x3", false, 0, 0},
        {"+100x50", false, 0, 0},
        {"0.5x50", false, 0, 0},
        {"5081x10", false, 0, 0},
        {"100 x 50", false, 0, 0},
    };
    for (const auto& c : papers) {
        double width = -1;
        double height = -1;
        EXPECT_EQ(readPaperSize(c.text, width, height), c.paper) << c.text;
        EXPECT_EQ(width, c.paper ? c.width : -1) << c.text;
        EXPECT_EQ(height, c.paper ? c.height : -1) << c.text;
    }

    std::int32_t columns = -1;
    std::int32_t rows = -1;
    EXPECT_TRUE(readGrid("3x8", columns, rows));
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(rows, 8);
    for (const char* bad : {"0x8", "3x1001", "3", "3x8.0", "-3x8", "3x 8"}) {
        EXPECT_FALSE(readGrid(bad, columns, rows)) << bad;
    }
    EXPECT_EQ(columns, 3);

    double mm = -1;
    EXPECT_TRUE(readMillimetres("0", mm));
    EXPECT_EQ(mm, 0.0);
    EXPECT_TRUE(readMillimetres("2.5", mm));
    EXPECT_EQ(mm, 2.5);
    for (const char* bad : {"", "-1", "+1", "5080.1", "1mm", "inf", "nan"}) {
        EXPECT_FALSE(readMillimetres(bad, mm)) << bad;
    }
    EXPECT_EQ(mm, 2.5);
}

}  // namespace
}  // namespace barwright
