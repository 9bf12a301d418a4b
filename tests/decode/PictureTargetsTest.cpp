// Every picture target against the 24-bit raster: the 1-bit raster and its
// PNG must hold the same pixels, the SVG, the EPS and the PDF, drawn by real
// renderers (rsvg-convert, Ghostscript, poppler's pdftoppm) at their
// recorded resolution, the very same pixels, which zxing-cpp then reads back
// to the data; the module grid and the text must list the modules that the
// upright raster shows. rsvg-convert, Ghostscript and pdftoppm are required
// test dependencies like the decoder: a missing one fails the test, it never
// skips it.

#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/BitRenderer.h"
#include "barwright/Encoder.h"
#include "barwright/EpsRenderer.h"
#include "barwright/ModuleGrid.h"
#include "barwright/PdfRenderer.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbRenderer.h"
#include "barwright/SvgRenderer.h"
#include "barwright/TextRenderer.h"
#include "cli/RunProgram.h"
#include "support/PngImage.h"
#include "support/Raster.h"
#include "support/Renderers.h"
#include "support/SymbolCase.h"

namespace barwright {
namespace {

using test::decodedData;
using test::firstDifference;
using test::Raster;
using test::rasterOf;
using test::readFile;
using test::requiredProgram;
using test::runProgram;
using test::TemporaryDirectory;
using test::writeFile;

// rsvg-convert's PNG. A renderer sizes its page in whole pixels rounded
// up, so a recorded size in inches can give a sliver more; the picture is
// its top-left part and the sliver must be left transparent.
std::string readRsvgPng(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
                        Raster& raster) {
    const test::PngImage image = test::readPngFile(path);
    if (!image.valid) {
        return "unreadable PNG: " + image.error;
    }
    const auto pageWidth = static_cast<std::int32_t>(image.width);
    const auto pageHeight = static_cast<std::int32_t>(image.height);
    if (pageWidth < width || pageHeight < height || pageWidth > width + 1 ||
        pageHeight > height + 1) {
        return "page " + std::to_string(pageWidth) + "x" + std::to_string(pageHeight);
    }
    raster = Raster{width, height, {}};
    for (std::int32_t y = 0; y < pageHeight; ++y) {
        for (std::int32_t x = 0; x < pageWidth; ++x) {
            const std::size_t pixel = static_cast<std::size_t>(y) * pageWidth + x;
            const std::uint8_t alpha = image.alpha[pixel];
            if (x < width && y < height) {
                if (alpha != 0xFF) {
                    return "translucent pixel inside the picture";
                }
                const auto rgb = image.pixels.begin() + static_cast<std::ptrdiff_t>(pixel * 3);
                raster.rgb.insert(raster.rgb.end(), rgb, rgb + 3);
            } else if (alpha != 0) {
                return "paint outside the picture";
            }
        }
    }
    return "";
}

// Ghostscript's raw PPM. The EPS is drawn from the origin, the bottom-left
// corner of its bounding box, which is rounded outward to whole points: the
// picture is the bottom-left part of the page, and the rest stays white.
std::string readGhostscriptPpm(const std::filesystem::path& path, std::int32_t width,
                               std::int32_t height, Raster& raster) {
    Raster page;
    if (!test::readPpm(readFile(path), page) || page.width < width || page.height < height) {
        return "not a page of at least " + std::to_string(width) + "x" + std::to_string(height);
    }
    const std::int32_t top = page.height - height;
    for (std::int32_t y = 0; y < page.height; ++y) {
        for (std::int32_t x = 0; x < page.width; ++x) {
            if ((x >= width || y < top) && page.at(x, y) != 0xFFFFFF) {
                return "paint outside the picture";
            }
        }
    }
    raster = page.cropped(0, top, width, height);
    return "";
}

// A 1-bit PNG: what is wrong with it ("" for nothing), and its pixels
// through its palette. It must hold the two colours, background first, and
// pHYs exactly when a resolution is given.
std::string readPalettePng(std::FILE* file, std::int32_t dpi, Raster& raster) {
    std::rewind(file);
    std::string bytes;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        bytes += static_cast<char>(c);
    }
    const test::PngImage image = test::readPngBytes(bytes);
    std::ostringstream wrong;
    if (!image.valid) {
        wrong << "libpng could not read it: " << image.error;
    } else if (image.bitDepth != 1 || image.colourType != PNG_COLOR_TYPE_PALETTE ||
               image.palette.size() != 2) {
        wrong << "not a 1-bit image with a palette of two";
    } else if (image.hasResolution != (dpi > 0)) {
        wrong << "pHYs present: " << image.hasResolution;
    } else if (dpi > 0 && (image.pixelsPerUnitX != static_cast<std::uint32_t>(dpi / 0.0254 + 0.5) ||
                           image.pixelsPerUnitY != image.pixelsPerUnitX ||
                           image.resolutionUnit != PNG_RESOLUTION_METER)) {
        wrong << "pHYs " << image.pixelsPerUnitX << " " << image.pixelsPerUnitY << " "
              << image.resolutionUnit << " for " << dpi << " dpi";
    } else {
        raster = Raster{static_cast<std::int32_t>(image.width),
                        static_cast<std::int32_t>(image.height), image.pixels};
    }
    return wrong.str();
}

// A picture and the resolution its files record. zxing-cpp 1.4 finds
// neither 1-pixel modules nor light bars on a dark ground; the pixels are
// still compared.
struct TargetCase {
    test::SymbolCase symbol;
    std::int32_t dpi;
    bool decodable;
};

void PrintTo(const TargetCase& c, std::ostream* out) { *out << c.symbol.name; }

constexpr Color kInk = 0x000000;
constexpr Color kPaper = 0xFFFFFF;
const char kInvoice[] = "Invoice 2024-0042: 3 x widget @ 19.99 EUR, due 2025-01-31";

const TargetCase kCases[] = {
    {{"Upright", "Hello 123", 3, false, 0, 2, 4, true, kInk, kPaper, 0, 0, 1, 1}, 0, true},
    {{"Turned90", kInvoice, 6, false, 90, 2, 4, true, kInk, kPaper, 0, 0, 1, 1}, 0, true},
    {{"Turned180Coloured", kInvoice, 5, false, 180, 3, 3, true, 0x8B0000, 0xE0FFFF, 0, 0, 1, 1},
     0,
     true},
    {{"Turned270CompactNoQuietZone", kInvoice, 4, true, 270, 2, 4, false, kInk, kPaper, 0, 0, 1, 1},
     0,
     true},
    {{"OnePixelModules", "ABCDEFGHIJKLMNOP", 8, false, 0, 1, 3, true, kInk, kPaper, 0, 0, 1, 1},
     0,
     false},
    {{"OddRowHeightTurned90", kInvoice, 3, false, 90, 3, 1.7, true, 0x102030, 0xFFFFF0, 0, 0, 1, 1},
     0,
     true},
    {{"FittedAtBottomRight", "1234567890123", 2, false, 0, 2, 4, true, kInk, kPaper, 500, 261, 2,
      2},
     0,
     true},
    {{"FittedCentredTurned270", kInvoice, 4, true, 270, 2, 3, true, kInk, kPaper, 301, 777, 1, 1},
     0,
     true},
    {{"FittedTopLeftTurned180", "PDF417", 1, false, 180, 2, 5, false, kInk, 0xFFFF00, 333, 200, 0,
      0},
     0,
     true},
    {{"LightBarsOnDark", "Inverted", 3, false, 0, 2, 4, true, kPaper, kInk, 0, 0, 1, 1}, 0, false},
    {{"At300Dpi", kInvoice, 6, false, 0, 2, 4, true, kInk, kPaper, 0, 0, 1, 1}, 300, true},
    {{"At203DpiCompactTurned90", kInvoice, 3, true, 90, 3, 3, true, 0x003300, 0xF0F0F0, 0, 0, 1, 1},
     203,
     true},
    {{"At600DpiFittedTurned180", "1234567", 3, false, 180, 1, 4, true, kInk, kPaper, 400, 123, 2,
      0},
     600,
     true},
    {{"At7DpiTurned270", "Seven", 2, false, 270, 2, 2, true, kInk, kPaper, 0, 0, 1, 1}, 7, true},
};

class PictureTargets : public testing::TestWithParam<TargetCase> {};

TEST_P(PictureTargets, EveryTargetGivesTheRasterPixels) {
    const TargetCase& c = GetParam();
    const SymbolSettings settings = c.symbol.symbol();
    const PictureSettings picture = c.symbol.picture();
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    RgbImage rgb;
    ASSERT_EQ(renderRgb(symbol, picture, rgb), status::kOk);
    const Raster expected = rasterOf(rgb);

    // 1-bit raster: a bar exactly where the raster shows the foreground.
    BitImage bits;
    ASSERT_EQ(renderBits(symbol, picture, bits), status::kOk);
    ASSERT_EQ(bits.width(), expected.width);
    ASSERT_EQ(bits.height(), expected.height);
    std::int32_t wrongBits = 0;
    for (std::int32_t y = 0; y < expected.height; ++y) {
        for (std::int32_t x = 0; x < expected.width; ++x) {
            const bool bar = expected.at(x, y) == c.symbol.foreground;
            wrongBits += bits.bit(x, y) != bar ? 1 : 0;
        }
    }
    EXPECT_EQ(wrongBits, 0);

    // Its PNG, through a file.
    PngOptions options;
    options.dpi = c.dpi;
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(writePng(bits, options, file), status::kOk);
    Raster fromPng;
    const std::string pngProblem = readPalettePng(file, c.dpi, fromPng);
    std::fclose(file);
    ASSERT_EQ(pngProblem, "");
    EXPECT_EQ(firstDifference(expected, fromPng), "") << "1-bit PNG";

    // The vector pictures drawn by real renderers at their resolution.
    const std::string rsvgConvert =
        requiredProgram(BARWRIGHT_RSVG_CONVERT, "rsvg-convert", "librsvg2-bin");
    const std::string ghostscript = requiredProgram(BARWRIGHT_GHOSTSCRIPT, "gs", "ghostscript");
    ASSERT_FALSE(rsvgConvert.empty() || ghostscript.empty());
    const std::string resolution = std::to_string(c.dpi > 0 ? c.dpi : 72);
    TemporaryDirectory directory;

    std::string svg;
    ASSERT_EQ(renderSvg(symbol, picture, c.dpi, svg), status::kOk);
    writeFile(directory.path() / "picture.svg", svg);
    std::vector<std::string> rsvgArguments;
    if (c.dpi > 0) {
        rsvgArguments = {"--dpi-x", resolution, "--dpi-y", resolution};
    }
    rsvgArguments.insert(rsvgArguments.end(), {"-o", "svg.png", "picture.svg"});
    const test::ProgramRun rsvgRun = runProgram(rsvgConvert, rsvgArguments, directory.path());
    ASSERT_EQ(rsvgRun.exitStatus, 0) << rsvgRun.standardError;
    Raster fromSvg;
    ASSERT_EQ(readRsvgPng(directory.path() / "svg.png", expected.width, expected.height, fromSvg),
              "");
    EXPECT_EQ(firstDifference(expected, fromSvg), "") << "SVG";

    std::string eps;
    ASSERT_EQ(renderEps(symbol, picture, c.dpi, eps), status::kOk);
    writeFile(directory.path() / "picture.eps", eps);
    const test::ProgramRun gsRun =
        runProgram(ghostscript,
                   {"-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ppmraw", "-r" + resolution,
                    "-dEPSCrop", "-sOutputFile=eps.ppm", "picture.eps"},
                   directory.path());
    ASSERT_EQ(gsRun.exitStatus, 0) << gsRun.standardError << gsRun.standardOutput;
    EXPECT_EQ(gsRun.standardOutput + gsRun.standardError, "") << "Ghostscript complained";
    Raster fromEps;
    ASSERT_EQ(
        readGhostscriptPpm(directory.path() / "eps.ppm", expected.width, expected.height, fromEps),
        "");
    EXPECT_EQ(firstDifference(expected, fromEps), "") << "EPS";

    // The PDF: checked by qpdf, drawn by poppler and by Ghostscript.
    PdfOptions pdfOptions;
    pdfOptions.dpi = c.dpi;
    std::string pdf;
    ASSERT_EQ(renderPdf(symbol, picture, pdfOptions, pdf), status::kOk);
    const auto pdfPath = directory.path() / "picture.pdf";
    writeFile(pdfPath, pdf);
    EXPECT_EQ(test::qpdfProblems(pdfPath), "");
    const std::int32_t pdfDpi = c.dpi > 0 ? c.dpi : 72;
    const std::vector<Raster> pdfPages = test::renderedPages(pdfPath, pdfDpi, false);
    const std::vector<Raster> fromPdfByGhostscript = test::renderedPages(pdfPath, pdfDpi, true);
    ASSERT_EQ(pdfPages.size(), 1u);
    const Raster& fromPdf = pdfPages.front();
    ASSERT_EQ(fromPdfByGhostscript.size(), 1u);
    EXPECT_EQ(firstDifference(expected, fromPdf), "") << "PDF by pdftoppm";
    EXPECT_EQ(firstDifference(expected, fromPdfByGhostscript[0]), "") << "PDF by Ghostscript";

    if (c.decodable) {
        for (const Raster* drawn :
             std::initializer_list<const Raster*>{&fromSvg, &fromEps, &fromPdf}) {
            bool found = false;
            const std::string data = decodedData(*drawn, found);
            EXPECT_TRUE(found) << (drawn == &fromSvg   ? "SVG: "
                                   : drawn == &fromEps ? "EPS: "
                                                       : "PDF: ")
                               << data;
            EXPECT_EQ(data, c.symbol.data);
        }
    }

    // The module grid and the text: the upright symbol's modules without a
    // quiet zone, one pixel sampled in each module of each row.
    ModuleGrid grid;
    ASSERT_EQ(moduleGrid(symbol, grid), status::kOk);
    std::string text;
    ASSERT_EQ(renderText(symbol, text), status::kOk);
    PictureSettings upright = picture;
    upright.orientation = 0;
    upright.quietZone = false;
    upright.imageWidth = 0;
    upright.imageHeight = 0;
    RgbImage uprightImage;
    ASSERT_EQ(renderRgb(symbol, upright, uprightImage), status::kOk);
    const Raster modules = rasterOf(uprightImage);
    const auto m = static_cast<std::int32_t>(c.symbol.moduleWidth);
    const std::int32_t rowHeight = modules.height / symbol.rows;
    ASSERT_EQ(grid.width * m, modules.width);
    ASSERT_EQ(grid.height, symbol.rows);
    std::string sampled;
    std::int32_t wrongModules = 0;
    for (std::int32_t row = 0; row < symbol.rows; ++row) {
        for (std::int32_t x = 0; x < modules.width; x += m) {
            const bool bar = modules.at(x, row * rowHeight) == c.symbol.foreground;
            sampled += bar ? '1' : '0';
            wrongModules += grid.isBar(x / m, row) != bar ? 1 : 0;
        }
        sampled += '\n';
    }
    EXPECT_EQ(wrongModules, 0);
    EXPECT_EQ(text, sampled);
}

INSTANTIATE_TEST_SUITE_P(Symbols, PictureTargets, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<TargetCase>& info) {
                             return std::string(info.param.symbol.name);
                         });

