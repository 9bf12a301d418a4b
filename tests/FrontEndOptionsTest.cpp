// How the command line becomes the run's settings: accepted values, values
// dropped silently, repeated options, the file name, the two early endings
// (-h and a bad option), and a fresh reading on every run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "cli/FrontEnd.h"

namespace barwright {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;  // after argv[0]
    // Turns the default settings into the expected ones; null: defaults.
    void (*expect)(RunSettings&);
    const char* fileName;  // null: none
};

void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }

// Every field, so that an option that touches more than its own setting
// shows up.
void expectSameSettings(const RunSettings& actual, const RunSettings& expected) {
    const SymbolSettings& symbol = actual.symbol;
    EXPECT_EQ(symbol.data, expected.symbol.data);
    EXPECT_EQ(symbol.escapes, expected.symbol.escapes);
    EXPECT_EQ(symbol.compaction, expected.symbol.compaction);
    EXPECT_EQ(symbol.errorCorrectionLevel, expected.symbol.errorCorrectionLevel);
    EXPECT_EQ(symbol.columns, expected.symbol.columns);
    EXPECT_EQ(symbol.rows, expected.symbol.rows);
    EXPECT_EQ(symbol.compact, expected.symbol.compact);
    EXPECT_EQ(symbol.macro, expected.symbol.macro);
    const PictureSettings& picture = actual.picture;
    EXPECT_EQ(picture.moduleWidth, expected.picture.moduleWidth);
    EXPECT_EQ(picture.imageWidth, expected.picture.imageWidth);
    EXPECT_EQ(picture.imageHeight, expected.picture.imageHeight);
    EXPECT_EQ(picture.yToXRatio, expected.picture.yToXRatio);
    EXPECT_EQ(picture.orientation, expected.picture.orientation);
    EXPECT_EQ(picture.quietZone, expected.picture.quietZone);
    EXPECT_EQ(picture.alignH, expected.picture.alignH);
    EXPECT_EQ(picture.alignV, expected.picture.alignV);
    EXPECT_EQ(picture.background, expected.picture.background);
    EXPECT_EQ(picture.foreground, expected.picture.foreground);
}

// An image size given as both sides.
void setSize(RunSettings& s, std::int32_t width, std::int32_t height) {
    s.picture.imageWidth = width;
    s.picture.imageHeight = height;
}

