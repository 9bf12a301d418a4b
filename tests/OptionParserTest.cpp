// The option parser walked over whole command lines: what each call returns,
// the argument it hands out, where optind stands and what it wrote on stderr.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli/OptionParser.h"

namespace barwright {
namespace {

// The program's own option string and table, repeated here so that the
// parser is checked against the layout it must serve.
constexpr const char* kOptions = "hx:y:n:d:m:e:c:r:t:o:b:f:q:z:v:a:";
constexpr LongOption kLongOptions[] = {
    {"help", 0, nullptr, 'h'},   {"xsize", 1, nullptr, 'x'},  {"ysize", 1, nullptr, 'y'},
    {"xdim", 1, nullptr, 'n'},   {"data", 1, nullptr, 'd'},   {"mode", 1, nullptr, 'm'},
    {"ecl", 1, nullptr, 'e'},    {"col", 1, nullptr, 'c'},    {"row", 1, nullptr, 'r'},
    {"cpdf", 1, nullptr, 't'},   {"orient", 1, nullptr, 'o'}, {"bcolor", 1, nullptr, 'b'},
    {"fcolor", 1, nullptr, 'f'}, {"qzone", 1, nullptr, 'q'},  {"alignh", 1, nullptr, 'z'},
    {"alignv", 1, nullptr, 'v'}, {"y2x", 1, nullptr, 'a'},    {nullptr, 0, nullptr, 0},
};

// One call: what it returns, the argument it gives (null: not checked) and
// where optind stands afterwards.
struct Step {
    std::int32_t result;
    const char* argument;
    std::int32_t optindAfter;
};

struct ParserCase {
    const char* name;
    std::vector<std::string> arguments;  // after argv[0]
    std::vector<Step> steps;             // the last one returns -1
    std::string standardError;
};

void PrintTo(const ParserCase& c, std::ostream* os) { *os << c.name; }

constexpr std::int32_t kEnd = kEndOfOptions;
constexpr std::int32_t kBad = kBadOption;

const ParserCase kCases[] = {
    {"NoArguments", {}, {{kEnd, nullptr, 1}}, ""},
    {"ArgumentInSameWord", {"-q0"}, {{'q', "0", 2}, {kEnd, nullptr, 2}}, ""},
    {"ArgumentInNextWord", {"-x", "300"}, {{'x', "300", 3}, {kEnd, nullptr, 3}}, ""},
    {"LongWithEquals", {"--xsize=300"}, {{'x', "300", 2}, {kEnd, nullptr, 2}}, ""},
    {"LongWithNextWord", {"--xsize", "300"}, {{'x', "300", 3}, {kEnd, nullptr, 3}}, ""},
    {"LongAbbreviated", {"--xs", "300"}, {{'x', "300", 3}, {kEnd, nullptr, 3}}, ""},
    {"LetterTakesNextLetterAsArgument", {"-tq", "1"}, {{'t', "q", 2}, {kEnd, nullptr, 2}}, ""},
    {"ArgumentMayBeginWithDash", {"-d", "-x"}, {{'d', "-x", 3}, {kEnd, nullptr, 3}}, ""},
    {"LongArgumentMayBeginWithDashes",
     {"--data", "--xsize"},
     {{'d', "--xsize", 3}, {kEnd, nullptr, 3}},
     ""},
    {"ArgumentMayBeDoubleDash", {"--data", "--"}, {{'d', "--", 3}, {kEnd, nullptr, 3}}, ""},
    {"EmptyArgumentAfterEquals", {"--data="}, {{'d', "", 2}, {kEnd, nullptr, 2}}, ""},
    {"EqualsInsideArgument", {"--data=a=b"}, {{'d', "a=b", 2}, {kEnd, nullptr, 2}}, ""},
    {"EarliestEntryWinsForA", {"--a", "2"}, {{'z', "2", 3}, {kEnd, nullptr, 3}}, ""},
    {"EarliestEntryWinsForY", {"--y", "5"}, {{'y', "5", 3}, {kEnd, nullptr, 3}}, ""},
    {"EarliestEntryWinsForC", {"--c", "3"}, {{'c', "3", 3}, {kEnd, nullptr, 3}}, ""},
    {"FullNameOfLaterEntry", {"--y2x=1.5"}, {{'a', "1.5", 2}, {kEnd, nullptr, 2}}, ""},
    {"LongerThanName",
     {"--colx", "3"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "invalid option `colx'.\n"},
    {"CaseMatters",
     {"--Col", "3"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "invalid option `Col'.\n"},
    {"UnknownNameStopsAtEquals",
     {"--foo=bar"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "invalid option `foo'.\n"},
    {"ThreeDashes", {"---x"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "invalid option `-x'.\n"},
    {"NoArgumentValueIgnored", {"--help=1", "f"}, {{'h', nullptr, 2}, {kEnd, nullptr, 2}}, ""},
    {"EmptyNameIsFirstEntry", {"--=5"}, {{'h', nullptr, 2}, {kEnd, nullptr, 2}}, ""},
    {"MissingShortArgument",
     {"-x"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Missing argument for `-x'.\n"},
    {"MissingLongArgument",
     {"--data"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "argument required: `data'.\n"},
    {"MissingAbbreviatedArgument",
     {"--da"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "argument required: `da'.\n"},
    {"UnknownLetter", {"-k"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "Unknown option `-k'.\n"},
    {"ColonIsNoLetter", {"-:"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "Unknown option `-:'.\n"},
    {"LetterBeforeUnknownComesFirst",
     {"-hk", "f"},
     {{'h', nullptr, 1}, {kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Unknown option `-k'.\n"},
    {"UnknownLetterSkipsRestOfGroup",
     {"-kh", "f"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Unknown option `-k'.\n"},
    {"ParsingGoesOnAfterBadOption",
     {"-k", "-x", "1", "f"},
     {{kBad, nullptr, 2}, {'x', "1", 4}, {kEnd, nullptr, 4}},
     "Unknown option `-k'.\n"},
    {"GroupOfFlags", {"-hh", "f"}, {{'h', nullptr, 1}, {'h', nullptr, 1}, {kEnd, nullptr, 2}}, ""},
    {"FlagThenArgumentInGroup",
     {"-hx300", "f"},
     {{'h', nullptr, 1}, {'x', "300", 2}, {kEnd, nullptr, 2}},
     ""},
    {"FlagThenArgumentInNextWord",
     {"-hx", "300", "f"},
     {{'h', nullptr, 1}, {'x', "300", 3}, {kEnd, nullptr, 3}},
     ""},
    {"FlagThenMissingArgument",
     {"-hx"},
     {{'h', nullptr, 1}, {kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Missing argument for `-x'.\n"},
    {"NewGroupStartsAtItsFirstLetter",
     {"-h", "-h"},
     {{'h', nullptr, 1}, {'h', nullptr, 2}, {kEnd, nullptr, 3}},
     ""},
    {"LoneDashIsNoOption", {"-", "-x", "1"}, {{kEnd, nullptr, 1}}, ""},
    {"DoubleDashEndsOptions", {"--", "-out.png"}, {{kEnd, nullptr, 2}}, ""},
    {"DoubleDashAlone", {"--"}, {{kEnd, nullptr, 2}}, ""},
    {"StopsAtFirstNonOption",
     {"-q", "0", "f.png", "-x", "300"},
     {{'q', "0", 3}, {kEnd, nullptr, 3}},
     ""},
    {"NothingReadAfterFileName", {"f.png", "-x", "300"}, {{kEnd, nullptr, 1}}, ""},
};

class OptionParser : public testing::TestWithParam<ParserCase> {
protected:
    void SetUp() override { resetOptionParser(); }
};

TEST_P(OptionParser, WalksTheCommandLine) {
    const ParserCase& c = GetParam();
    std::vector<std::string> words = {"barwright"};
    words.insert(words.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const auto argc = static_cast<std::int32_t>(words.size());

    testing::internal::CaptureStderr();
    std::vector<Step> actual;
    // One call more than expected at most, so that a parser that never
    // ends cannot hang the test.
    while (actual.size() <= c.steps.size()) {
        const std::int32_t result =
            parseNextOption(argc, argv.data(), kOptions, kLongOptions, nullptr);
        actual.push_back({result, optarg, optind});
        if (result == kEndOfOptions) {
            break;
        }
    }
    const std::string standardError = testing::internal::GetCapturedStderr();

    ASSERT_EQ(actual.size(), c.steps.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i + 1));
        EXPECT_EQ(actual[i].result, c.steps[i].result);
        EXPECT_EQ(actual[i].optindAfter, c.steps[i].optindAfter);
        if (c.steps[i].argument != nullptr) {
            ASSERT_NE(actual[i].argument, nullptr);
            EXPECT_STREQ(actual[i].argument, c.steps[i].argument);
        }
    }
    EXPECT_EQ(standardError, c.standardError);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionParser, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ParserCase>& info) {
                             return std::string(info.param.name);
                         });

// A fixed-size argument vector for the tests below.
struct CommandLine {
    explicit CommandLine(std::vector<std::string> arguments) : words(std::move(arguments)) {
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
    }
    std::int32_t argc() const { return static_cast<std::int32_t>(words.size()); }
    std::vector<std::string> words;
    std::vector<char*> argv;
};

TEST(OptionParserState, ArgumentPointsIntoTheCommandLine) {
    resetOptionParser();
    CommandLine line({"barwright", "-x", "300", "-q0"});
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'x');
    EXPECT_EQ(optarg, line.argv[2]);
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'q');
    EXPECT_EQ(optarg, line.argv[3] + 2);
}

TEST(OptionParserState, OptoptHoldsTheLastLetterExamined) {
    resetOptionParser();
    CommandLine line({"barwright", "-hk"});
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'h');
    EXPECT_EQ(optopt, 'h');
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr),
              kBadOption);
    EXPECT_EQ(optopt, 'k');
    testing::internal::GetCapturedStderr();
}

TEST(OptionParserState, OptindZeroIsTakenAsOne) {
    resetOptionParser();
    CommandLine line({"barwright", "-x", "7", "f"});
    optind = 0;
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'x');
    EXPECT_EQ(optind, 3);
}

TEST(OptionParserState, OptindPastTheEndEndsTheOptions) {
    resetOptionParser();
    CommandLine line({"barwright", "-h"});
    optind = 5;
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr),
              kEndOfOptions);
    EXPECT_EQ(optind, 5);
}

TEST(OptionParserState, ResetStartsAFreshWalk) {
    CommandLine line({"barwright", "-hx", "1"});
    resetOptionParser();
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'h');
    // Abandoned in the middle of the group: without a reset the next walk
    // would go on at its second letter.
    resetOptionParser();
    EXPECT_EQ(optind, 1);
    EXPECT_EQ(optarg, nullptr);
    EXPECT_EQ(optopt, 0);
    EXPECT_EQ(optGroupIndex, 0);
    EXPECT_EQ(optGroupOffset, 0);
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, nullptr), 'h');
}

TEST(OptionParserLongIndex, ReportsTheEntryFound) {
    CommandLine line({"barwright", "--y", "5", "--y2x", "1", "--help"});
    resetOptionParser();
    std::int32_t index = -1;
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, &index), 'y');
    EXPECT_EQ(index, 2);
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, &index), 'a');
    EXPECT_EQ(index, 16);
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), kOptions, kLongOptions, &index), 'h');
    EXPECT_EQ(index, 0);
}

TEST(OptionParserLongIndex, FlagReceivesValueAndZeroIsReturned) {
    std::int32_t verbose = 0;
    const LongOption table[] = {{"verbose", 0, &verbose, 'V'}, {nullptr, 0, nullptr, 0}};
    CommandLine line({"barwright", "--verb", "f"});
    resetOptionParser();
    EXPECT_EQ(parseNextOption(line.argc(), line.argv.data(), "h", table, nullptr), 0);
    EXPECT_EQ(verbose, 'V');
    EXPECT_EQ(optind, 2);
}

}  // namespace
}  // namespace barwright
