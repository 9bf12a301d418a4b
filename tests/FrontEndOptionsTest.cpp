// How the command line becomes the run's settings: accepted values, values
// dropped silently, repeated options, the file name, and the two early
// endings (-h and a bad option).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "cli/FrontEnd.h"
#include "cli/OptionParser.h"

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
    EXPECT_EQ(actual.imageWidth, expected.imageWidth);
    EXPECT_EQ(actual.imageHeight, expected.imageHeight);
    EXPECT_EQ(actual.explicitSize, expected.explicitSize);
    EXPECT_EQ(actual.moduleWidth, expected.moduleWidth);
    EXPECT_EQ(actual.yToXRatio, expected.yToXRatio);
    EXPECT_EQ(actual.data, expected.data);
    EXPECT_EQ(actual.compactionMode, expected.compactionMode);
    EXPECT_EQ(actual.errorCorrectionLevel, expected.errorCorrectionLevel);
    EXPECT_EQ(actual.columns, expected.columns);
    EXPECT_EQ(actual.rows, expected.rows);
    EXPECT_EQ(actual.compact, expected.compact);
    EXPECT_EQ(actual.orientation, expected.orientation);
    EXPECT_EQ(actual.quietZone, expected.quietZone);
    EXPECT_EQ(actual.alignH, expected.alignH);
    EXPECT_EQ(actual.alignV, expected.alignV);
    EXPECT_EQ(actual.backgroundColor, expected.backgroundColor);
    EXPECT_EQ(actual.foregroundColor, expected.foregroundColor);
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
    // Image size.
    {"Width",
     {"-x", "300", "f"},
     [](RunSettings& s) { s.imageWidth = 300, s.explicitSize = true; },
     "f"},
    {"Height",
     {"-y", "50", "f"},
     [](RunSettings& s) { s.imageHeight = 50, s.explicitSize = true; },
     "f"},
    {"LongWidth",
     {"--xsize=300", "f"},
     [](RunSettings& s) { s.imageWidth = 300, s.explicitSize = true; },
     "f"},
    {"ZeroWidthDropped", {"-x", "0", "f"}, nullptr, "f"},
    {"NegativeHeightDropped", {"-y", "-5", "f"}, nullptr, "f"},
    {"WordWidthDropped", {"-x", "wide", "f"}, nullptr, "f"},
    {"HugeWidthSaturates",
     {"-x", "99999999999", "f"},
     [](RunSettings& s) { s.imageWidth = kInt32Max, s.explicitSize = true; },
     "f"},
    {"LastWidthWins",
     {"-x", "100", "-x", "300", "f"},
     [](RunSettings& s) { s.imageWidth = 300, s.explicitSize = true; },
     "f"},
    {"DroppedWidthKeepsEarlier",
     {"-x", "300", "-x", "0", "f"},
     [](RunSettings& s) { s.imageWidth = 300, s.explicitSize = true; },
     "f"},
    // Module width.
    {"ModuleWidth", {"-n", "0.5", "f"}, [](RunSettings& s) { s.moduleWidth = 0.5; }, "f"},
    {"SmallModuleWidthPassedOn",
     {"-n", "0.4", "f"},
     [](RunSettings& s) { s.moduleWidth = 0.4; },
     "f"},
    {"ZeroModuleWidthDropped", {"-n", "0", "f"}, nullptr, "f"},
    {"NegativeZeroModuleWidthDropped", {"-n", "-0", "f"}, nullptr, "f"},
    {"InfModuleWidthDropped", {"-n", "inf", "f"}, nullptr, "f"},
    {"HexModuleWidthDropped", {"-n", "0x10", "f"}, nullptr, "f"},
    {"OverflowingModuleWidthPassedOn",
     {"-n", "1e999", "f"},
     [](RunSettings& s) { s.moduleWidth = std::numeric_limits<double>::infinity(); },
     "f"},
    // Data, byte for byte.
    {"Data", {"-d", "Hello ~X41", "f"}, [](RunSettings& s) { s.data = "Hello ~X41"; }, "f"},
    {"EmptyData", {"--data=", "f"}, [](RunSettings& s) { s.data = ""; }, "f"},
    {"DataThatLooksLikeAnOption", {"-d", "-x", "f"}, [](RunSettings& s) { s.data = "-x"; }, "f"},
    {"HighBytesInData",
     {"-d", "\xc3\xa9\xff", "f"},
     [](RunSettings& s) { s.data = "\xc3\xa9\xff"; },
     "f"},
    // Ranged integers.
    {"Mode", {"-m", "3", "f"}, [](RunSettings& s) { s.compactionMode = 3; }, "f"},
    {"ModeFourDropped", {"-m", "4", "f"}, nullptr, "f"},
    {"NegativeModeDropped", {"-m", "-1", "f"}, nullptr, "f"},
    {"LevelZero", {"-e", "0", "f"}, [](RunSettings& s) { s.errorCorrectionLevel = 0; }, "f"},
    {"LevelTenDropped", {"-e", "10", "f"}, nullptr, "f"},
    {"Orientation", {"-o", "270", "f"}, [](RunSettings& s) { s.orientation = 270; }, "f"},
    {"OddOrientationDropped", {"-o", "45", "f"}, nullptr, "f"},
    {"FullTurnDropped", {"-o", "360", "f"}, nullptr, "f"},
    {"NegativeOrientationDropped", {"-o", "-90", "f"}, nullptr, "f"},
    {"AlignLeft", {"-z", "0", "f"}, [](RunSettings& s) { s.alignH = 0; }, "f"},
    {"AlignHThreeDropped", {"-z", "3", "f"}, nullptr, "f"},
    {"AlignBottom", {"--alignv", "2", "f"}, [](RunSettings& s) { s.alignV = 2; }, "f"},
    {"AlignVNegativeDropped", {"-v", "-1", "f"}, nullptr, "f"},
    {"AbbreviationSelectsAlignH", {"--a", "2", "f"}, [](RunSettings& s) { s.alignH = 2; }, "f"},
    // Passed on unchecked: the encode judges them.
    {"ColumnsOutOfRange", {"-c", "40", "f"}, [](RunSettings& s) { s.columns = 40; }, "f"},
    {"ColumnsZero", {"-c", "0", "f"}, [](RunSettings& s) { s.columns = 0; }, "f"},
    {"HugeColumnsSaturate",
     {"-c", "99999999999", "f"},
     [](RunSettings& s) { s.columns = kInt32Max; },
     "f"},
    {"RowsOutOfRange", {"-r", "2", "f"}, [](RunSettings& s) { s.rows = 2; }, "f"},
    // Switches: any non-zero number is on.
    {"CompactFive", {"-t", "5", "f"}, [](RunSettings& s) { s.compact = true; }, "f"},
    {"CompactOnReadsAsZero", {"-t", "on", "f"}, nullptr, "f"},
    {"CompactSwitchedBackOff", {"-t", "1", "-t", "0", "f"}, nullptr, "f"},
    {"QuietZoneOff", {"-q", "0", "f"}, [](RunSettings& s) { s.quietZone = false; }, "f"},
    {"QuietZoneTwo", {"-q0", "-q", "2", "f"}, nullptr, "f"},
    // Ratio.
    {"Ratio", {"-a", "2.5", "f"}, [](RunSettings& s) { s.yToXRatio = 2.5; }, "f"},
    {"ZeroRatioDropped", {"-a", "0", "f"}, nullptr, "f"},
    {"NegativeRatioDropped", {"-a", "-1", "f"}, nullptr, "f"},
    {"NanRatioDropped", {"-a", "nan", "f"}, nullptr, "f"},
    // Colours: written red first, held red in the lowest byte.
    {"YellowBackground",
     {"-b", "ffff00", "f"},
     [](RunSettings& s) { s.backgroundColor = 0x00FFFF; },
     "f"},
    {"PrefixedBackgroundIsBlack",
     {"-b", "0xffff00", "f"},
     [](RunSettings& s) { s.backgroundColor = 0; },
     "f"},
    {"ShortBackgroundIsBlue",
     {"-b", "ff", "f"},
     [](RunSettings& s) { s.backgroundColor = 0xFF0000; },
     "f"},
    {"SeventhDigitDropped",
     {"-b", "1ffff00", "f"},
     [](RunSettings& s) { s.backgroundColor = 0x00FFFF; },
     "f"},
    {"NoDigitBackgroundIsBlack",
     {"-b", "white", "f"},
     [](RunSettings& s) { s.backgroundColor = 0; },
     "f"},
    {"RedBars",
     {"--fcolor", "ff0000", "f"},
     [](RunSettings& s) { s.foregroundColor = 0x0000FF; },
     "f"},
    // The file name.
    {"OptionsAfterFileNameIgnored", {"f", "-x", "300", "-k"}, nullptr, "f"},
    {"DoubleDashBeforeDashName", {"--", "-out.png"}, nullptr, "-out.png"},
    {"LetterTakesNextLetter", {"-tq", "1", "f"}, nullptr, "1"},
    {"EmptyFileName", {""}, nullptr, ""},
    {"NoFileName",
     {"-x", "300"},
     [](RunSettings& s) { s.imageWidth = 300, s.explicitSize = true; },
     nullptr},
    {"LoneDashIsFileName", {"-", "f"}, nullptr, "-"},
};