// Pictures that cannot be made are refused by every target with the
// raster's status, and leave nothing behind.
TEST(PictureTargets, RefusalsAreTheRastersStatuses) {
    SymbolSettings settings;
    settings.data = "Refused";
    settings.columns = 4;
    EncodedSymbol symbol;
    ASSERT_EQ(encode(settings, symbol), status::kOk);
    struct Refusal {
        const char* name;
        std::int32_t orientation;
        double moduleWidth;
        std::int32_t imageWidth;
        std::int32_t imageHeight;
        Color foreground;
        std::int32_t dpi;
        Status expected;
    };
    constexpr std::int32_t kTooWide = RgbImage::kMaxDimension + 1;
    const Refusal kRefusals[] = {
        {"BadOrientation", 45, 2, 0, 0, kInk, 0, status::kInvalidArgument},
        {"BarsInTheBackgroundColour", 0, 2, 0, 0, kPaper, 0, status::kInvalidArgument},
        {"ModuleRoundsToNothing", 0, 0.4, 0, 0, kInk, 0, status::kInvalidArgument},
        {"TooNarrow", 0, 2, 100, 200, kInk, 0, status::kColumnsTooLarge},
        {"TooFewPixelsAcrossTheTurnedRows", 90, 2, 10, 400, kInk, 0, status::kRowsTooLarge},
        {"WiderThanAnyRaster", 0, 2, kTooWide, 100, kInk, 0, status::kCantAllocateImage},
        {"MorePixelsThanAnyRaster", 0, 2, 600000, 600000, kInk, 0, status::kCantAllocateImage},
        // A bad resolution is refused before anything else.
        {"NegativeDpi", 0, 2, kTooWide, 100, kInk, -1, status::kInvalidArgument},
        {"DpiAboveTheLimit", 0, 2, 0, 0, kInk, kMaxDpi + 1, status::kInvalidArgument},
    };
    for (const Refusal& r : kRefusals) {
        SCOPED_TRACE(r.name);
        PictureSettings picture;
        picture.orientation = r.orientation;
        picture.moduleWidth = r.moduleWidth;
        picture.imageWidth = r.imageWidth;
        picture.imageHeight = r.imageHeight;
        picture.foreground = r.foreground;
        if (r.dpi == 0) {
            RgbImage rgb;
            EXPECT_EQ(renderRgb(symbol, picture, rgb), r.expected);
            BitImage bits;
            EXPECT_EQ(renderBits(symbol, picture, bits), r.expected);
            EXPECT_TRUE(bits.empty());
        }
        std::string svg = "old";
        EXPECT_EQ(renderSvg(symbol, picture, r.dpi, svg), r.expected);
        EXPECT_EQ(svg, "");
        std::string eps = "old";
        EXPECT_EQ(renderEps(symbol, picture, r.dpi, eps), r.expected);
        EXPECT_EQ(eps, "");
        std::string pdf = "old";
        PdfOptions pdfOptions;
        pdfOptions.dpi = r.dpi;
        EXPECT_EQ(renderPdf(symbol, picture, pdfOptions, pdf), r.expected);
        EXPECT_EQ(pdf, "");
    }

    // A PNG cannot record a resolution beyond the limit either.
    RgbImage rgb;
    ASSERT_EQ(renderRgb(symbol, PictureSettings{}, rgb), status::kOk);
    BitImage bits;
    ASSERT_EQ(renderBits(symbol, PictureSettings{}, bits), status::kOk);
    PngOptions options;
    std::vector<std::uint8_t> png;
    for (const std::int32_t dpi : {-1, kMaxDpi + 1}) {
        options.dpi = dpi;
        EXPECT_EQ(writePng(rgb, options, png), status::kInvalidArgument);
        EXPECT_EQ(writePng(bits, options, png), status::kInvalidArgument);
        EXPECT_TRUE(png.empty());
    }

    // A symbol that is not whole has no modules to list.
    EncodedSymbol broken = symbol;
    broken.matrix.widths.pop_back();
    std::string text = "old";
    EXPECT_EQ(renderText(broken, text), status::kInvalidArgument);
    EXPECT_EQ(text, "");
    ModuleGrid grid;
    ASSERT_EQ(moduleGrid(symbol, grid), status::kOk);
    EXPECT_EQ(moduleGrid(broken, grid), status::kInvalidArgument);
    EXPECT_TRUE(grid.modules.empty());
    EXPECT_EQ(grid.width, 0);
}

}  // namespace
}  // namespace barwright
