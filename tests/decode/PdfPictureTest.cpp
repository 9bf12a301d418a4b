// One symbol a PDF page: qpdf finds nothing wrong with the file, and both
// poppler (pdftoppm) and Ghostscript, rendering it at its resolution, give
// exactly renderRgb's pixels, which zxing-cpp reads back to the data. The
// bytes depend on nothing but the symbol, the settings and the time given.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "barwright/Encoder.h"
#include "barwright/Pdf.h"
#include "barwright/Render.h"
#include "cli/RunProgram.h"
#include "support/Raster.h"
#include "support/Renderers.h"

namespace barwright {
namespace {

using test::Raster;

struct PdfCase {
    const char* name;
    const char* data;
    std::int32_t columns;
    bool compact;
    std::int32_t orientation;
    double moduleWidth;
    double ratio;
    bool quietZone;
    Color foreground;
    Color background;
    std::int32_t dpi;  // 0: a pixel is a point, rendered at 72
    // zxing-cpp 1.4 finds neither 1-pixel modules nor light bars on a dark
    // ground; the pixels are still compared.
    bool decodable;
};

void PrintTo(const PdfCase& c, std::ostream* out) { *out << c.name; }

const char kInvoice[] = "Invoice 2024-0042: 3 x widget @ 19.99 EUR, due 2025-01-31";

const PdfCase kCases[] = {
    {"Upright", "Hello 123", 3, false, 0, 2, 4, true, 0x000000, 0xFFFFFF, 0, true},
    {"Turned90Coloured", kInvoice, 5, false, 90, 2, 3, true, 0x8B0000, 0xE0FFFF, 0, true},
    {"Turned180At300Dpi", kInvoice, 6, false, 180, 3, 4, true, 0x000000, 0xFFFFFF, 300, true},
    {"Turned270CompactNoQuietZone", kInvoice, 4, true, 270, 2, 4, false, 0x000000, 0xFFFF00, 0,
     true},
    {"CompactAt300DpiOddRows", kInvoice, 3, true, 0, 4, 1.7, true, 0x003300, 0xF0F0F0, 300, true},
    {"OnePixelModulesAt72Dpi", "ABCDEFGHIJKLMNOP", 8, false, 0, 1, 3, true, 0x000000, 0xFFFFFF,
     72, false},
    {"LightBarsOnDarkAt203Dpi", "Inverted", 3, false, 90, 2, 4, true, 0xFFFFFF, 0x000000, 203,
     false},
};

class PdfPictures : public testing::TestWithParam<PdfCase> {};

TEST_P(PdfPictures, RenderersGiveTheRastersPixels) {
    const PdfCase& c = GetParam();
    SymbolSettings settings;
    settings.data = c.data;
    settings.columns = c.columns;
    settings.compact = c.compact;
    PictureSettings picture;
    picture.orientation = c.orientation;
    picture.moduleWidth = c.moduleWidth;
    picture.yToXRatio = c.ratio;
    picture.quietZone = c.quietZone;
    picture.foreground = c.foreground;
    picture.background = c.background;
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    RgbImage rgb;
    ASSERT_EQ(renderRgb(symbol, picture, rgb), status::kOk);
    PdfOptions options;
    options.dpi = c.dpi;
    std::string pdf;
    ASSERT_EQ(renderPdf(symbol, picture, options, pdf), status::kOk);

    test::TemporaryDirectory directory;
    const auto path = directory.path() / "symbol.pdf";
    test::writeFile(path, pdf);
    EXPECT_EQ(test::qpdfProblems(path), "");
    for (const bool ghostscript : {false, true}) {
        SCOPED_TRACE(ghostscript ? "Ghostscript" : "pdftoppm");
        const std::vector<Raster> pages =
            test::renderedPages(path, c.dpi == 0 ? 72 : c.dpi, ghostscript);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(test::firstDifference(test::rasterOf(rgb), pages[0]), "");
        if (c.decodable) {
            bool found = false;
            EXPECT_EQ(test::decodedData(pages[0], found), c.data);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Symbols, PdfPictures, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PdfCase>& info) {
                             return std::string(info.param.name);
                         });

// The same bytes on every run; dates only from a time given, in UTC
// whatever the local zone; a time no PDF date can hold refused.
TEST(PdfPictures, BytesDependOnTheGivenTimeAlone) {
    ::setenv("TZ", "America/St_Johns", 1);  // UTC-3:30, with summer time
    ::tzset();
    SymbolSettings settings;
    settings.data = "Reproducible";
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    PdfOptions options;
    std::string first;
    std::string second;
    ASSERT_EQ(renderPdf(symbol, PictureSettings{}, options, first), status::kOk);
    ASSERT_EQ(renderPdf(symbol, PictureSettings{}, options, second), status::kOk);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.find("Date"), std::string::npos);

    options.timeGiven = true;
    options.time = 1709209496;  // 2024-02-29 12:24:56 UTC
    ASSERT_EQ(renderPdf(symbol, PictureSettings{}, options, second), status::kOk);
    EXPECT_NE(second.find("/CreationDate(D:20240229122456Z)/ModDate(D:20240229122456Z)"),
              std::string::npos);

    options.time = 253402300800;  // 10000-01-01
    EXPECT_EQ(renderPdf(symbol, PictureSettings{}, options, second), status::kInvalidArgument);
    EXPECT_EQ(second, "");
    ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
}  // namespace barwright