class ReadOptions : public testing::TestWithParam<OptionsCase> {
protected:
    void SetUp() override { resetOptionParser(); }
};

TEST_P(ReadOptions, SettingsAsExpected) {
    const OptionsCase& c = GetParam();
    CommandLine line(c.arguments);
    RunSettings actual;
    ASSERT_EQ(readOptions(line.argc(), line.argv.data(), actual), OptionsResult::kComplete);

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
    } cases[] = {
        {{"-x", "300", "-h", "f"}, OptionsResult::kHelp},
        {{"-hk"}, OptionsResult::kHelp},
        {{"-h", "--foo"}, OptionsResult::kHelp},
        {{"-k", "-h"}, OptionsResult::kBadOption},
        {{"-x"}, OptionsResult::kBadOption},
        {{"--colx", "3", "f"}, OptionsResult::kBadOption},
    };
    for (const auto& c : cases) {
        resetOptionParser();
        CommandLine line(c.arguments);
        RunSettings settings;
        testing::internal::CaptureStderr();
        EXPECT_EQ(readOptions(line.argc(), line.argv.data(), settings), c.result)
            << "first argument " << c.arguments.front();
        testing::internal::GetCapturedStderr();
    }
}

TEST(ReadOptionsEnding, NothingAfterHelpIsRead) {
    resetOptionParser();
    CommandLine line({"-h", "-x", "300", "f"});
    RunSettings settings;
    EXPECT_EQ(readOptions(line.argc(), line.argv.data(), settings), OptionsResult::kHelp);
    EXPECT_FALSE(settings.explicitSize);
    EXPECT_EQ(settings.outputFileName, nullptr);
}

}  // namespace
}  // namespace barwright
