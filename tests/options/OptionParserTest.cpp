// The option parser walked over whole command lines with barwright's own
// option string and table: what each call returns, the value it hands out,
// where its index stands and the message it gives about a bad option.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "options/OptionParser.h"
#include "options/OptionTable.h"

namespace barwright {
namespace {

// One call: what it returns, the value it gives (null: not checked) and
// where the index stands afterwards.
struct Step {
    std::int32_t result;
    const char* argument;
    std::int32_t indexAfter;
};

struct ParserCase {
    const char* name;
    std::vector<std::string> arguments;  // after argv[0]
    std::vector<Step> steps;             // the last one returns -1
    std::string message;                 // the message of the last bad option
};

void PrintTo(const ParserCase& c, std::ostream* os) { *os << c.name; }

constexpr std::int32_t kEnd = OptionParser::kEnd;
constexpr std::int32_t kBad = OptionParser::kBad;

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
     "invalid option `colx'."},
    {"CaseMatters",
     {"--Col", "3"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "invalid option `Col'."},
    {"UnknownNameStopsAtEquals",
     {"--foo=bar"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "invalid option `foo'."},
    {"ThreeDashes", {"---x"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "invalid option `-x'."},
    {"NoArgumentValueIgnored", {"--help=1", "f"}, {{'h', nullptr, 2}, {kEnd, nullptr, 2}}, ""},
    {"EmptyNameIsFirstEntry", {"--=5"}, {{'h', nullptr, 2}, {kEnd, nullptr, 2}}, ""},
    {"MissingShortArgument",
     {"-x"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Missing argument for `-x'."},
    {"MissingLongArgument",
     {"--data"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "argument required: `data'."},
    {"MissingAbbreviatedArgument",
     {"--da"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "argument required: `da'."},
    {"UnknownLetter", {"-k"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "Unknown option `-k'."},
    {"ColonIsNoLetter", {"-:"}, {{kBad, nullptr, 2}, {kEnd, nullptr, 2}}, "Unknown option `-:'."},
    {"LetterBeforeUnknownComesFirst",
     {"-hk", "f"},
     {{'h', nullptr, 1}, {kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Unknown option `-k'."},
    {"UnknownLetterSkipsRestOfGroup",
     {"-kh", "f"},
     {{kBad, nullptr, 2}, {kEnd, nullptr, 2}},
     "Unknown option `-k'."},
    {"ParsingGoesOnAfterBadOption",
     {"-k", "-x", "1", "f"},
     {{kBad, nullptr, 2}, {'x', "1", 4}, {kEnd, nullptr, 4}},
     "Unknown option `-k'."},
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
     "Missing argument for `-x'."},
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

// A fixed-size argument vector for the tests below.
struct CommandLine {
    explicit CommandLine(std::vector<std::string> arguments) : words(std::move(arguments)) {
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
    }
    std::int32_t argc() const { return static_cast<std::int32_t>(words.size()); }
    OptionParser parser() const {
        return OptionParser(argc(), argv.data(), programOptionString(), programLongOptions());
    }
    std::vector<std::string> words;
    std::vector<char*> argv;
};

class ParserWalk : public testing::TestWithParam<ParserCase> {};

TEST_P(ParserWalk, WalksTheCommandLine) {
    const ParserCase& c = GetParam();
    std::vector<std::string> words = {"barwright"};
    words.insert(words.end(), c.arguments.begin(), c.arguments.end());
    const CommandLine line(words);
    OptionParser parser = line.parser();

    std::vector<Step> actual;
    // One call more than expected at most, so that a parser that never
    // ends cannot hang the test.
    while (actual.size() <= c.steps.size()) {
        const std::int32_t result = parser.next();
        actual.push_back({result, parser.value(), parser.index()});
        if (result == kEnd) {
            break;
        }
    }
    ASSERT_EQ(actual.size(), c.steps.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("call " + std::to_string(i + 1));
        EXPECT_EQ(actual[i].result, c.steps[i].result);
        EXPECT_EQ(actual[i].indexAfter, c.steps[i].indexAfter);
        if (c.steps[i].argument != nullptr) {
            ASSERT_NE(actual[i].argument, nullptr);
            EXPECT_STREQ(actual[i].argument, c.steps[i].argument);
        }
    }
    EXPECT_EQ(parser.message(), c.message);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParserWalk, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ParserCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ParserState, ValuePointsIntoTheCommandLine) {
    const CommandLine line({"barwright", "-x", "300", "-q0"});
    OptionParser parser = line.parser();
    EXPECT_EQ(parser.next(), 'x');
    EXPECT_EQ(parser.value(), line.argv[2]);
    EXPECT_EQ(parser.next(), 'q');
    EXPECT_EQ(parser.value(), line.argv[3] + 2);
}

TEST(ParserState, LetterAndWordOfTheLastOption) {
    const CommandLine line({"barwright", "-hk", "--colx=1"});
    OptionParser parser = line.parser();
    EXPECT_EQ(parser.next(), 'h');
    EXPECT_EQ(parser.letter(), 'h');
    EXPECT_EQ(parser.next(), kBad);
    EXPECT_EQ(parser.letter(), 'k');
    EXPECT_STREQ(parser.word(), "-hk");
    EXPECT_EQ(parser.next(), kBad);
    EXPECT_STREQ(parser.word(), "--colx=1");
}

// Two walks over the same command line keep nothing in common: each parser
// starts at the first argument, whatever another has left half-read.
TEST(ParserState, WalksAreIndependent) {
    const CommandLine line({"barwright", "-hx", "1"});
    OptionParser first = line.parser();
    EXPECT_EQ(first.next(), 'h');
    OptionParser second = line.parser();
    EXPECT_EQ(second.next(), 'h');
    EXPECT_EQ(second.next(), 'x');
    EXPECT_EQ(first.next(), 'x');
    EXPECT_STREQ(first.value(), "1");
}

TEST(ParserCodes, LongOptionsReturnTheirCode) {
    const LongOption table[] = {{"verbose", false, 300}, {"level", true, 301}, {nullptr, false, 0}};
    const CommandLine line({"barwright", "--verb", "--lev=3", "f"});
    OptionParser parser(line.argc(), line.argv.data(), "h", table);
    EXPECT_EQ(parser.next(), 300);
    EXPECT_EQ(parser.value(), nullptr);
    EXPECT_EQ(parser.next(), 301);
    EXPECT_STREQ(parser.value(), "3");
    EXPECT_EQ(parser.next(), kEnd);
    EXPECT_EQ(parser.index(), 3);
}

}  // namespace
}  // namespace barwright
