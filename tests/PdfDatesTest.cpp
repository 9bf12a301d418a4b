// A symbol's PDF depends on nothing but the symbol, the settings and the
// time given. (Its pixels, drawn by poppler and Ghostscript, are checked
// with every other picture target in PictureTargetsTest.cpp.)

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "barwright/Encoder.h"
#include "barwright/PdfRenderer.h"

namespace barwright {
namespace {

// The same bytes on every run; dates only from a time given, in UTC
// whatever the local zone; a time no PDF date can hold refused.
TEST(PdfPicture, BytesDependOnTheGivenTimeAlone) {
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