// An argument vector that outlives the settings pointing into it.
struct CommandLine {
    explicit CommandLine(const std::vector<std::string>& arguments) {
        words.push_back("barwright");
        words.insert(words.end(), arguments.begin(), arguments.end());
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
    std::vector<std::string> words;
    std::vector<char*> argv;
};

const OptionsCase kCases[] = {
    {"Defaults", {"out.png"}, nullptr, "out.png"},
    // Image size: a side given alone keeps the default 200 x 100 on the other.
    {"Width", {"-x", "300", "f"}, [](RunSettings& s) { setSize(s, 300, 100); }, "f"},
    {"Height", {"-y", "50", "f"}, [](RunSettings& s) { setSize(s, 200, 50); }, "f"},
    {"HeightThenWidth",
     {"-y", "50", "-x", "300", "f"},
     [](RunSettings& s) { setSize(s, 300, 50); },
     "f"},
    {"LongWidth", {"--xsize=300", "f"}, [](RunSettings& s) { setSize(s, 300, 100); }, "f"},
    {"ZeroWidthDropped", {"-x", "0", "f"}, nullptr, "f"},
    {"NegativeHeightDropped", {"-y", "-5", "f"}, nullptr, "f"},
    {"WordWidthDropped", {"-x", "wide", "f"}, nullptr, "f"},
    {"HugeWidthSaturates",
     {"-x", "99999999999", "f"},
     [](RunSettings& s) { setSize(s, kInt32Max, 100); },
     "f"},
    {"LastWidthWins",
     {"-x", "100", "-x", "300", "f"},
     [](RunSettings& s) { setSize(s, 300, 100); },
     "f"},
    {"DroppedWidthKeepsEarlier",
     {"-x", "300", "-x", "0", "f"},
     [](RunSettings& s) { setSize(s, 300, 100); },
     "f"},
    // Module width.
    {"ModuleWidth", {"-n", "0.5", "f"}, [](RunSettings& s) { s.picture.moduleWidth = 0.5; }, "f"},
    {"SmallModuleWidthPassedOn",
     {"-n", "0.4", "f"},
     [](RunSettings& s) { s.picture.moduleWidth = 0.4; },
     "f"},
    {"ZeroModuleWidthDropped", {"-n", "0", "f"}, nullptr, "f"},
    {"NegativeZeroModuleWidthDropped", {"-n", "-0", "f"}, nullptr, "f"},
    {"InfModuleWidthDropped", {"-n", "inf", "f"}, nullptr, "f"},
    {"HexModuleWidthDropped", {"-n", "0x10", "f"}, nullptr, "f"},
    {"OverflowingModuleWidthPassedOn",
     {"-n", "1e999", "f"},
     [](RunSettings& s) { s.picture.moduleWidth = std::numeric_limits<double>::infinity(); },
     "f"},
    // Data, byte for byte.
    {"Data", {"-d", "Hello ~X41", "f"}, [](RunSettings& s) { s.symbol.data = "Hello ~X41"; }, "f"},
    {"EmptyData", {"--data=", "f"}, [](RunSettings& s) { s.symbol.data = ""; }, "f"},
    {"DataThatLooksLikeAnOption",
     {"-d", "-x", "f"},
     [](RunSettings& s) { s.symbol.data = "-x"; },
     "f"},
    {"HighBytesInData",
     {"-d", "\xc3\xa9\xff", "f"},
     [](RunSettings& s) { s.symbol.data = "\xc3\xa9\xff"; },
     "f"},
    // Ranged integers.
    {"Mode",
     {"-m", "3", "f"},
     [](RunSettings& s) { s.symbol.compaction = CompactionMode::kByte; },
     "f"},
    {"ModeFourDropped", {"-m", "4", "f"}, nullptr, "f"},
    {"NegativeModeDropped", {"-m", "-1", "f"}, nullptr, "f"},
    {"LevelZero", {"-e", "0", "f"}, [](RunSettings& s) { s.symbol.errorCorrectionLevel = 0; }, "f"},
    {"LevelTenDropped", {"-e", "10", "f"}, nullptr, "f"},
    {"Orientation", {"-o", "270", "f"}, [](RunSettings& s) { s.picture.orientation = 270; }, "f"},
    {"OddOrientationDropped", {"-o", "45", "f"}, nullptr, "f"},
    {"FullTurnDropped", {"-o", "360", "f"}, nullptr, "f"},
    {"NegativeOrientationDropped", {"-o", "-90", "f"}, nullptr, "f"},
    {"AlignLeft", {"-z", "0", "f"}, [](RunSettings& s) { s.picture.alignH = 0; }, "f"},
    {"AlignHThreeDropped", {"-z", "3", "f"}, nullptr, "f"},
    {"AlignBottom", {"--alignv", "2", "f"}, [](RunSettings& s) { s.picture.alignV = 2; }, "f"},
    {"AlignVNegativeDropped", {"-v", "-1", "f"}, nullptr, "f"},
    {"AbbreviationSelectsAlignH",
     {"--a", "2", "f"},
     [](RunSettings& s) { s.picture.alignH = 2; },
     "f"},
    // Passed on unchecked: the encode judges them.
    {"ColumnsOutOfRange", {"-c", "40", "f"}, [](RunSettings& s) { s.symbol.columns = 40; }, "f"},
    {"ColumnsZero", {"-c", "0", "f"}, [](RunSettings& s) { s.symbol.columns = 0; }, "f"},
    {"HugeColumnsSaturate",
     {"-c", "99999999999", "f"},
     [](RunSettings& s) { s.symbol.columns = kInt32Max; },
     "f"},
    {"RowsOutOfRange", {"-r", "2", "f"}, [](RunSettings& s) { s.symbol.rows = 2; }, "f"},
    // Switches: any non-zero number is on.
    {"CompactFive", {"-t", "5", "f"}, [](RunSettings& s) { s.symbol.compact = true; }, "f"},
    {"CompactOnReadsAsZero", {"-t", "on", "f"}, nullptr, "f"},
    {"CompactSwitchedBackOff", {"-t", "1", "-t", "0", "f"}, nullptr, "f"},
    {"QuietZoneOff", {"-q", "0", "f"}, [](RunSettings& s) { s.picture.quietZone = false; }, "f"},
    {"QuietZoneTwo", {"-q0", "-q", "2", "f"}, nullptr, "f"},
    // Ratio.
    {"Ratio", {"-a", "2.5", "f"}, [](RunSettings& s) { s.picture.yToXRatio = 2.5; }, "f"},
    {"ZeroRatioDropped", {"-a", "0", "f"}, nullptr, "f"},
    {"NegativeRatioDropped", {"-a", "-1", "f"}, nullptr, "f"},
    {"NanRatioDropped", {"-a", "nan", "f"}, nullptr, "f"},
    // Colours, each to its own setting (how the text reads is readColor's).
    {"YellowBackground",
     {"-b", "ffff00", "f"},
     [](RunSettings& s) { s.picture.background = 0xFFFF00; },
     "f"},
    {"RedBars",
     {"--fcolor", "ff0000", "f"},
     [](RunSettings& s) { s.picture.foreground = 0xFF0000; },
     "f"},
    // The file name.
    {"OptionsAfterFileNameIgnored", {"f", "-x", "300", "-k"}, nullptr, "f"},
    {"DoubleDashBeforeDashName", {"--", "-out.png"}, nullptr, "-out.png"},
    {"LetterTakesNextLetter", {"-tq", "1", "f"}, nullptr, "1"},
    {"EmptyFileName", {""}, nullptr, ""},
    {"NoFileName", {"-x", "300"}, [](RunSettings& s) { setSize(s, 300, 100); }, nullptr},
    {"LoneDashIsFileName", {"-", "f"}, nullptr, "-"},
};

class ReadOptions : public testing::TestWithParam<OptionsCase> {};

TEST_P(ReadOptions, SettingsAsExpected) {
    const OptionsCase& c = GetParam();
    CommandLine line(c.arguments);
    RunSettings actual;
    std::string message;
    ASSERT_EQ(readOptions(line.argc(), line.argv.data(), actual, message),
              OptionsResult::kComplete);

    RunSettings expected;
    if (c.expect != nullptr) {
        c.expect(expected);
    }
    expectSameSettings(actual, expected);
    if (c.fileName == nullptr) {
        EXPECT_EQ(actual.outputFileName, nullptr);
    } else {
        ASSERT_NE(actual.outputFileName, nullptr);
        EXPECT_STREQ(actual.outputFileName, c.fileName);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadOptions, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<OptionsCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ReadOptionsEnding, HelpOrBadOptionEndsTheReading) {
    const struct {
        std::vector<std::string> arguments;
        OptionsResult result;
        const char* message;
    } cases[] = {
        {{"-x", "300", "-h", "f"}, OptionsResult::kHelp, ""},
        {{"-hk"}, OptionsResult::kHelp, ""},
        {{"-h", "--foo"}, OptionsResult::kHelp, ""},
        {{"-k", "-h"}, OptionsResult::kBadOption, "Unknown option `-k'."},
        {{"-x"}, OptionsResult::kBadOption, "Missing argument for `-x'."},
        {{"--colx", "3", "f"}, OptionsResult::kBadOption, "invalid option `colx'."},
    };
    for (const auto& c : cases) {
        CommandLine line(c.arguments);
        RunSettings settings;
        std::string message;
        EXPECT_EQ(readOptions(line.argc(), line.argv.data(), settings, message), c.result)
            << "first argument " << c.arguments.front();
        EXPECT_EQ(message, c.message);
    }
}

TEST(ReadOptionsEnding, NothingAfterHelpIsRead) {
    CommandLine line({"-h", "-x", "300", "f"});
    RunSettings settings;
    std::string message;
    EXPECT_EQ(readOptions(line.argc(), line.argv.data(), settings, message), OptionsResult::kHelp);
    EXPECT_EQ(settings.picture.imageWidth, 0);
    EXPECT_EQ(settings.outputFileName, nullptr);
}

// The first run ends inside the group "-hx"; a second run in the same
// process must not go on from where the first one stopped.
TEST(ReadOptionsEnding, EveryRunStartsFromTheFirstArgument) {
    for (int run = 1; run <= 2; ++run) {
        CommandLine line({"-hx", "1"});
        testing::internal::CaptureStdout();
        const int exitStatus = runBarwright(line.argc(), line.argv.data());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(exitStatus, 0) << "run " << run;
        EXPECT_EQ(out.rfind("barwright Version 1.2\n", 0), 0u) << "run " << run;
    }
}

}  // namespace
}  // namespace barwright
