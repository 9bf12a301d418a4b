// Label sheets: every record's symbol read back by zxing-cpp from its own
// grid cell of the pages rendered at 300 dpi, in order, a failed record's
// cell empty; the captions found by pdftotext; the file checked by qpdf and
// rendered by Ghostscript; pages written as they complete; refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "barwright/Encoder.h"
#include "barwright/LabelSheetWriter.h"
#include "cli/RunProgram.h"
#include "support/Raster.h"
#include "support/Renderers.h"

namespace barwright {
namespace {

using test::Raster;

constexpr std::int32_t kDpi = 300;

EncodedSymbol symbolOf(const std::string& data) {
    SymbolSettings settings;
    settings.data = data;
    settings.columns = 3;
    settings.rows = 12;  // every label the same size
    EncodedSymbol symbol;
    EXPECT_EQ(encode(settings, symbol), status::kOk);
    return symbol;
}

std::int32_t pixelsOfMm(double mm) { return static_cast<std::int32_t>(mm / 25.4 * kDpi); }

TEST(LabelSheet, EveryRecordReadsBackFromItsCellInOrder) {
    // Record 4 failed: its cell stays empty. The captions carry PDF string
    // delimiters, Western European letters and a character the standard
    // font's encoding lacks.
    const int kRecords = 11;
    const int kFailed = 4;
    SheetSettings settings;
    settings.paperWidthMm = 120;
    settings.paperHeightMm = 80;
    settings.captions = true;
    settings.pdf.dpi = kDpi;
    PictureSettings picture;
    picture.moduleWidth = 3;
    test::TemporaryDirectory directory;
    const auto path = directory.path() / "sheet.pdf";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    LabelSheetWriter writer;
    ASSERT_EQ(writer.open(settings, file), status::kOk);
    std::string captions;
    for (int i = 0; i < kRecords; ++i) {
        if (i == kFailed) {
            ASSERT_EQ(writer.skip(), status::kOk);
            continue;
        }
        const std::string caption = "No " + std::to_string(i) + " (\\) Größe € ✓";
        ASSERT_EQ(writer.add(symbolOf("Record " + std::to_string(i)), picture, caption),
                  status::kOk);
        captions += "No " + std::to_string(i) + " (\\) Größe € ? ";
    }
    ASSERT_EQ(writer.finish(), status::kOk);
    ASSERT_EQ(std::fclose(file), 0);
    // 2 x 2 labels of 46 x 20 mm (the caption line included) fit 100 x 60
    // mm, so the 11 cells take three pages.
    ASSERT_EQ(writer.columns(), 2);
    ASSERT_EQ(writer.rows(), 2);
    EXPECT_EQ(writer.pagesWritten(), 3);
    EXPECT_EQ(test::qpdfProblems(path), "");

    const std::vector<Raster> pages = test::renderedPages(path, kDpi, false);
    ASSERT_EQ(pages.size(), 3u);
    const std::int32_t cells = writer.columns() * writer.rows();
    for (int i = 0; i < kRecords; ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        const std::int32_t cell = i % cells;
        const double left = 10 + (cell % writer.columns()) * (writer.cellWidthMm() + 5);
        const double top = 10 + (cell / writer.columns()) * (writer.cellHeightMm() + 5);
        const Raster part = pages[static_cast<std::size_t>(i / cells)].cropped(
            pixelsOfMm(left), pixelsOfMm(top), pixelsOfMm(writer.cellWidthMm()),
            pixelsOfMm(writer.cellHeightMm()));
        bool found = false;
        const std::string data = test::decodedData(part, found);
        EXPECT_EQ(found, i != kFailed) << data;
        if (i != kFailed) {
            EXPECT_EQ(data, "Record " + std::to_string(i));
        }
    }

    // In the order drawn, row after row.
    EXPECT_EQ(test::pdfWords(path), captions);

    EXPECT_EQ(test::renderedPages(path, kDpi, true).size(), 3u);
}

// Each page reaches the file when its last cell is filled, not before.
TEST(LabelSheet, PagesAreWrittenAsTheyComplete) {
    SheetSettings settings;
    settings.columns = 2;
    settings.rows = 1;
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    LabelSheetWriter writer;
    ASSERT_EQ(writer.open(settings, file), status::kOk);
    const long header = std::ftell(file);
    EXPECT_GT(header, 0);
    const EncodedSymbol symbol = symbolOf("Streamed");
    ASSERT_EQ(writer.add(symbol, PictureSettings{}), status::kOk);
    EXPECT_EQ(std::ftell(file), header);
    ASSERT_EQ(writer.skip(), status::kOk);
    const long onePage = std::ftell(file);
    EXPECT_GT(onePage, header);
    EXPECT_EQ(writer.pagesWritten(), 1);
    ASSERT_EQ(writer.add(symbol, PictureSettings{}), status::kOk);
    EXPECT_EQ(std::ftell(file), onePage);
    ASSERT_EQ(writer.finish(), status::kOk);
    EXPECT_EQ(writer.pagesWritten(), 2);
    std::fclose(file);
}

TEST(LabelSheet, Refusals) {
    const EncodedSymbol symbol = symbolOf("Refused");  // 0.87 x 0.52 inch at 2 px a module
    struct Case {
        const char* name;
        double paperWidth, paperHeight, margin, gap;
        std::int32_t columns, rows;
        bool captions;
        const char* caption;
        Status open;
        Status add;  // the first label
    };
    const Case kCases[] = {
        {"ZeroPaper", 0, 297, 10, 5, 0, 0, false, "", status::kInvalidArgument, 0},
        {"PaperBeyond200Inches", 5081, 297, 10, 5, 0, 0, false, "", status::kInvalidArgument, 0},
        {"NaNGap", 210, 297, 10, std::nan(""), 0, 0, false, "", status::kInvalidArgument, 0},
        {"MarginFillsThePage", 210, 297, 105, 5, 0, 0, false, "", status::kInvalidArgument, 0},
        {"OnlyColumnsGiven", 210, 297, 10, 5, 3, 0, false, "", status::kInvalidArgument, 0},
        {"GapsLeaveNoCell", 210, 297, 10, 100, 3, 3, false, "", status::kInvalidArgument, 0},
        {"TooNarrowCells", 210, 297, 10, 5, 10, 2, false, "", status::kOk,
         status::kColumnsTooLarge},
        {"TooShortCells", 210, 297, 10, 5, 2, 30, false, "", status::kOk, status::kRowsTooLarge},
        {"NothingFitsThePage", 30, 297, 10, 5, 0, 0, false, "", status::kOk,
         status::kColumnsTooLarge},
        {"CaptionWiderThanItsCell", 210, 297, 10, 5, 5, 2, true,
         "A caption far too long for a cell of a fifth of the page", status::kOk,
         status::kColumnsTooLarge},
        {"CaptionWithoutCaptions", 210, 297, 10, 5, 0, 0, false, "Caption", status::kOk,
         status::kInvalidArgument},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SheetSettings settings;
        settings.paperWidthMm = c.paperWidth;
        settings.paperHeightMm = c.paperHeight;
        settings.marginMm = c.margin;
        settings.gapMm = c.gap;
        settings.columns = c.columns;
        settings.rows = c.rows;
        settings.captions = c.captions;
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        LabelSheetWriter writer;
        EXPECT_EQ(writer.open(settings, file), c.open);
        if (c.open != status::kOk) {
            EXPECT_EQ(std::ftell(file), 0);  // nothing written
        } else {
            EXPECT_EQ(writer.add(symbol, PictureSettings{}, c.caption), c.add);
            // The refused label left its cell to the next call.
            EXPECT_EQ(writer.skip(), status::kOk);
            EXPECT_EQ(writer.finish(), status::kOk);
        }
        std::fclose(file);
    }

    // A full disk fails the document, and every call after it.
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    LabelSheetWriter writer;
    EXPECT_EQ(writer.open(SheetSettings{}, full), status::kCantCloseOutput);
    std::fclose(full);
}

}  // namespace
}  // namespace barwright
