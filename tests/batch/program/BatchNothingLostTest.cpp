// The three ways new users lost data without a word, run exactly as they
// met them: a format that contradicted the files' names, colours that no
// reader can see, and tildes in CSV data. Each now keeps the data or
// refuses, naming why.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

std::string parcelName(int i) {
    return "parcel-" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".png";
}

// A shipping office's CSV export: 30 parcels, each with its PNG label's name.
std::string parcelsCsv() {
    std::string csv = "data,output\n";
    for (int i = 1; i <= 30; ++i) {
        csv += "PARCEL " + std::to_string(1000 + i) + " TO BERLIN," + parcelName(i) + "\n";
    }
    return csv;
}

// The labels were made; then SVGs were asked for by TEMPLATE alone. Each
// file keeps the format its name gives; asked for by --format, the
// contradicting files are refused and the labels keep their bytes.
TEST(BatchNothingLost, NoFileTakesAFormatItsNameContradicts) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "parcels.csv", parcelsCsv());
    ASSERT_EQ(
        runBatch({"--csv", "--input", "parcels.csv", "x-{n}.png"}, directory.path()).exitStatus, 0);
    const std::vector<std::uint8_t> firstLabel = readBytes(directory.path() / parcelName(1));

    const ProgramRun bySvgTemplate =
        runBatch({"--csv", "--input", "parcels.csv", "-n", "3", "--dpi", "300", "label-{n}.svg"},
                 directory.path());
    EXPECT_EQ(bySvgTemplate.exitStatus, 0) << bySvgTemplate.standardError;
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(decodedBytes(directory.path() / parcelName(i)),
                  "PARCEL " + std::to_string(1000 + i) + " TO BERLIN")
            << parcelName(i) << " is no PNG of its parcel";
    }
    const std::vector<std::uint8_t> relabelled = readBytes(directory.path() / parcelName(1));

    const ProgramRun byFormat = runBatch(
        {"--csv", "--input", "parcels.csv", "--format", "svg", "label-{n}.svg"}, directory.path());
    EXPECT_EQ(byFormat.exitStatus, 1);
    const std::string firstLine =
        "barwright-batch: row 1 (line 2): parcel-01.png: Error: Invalid argument. (--format svg, "
        "but the name asks for png)\n";
    EXPECT_EQ(byFormat.standardError.substr(0, firstLine.size()), firstLine);
    EXPECT_EQ(std::count(byFormat.standardError.begin(), byFormat.standardError.end(), '\n'), 30);
    EXPECT_EQ(readBytes(directory.path() / parcelName(1)), relabelled);
    EXPECT_NE(relabelled, firstLabel) << "-n 3 should have made a larger label";
    for (const std::string& name : directory.entries()) {
        EXPECT_EQ(name.find(".svg"), std::string::npos) << name;
    }
}

// "black" is b to barwright and "white" is nothing; a prefix read as black.
// barwright refuses what no reader could see; barwright-batch refuses the
// words and reads the prefixes.
TEST(BatchNothingLost, ColoursNoReaderSeesAreRefused) {
    TemporaryDirectory directory;
    const ProgramRun blackOnB =
        runBarwrightIn({"-d", "hello", "-b", "black", "out.png"}, directory.path());
    EXPECT_EQ(blackOnB.exitStatus, 1);
    EXPECT_EQ(blackOnB.standardError, "barwright Version 1.2\nError: Invalid argument.\n");
    const ProgramRun navyOnWhite =
        runBatch({"-d", "hello", "-f", "003366", "-b", "white", "out.png"}, directory.path());
    EXPECT_EQ(navyOnWhite.exitStatus, 64);
    EXPECT_TRUE(directory.entries().empty());

    for (const char* navy : {"#003366", "0x003366"}) {
        SCOPED_TRACE(navy);
        const ProgramRun run = runBatch({"-d", "hello", "-f", navy, "navy.png"}, directory.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        const PngImage image = readPngAsRgb(directory.path() / "navy.png");
        EXPECT_EQ(image.colours(), (std::set<Rgb>{Rgb{0x00, 0x33, 0x66}, Rgb{0xFF, 0xFF, 0xFF}}));
        EXPECT_EQ(decodedBytes(directory.path() / "navy.png"), "hello");
    }
    const ProgramRun dim =
        runBatch({"-d", "hello", "-f", "003366", "-b", "00000b", "dim.png"}, directory.path());
    EXPECT_EQ(dim.exitStatus, 1);
    EXPECT_EQ(dim.standardError,
              "barwright-batch: dim.png: Error: Invalid argument. (bars 003366 on 00000b differ in "
              "luma by 15 % of full scale; readers need 20 %)\n");
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "dim.png"));
}

// With --raw a CSV data cell is its bytes: a tilde is a tilde.
TEST(BatchNothingLost, RawCsvCellsKeepTheirTildes) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "people.csv",
              "data,output\nBob Smith~Tanner,bob.png\nC:~Temp~Notes,notes.png\n");
    const ProgramRun run =
        runBatch({"--raw", "--csv", "--input", "people.csv", "{n}.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(decodedBytes(directory.path() / "bob.png"), "Bob Smith~Tanner");
    EXPECT_EQ(decodedBytes(directory.path() / "notes.png"), "C:~Temp~Notes");
}

}  // namespace
}  // namespace barwright::test
