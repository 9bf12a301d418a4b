// Runs that encode a symbol: what the options do to the picture, the
// statuses that only arise after a successful encode, and the output file
// (created only after drawing, left alone when the run fails earlier).
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ExpectedText.h"
#include "cli/RunProgram.h"
#include "support/PngImage.h"

namespace barwright::test {
namespace {

constexpr Rgb kWhite = {0xFF, 0xFF, 0xFF};
constexpr Rgb kBlack = {0x00, 0x00, 0x00};

std::vector<std::string> withFileName(std::vector<std::string> arguments) {
    arguments.push_back("out.png");
    return arguments;
}

// Runs barwright with the arguments and "out.png" in a fresh folder and
// reads the picture back; every such run must succeed silently.
PngImage drawSymbol(const std::vector<std::string>& arguments) {
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright(withFileName(arguments), directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
    PngImage image = readPng(directory.path() / "out.png");
    EXPECT_TRUE(image.valid) << image.error;
    return image;
}

std::string describe(const std::vector<std::string>& arguments) {
    std::string text = "barwright";
    for (const std::string& argument : arguments) {
        text += " '" + argument + "'";
    }
    return text;
}

TEST(CommandLineSymbol, FileNameAloneMakesASymbolSilently) {
    const PngImage image = drawSymbol({});
    ASSERT_TRUE(image.valid);
    EXPECT_GT(image.width, 0u);
    EXPECT_GT(image.height, 0u);
    EXPECT_EQ(image.colours(), (std::set<Rgb>{kWhite, kBlack}));
    EXPECT_EQ(image.at(0, 0), kWhite);  // quiet zone
}

TEST(CommandLineSymbol, ReplacesAnExistingFile) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "out.png", "old contents");
    const ProgramRun run = runBarwright({"out.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(readPng(directory.path() / "out.png").valid);
}

// The size of the picture.

struct SizeCase {
    const char* name;
    std::vector<std::string> arguments;
    std::uint32_t width;
    std::uint32_t height;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }

const SizeCase kExplicitSizes[] = {
    {"WidthAlone", {"-x", "300"}, 300, 100},
    {"HeightAlone", {"-y", "50"}, 200, 50},
    {"Both", {"-x", "250", "--ysize=120"}, 250, 120},
    {"LastWidthWins", {"-x", "100", "-x", "300"}, 300, 100},
    {"DroppedWidthKeepsEarlier", {"-x", "300", "-x", "0"}, 300, 100},
    {"ModuleWidthIgnored", {"-n", "5", "-x", "300"}, 300, 100},
};

class ExplicitSize : public testing::TestWithParam<SizeCase> {};

TEST_P(ExplicitSize, IsTheImageSize) {
    const PngImage image = drawSymbol(GetParam().arguments);
    EXPECT_EQ(image.width, GetParam().width);
    EXPECT_EQ(image.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(CommandLineSymbol, ExplicitSize, testing::ValuesIn(kExplicitSizes),
                         [](const testing::TestParamInfo<SizeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CommandLineSymbol, ComputedSizeFollowsTheModuleWidth) {
    // The default symbol at 2-pixel modules with 2-module quiet zones; the
    // others are derived from it, since only the geometry is at stake here.
    const PngImage base = drawSymbol({});
    ASSERT_TRUE(base.valid);
    const PngImage oneModule = drawSymbol({"-n", "0.5"});
    EXPECT_EQ(oneModule.width * 2, base.width);
    EXPECT_EQ(oneModule.height * 2, base.height);
    const PngImage threeModules = drawSymbol({"-n", "2.5"});
    EXPECT_EQ(threeModules.width * 2, base.width * 3);
    EXPECT_EQ(threeModules.height * 2, base.height * 3);
    const PngImage noQuietZone = drawSymbol({"-q", "0"});
    EXPECT_EQ(noQuietZone.width + 8, base.width);
    EXPECT_EQ(noQuietZone.height + 8, base.height);
    const PngImage turned = drawSymbol({"-o", "90"});
    EXPECT_EQ(turned.width, base.height);
    EXPECT_EQ(turned.height, base.width);
}

// Options whose values are dropped, or ignored, draw exactly what the run
// without them draws; the counter-cases show that the comparison can tell.

struct SamePictureCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> reference;
    bool same;
};

void PrintTo(const SamePictureCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::string> kRoomy = {"-x", "400", "-y", "300"};

std::vector<std::string> roomy(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), kRoomy.begin(), kRoomy.end());
    return arguments;
}

const SamePictureCase kSamePictureCases[] = {
    {"ZeroWidthDropped", {"-x", "0"}, {}, true},
    {"NegativeHeightDropped", {"-y", "-5"}, {}, true},
    {"LevelTenDropped", {"-e", "10"}, {}, true},
    {"ModeFourDropped", {"-m", "4"}, {}, true},
    {"OrientationDropped", {"-o", "45"}, {}, true},
    {"ZeroRatioDropped", {"-a", "0"}, {}, true},
    {"NegativeRatioDropped", {"-a", "-1"}, {}, true},
    {"ZeroModuleWidthDropped", {"-n", "0"}, {}, true},
    {"InfModuleWidthDropped", {"-n", "inf"}, {}, true},
    {"ModuleWidthRoundsDown", {"-n", "2.49"}, {}, true},
    {"CompactOnReadsAsOff", {"-t", "on"}, {}, true},
    {"AlignHThreeDropped", roomy({"-z", "3"}), kRoomy, true},
    {"AlignVNegativeDropped", roomy({"-v", "-1"}), kRoomy, true},
    {"ModuleWidthIgnoredWithSize", roomy({"-n", "7"}), kRoomy, true},
    {"DataSetTwiceLastWins", {"-d", "abc", "-d", "1234567"}, {}, true},
    {"LevelZeroDiffers", {"-e", "0"}, {}, false},
    {"CompactDiffers", {"-t", "5"}, {}, false},
    {"RatioDiffers", {"-a", "2"}, {}, false},
    {"DataDiffers", {"-d", "abc"}, {}, false},
    {"AlignLeftDiffers", roomy({"-z", "0"}), kRoomy, false},
    {"AlignBottomDiffers", roomy({"-v", "2"}), kRoomy, false},
};

class SamePicture : public testing::TestWithParam<SamePictureCase> {};

TEST_P(SamePicture, ComparedWithReference) {
    const SamePictureCase& c = GetParam();
    const PngImage image = drawSymbol(c.arguments);
    const PngImage reference = drawSymbol(c.reference);
    ASSERT_TRUE(image.valid && reference.valid);
    const bool same = image.width == reference.width && image.height == reference.height &&
                      image.pixels == reference.pixels;
    EXPECT_EQ(same, c.same) << describe(c.arguments) << " against " << describe(c.reference);
}

INSTANTIATE_TEST_SUITE_P(CommandLineSymbol, SamePicture, testing::ValuesIn(kSamePictureCases),
                         [](const testing::TestParamInfo<SamePictureCase>& info) {
                             return std::string(info.param.name);
                         });

// Colours are written red first on the command line.

struct ColourCase {
    const char* name;
    std::vector<std::string> arguments;
    Rgb background;
    Rgb bars;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

const ColourCase kColourCases[] = {
    {"Default", {}, kWhite, kBlack},
    {"YellowBackground", {"-b", "ffff00"}, {0xFF, 0xFF, 0x00}, kBlack},
    {"PrefixReadsAsBlack", {"-b", "0xffff00", "-f", "ffffff"}, kBlack, kWhite},
    {"TwoDigitsAreBlue", {"-b", "ff", "-f", "ffffff"}, {0x00, 0x00, 0xFF}, kWhite},
    {"SeventhDigitDropped", {"-b", "1ffff00"}, {0xFF, 0xFF, 0x00}, kBlack},
    {"NoDigitsAreBlack", {"-b", "zz", "-f", "ffffff"}, kBlack, kWhite},
    {"RedBars", {"-f", "ff0000"}, kWhite, {0xFF, 0x00, 0x00}},
    {"ByteOrder", {"-b", "123456", "-f", "abcdef"}, {0x12, 0x34, 0x56}, {0xAB, 0xCD, 0xEF}},
};

class Colours : public testing::TestWithParam<ColourCase> {};

TEST_P(Colours, BackgroundAndBars) {
    const ColourCase& c = GetParam();
    const PngImage image = drawSymbol(c.arguments);
    ASSERT_TRUE(image.valid);
    EXPECT_EQ(image.at(0, 0), c.background);  // inside the quiet zone
    EXPECT_EQ(image.colours(), (std::set<Rgb>{c.background, c.bars}));
}

INSTANTIATE_TEST_SUITE_P(CommandLineSymbol, Colours, testing::ValuesIn(kColourCases),
                         [](const testing::TestParamInfo<ColourCase>& info) {
                             return std::string(info.param.name);
                         });

// Failures after the options were read: banner and message on stderr, the
// status as exit status, and an existing output file left as it was.

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;  // "out.png" is added
    int exitStatus;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailureCases[] = {
    {"TooManyColumns",
     {"-c", "40"},
     8,
     "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {"HugeColumnsSaturate",
     {"-c", "99999999999"},
     8,
     "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {"TooFewRows", {"-r", "2"}, 9, "Error: Rows number should be from 3 to 90 (or 0-auto)."},
    {"NegativeRows", {"-r", "-5"}, 9, "Error: Rows number should be from 3 to 90 (or 0-auto)."},
    {"BothAutomatic", {"-c", "0"}, 10, "Error: Columns and rows cannot be null."},
    {"ModuleRoundsToZero", {"-n", "0.4"}, 1, "Error: Invalid argument."},
    {"TooNarrow", {"-x", "10"}, 14, "Error: Columns number too large (or increase width/height)."},
    {"TooLow", {"-y", "3"}, 15, "Error: Rows number too large (or increase height/width)."},
    {"HugeWidthSaturates", {"-x", "99999999999"}, 28, "Error: Cant initialize PNG creator"},
    {"WidthAboveLimit", {"-x", "1000001"}, 28, "Error: Cant initialize PNG creator"},
    {"HeightAboveLimit", {"-y", "1000001"}, 28, "Error: Cant initialize PNG creator"},
    {"PixelDataAboveLimit",
     {"-x", "20000", "-y", "20000"},
     28,
     "Error: Cant initialize PNG creator"},
};

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, ReportedAndFileKept) {
    const FailureCase& c = GetParam();
    TemporaryDirectory directory;
    const std::string oldBytes = "earlier contents\n";
    writeFile(directory.path() / "out.png", oldBytes);

    const ProgramRun run = runBarwright(withFileName(c.arguments), directory.path());

    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, failureText(c.message));
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
    EXPECT_EQ(readFile(directory.path() / "out.png"), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(CommandLineSymbol, Failure, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CommandLineSymbol, InfiniteValuesFailCleanly) {
    // "1e999" is a number, +infinity; what rejects it is the geometry, so
    // only a clean failure is asked for here, not a particular status.
    const std::vector<std::vector<std::string>> cases = {
        {"-n", "1e999"}, {"-a", "1e999"}, {"-a", "1e999", "-x", "300"}};
    for (const auto& arguments : cases) {
        TemporaryDirectory directory;
        const ProgramRun run = runBarwright(withFileName(arguments), directory.path());
        EXPECT_EQ(run.terminatingSignal, 0) << describe(arguments);
        EXPECT_GT(run.exitStatus, 0) << describe(arguments);
        EXPECT_EQ(run.standardError.rfind("barwright Version 1.2\nError: ", 0), 0u)
            << describe(arguments);
        EXPECT_TRUE(directory.entries().empty()) << describe(arguments);
    }
}

// Output file.

TEST(CommandLineSymbol, MissingFolderIsStatus25AndCreatesNothing) {
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright({"missing/out.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 25);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, failureText("Error: Cant open output file."));
    EXPECT_TRUE(directory.entries().empty());
}

TEST(CommandLineSymbol, UnopenableNamesAreStatus25) {
    for (const std::string name : {"", ".", "/"}) {
        TemporaryDirectory directory;
        const ProgramRun run = runBarwright({name}, directory.path());
        EXPECT_EQ(run.exitStatus, 25) << "name '" << name << "'";
        EXPECT_EQ(run.standardError, failureText("Error: Cant open output file."));
        EXPECT_TRUE(directory.entries().empty());
    }
}

TEST(CommandLineSymbol, FullDeviceIsStatus26) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full on this system";
    }
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright({"/dev/full"}, directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, 26);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, failureText("Error: Cant close output file."));
}

// Which argument is the file name.

struct FileNameCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> filesAfterwards;
};

void PrintTo(const FileNameCase& c, std::ostream* os) { *os << c.name; }

const FileNameCase kFileNameCases[] = {
    {"OptionsAfterNameIgnored", {"out.png", "-x", "300", "-k", "-h"}, {"out.png"}},
    {"SecondNameIgnored", {"out.png", "other.png"}, {"out.png"}},
    {"DoubleDashBeforeDashName", {"--", "-out.png"}, {"-out.png"}},
    {"LoneDashIsAName", {"-"}, {"-"}},
    {"LetterTakesNextLetter", {"-tq", "1", "out.png"}, {"1"}},
    {"DataThatLooksLikeAnOption", {"-d", "-x", "out.png"}, {"out.png"}},
    {"LongDataThatLooksLikeAnOption", {"--data", "--xsize", "out.png"}, {"out.png"}},
};

class FileName : public testing::TestWithParam<FileNameCase> {};

TEST_P(FileName, OnlyThatFileIsWritten) {
    const FileNameCase& c = GetParam();
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright(c.arguments, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(directory.entries(), c.filesAfterwards);
}

INSTANTIATE_TEST_SUITE_P(CommandLineSymbol, FileName, testing::ValuesIn(kFileNameCases),
                         [](const testing::TestParamInfo<FileNameCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CommandLineSymbol, OptionsAfterFileNameChangeNothing) {
    const PngImage image = drawSymbol({});
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright({"out.png", "-x", "300"}, directory.path());
    ASSERT_TRUE(image.valid);
    ASSERT_EQ(run.exitStatus, 0);
    const PngImage after = readPng(directory.path() / "out.png");
    EXPECT_EQ(after.width, image.width);
    EXPECT_EQ(after.pixels, image.pixels);
}

}  // namespace
}  // namespace barwright::test
