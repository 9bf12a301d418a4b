// Runs that end before anything is encoded: the usage text, the option
// parser's complaints and a missing file name. None of them may create,
// truncate or change a file.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli/ExpectedText.h"
#include "cli/RunProgram.h"

namespace barwright::test {
namespace {

struct EarlyExitCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string standardOutput;
    std::string standardError;
};

const std::string kNoFileName = failureText("Error: Output file name cant be empty.");

const EarlyExitCase kEarlyExitCases[] = {
    {"NoArguments", {}, 24, "", kNoFileName},
    {"OptionsUseUpTheCommandLine", {"-x", "300", "-d", "out.png"}, 24, "", kNoFileName},
    {"DoubleDashOnly", {"--"}, 24, "", kNoFileName},
    {"OptionsThenDoubleDash", {"-x", "300", "--"}, 24, "", kNoFileName},

    {"Help", {"-h"}, 0, kUsage, ""},
    {"HelpLong", {"--help"}, 0, kUsage, ""},
    {"HelpAbbreviated", {"--he"}, 0, kUsage, ""},
    {"HelpIgnoresItsValue", {"--help=1"}, 0, kUsage, ""},
    {"EmptyLongNameIsHelp", {"--=5"}, 0, kUsage, ""},
    {"HelpAfterOtherOptions", {"-x", "300", "-d", "abc", "-h", "out.png"}, 0, kUsage, ""},
    {"HelpFirstInGroup", {"-hk", "out.png"}, 0, kUsage, ""},
    {"HelpStopsBeforeBadOption", {"-h", "--foo", "out.png"}, 0, kUsage, ""},

    {"UnknownLetter", {"-k", "out.png"}, 1, "", "Unknown option `-k'.\n" + kUsage},
    {"ColonIsNoLetter", {"-:", "out.png"}, 1, "", "Unknown option `-:'.\n" + kUsage},
    {"UnknownByteLetter", {"-\xe9", "out.png"}, 1, "", "Unknown option `-\xe9'.\n" + kUsage},
    {"BadOptionAfterGoodOnes",
     {"-x", "300", "-d", "abc", "-k", "out.png"},
     1,
     "",
     "Unknown option `-k'.\n" + kUsage},
    {"BadOptionStopsBeforeHelp", {"-k", "-h"}, 1, "", "Unknown option `-k'.\n" + kUsage},
    {"MissingShortArgument", {"-x"}, 1, "", "Missing argument for `-x'.\n" + kUsage},
    {"MissingArgumentAtTheEnd",
     {"-x", "300", "-d"},
     1,
     "",
     "Missing argument for `-d'.\n" + kUsage},
    {"MissingLongArgument", {"--data"}, 1, "", "argument required: `data'.\n" + kUsage},
    {"MissingAbbreviatedArgument", {"--xs"}, 1, "", "argument required: `xs'.\n" + kUsage},
    {"UnknownLongName", {"--foo=bar", "out.png"}, 1, "", "invalid option `foo'.\n" + kUsage},
    {"LongerThanAnyName", {"--colx", "3", "out.png"}, 1, "", "invalid option `colx'.\n" + kUsage},
    {"CaseMatters", {"--Col", "3", "out.png"}, 1, "", "invalid option `Col'.\n" + kUsage},
    {"ThreeDashes", {"---x", "out.png"}, 1, "", "invalid option `-x'.\n" + kUsage},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const EarlyExitCase& c, std::ostream* os) { *os << c.name; }

class EarlyExit : public testing::TestWithParam<EarlyExitCase> {};

TEST_P(EarlyExit, PrintsExactlyAndLeavesFilesAlone) {
    const EarlyExitCase& c = GetParam();
    TemporaryDirectory directory;
    const std::string oldBytes = "not a PNG, must survive\n";
    writeFile(directory.path() / "out.png", oldBytes);

    const ProgramRun run = runBarwright(c.arguments, directory.path());

    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardOutput, c.standardOutput);
    EXPECT_EQ(run.standardError, c.standardError);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
    EXPECT_EQ(readFile(directory.path() / "out.png"), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, EarlyExit, testing::ValuesIn(kEarlyExitCases),
                         [](const testing::TestParamInfo<EarlyExitCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CommandLine, UsageNamesTheProgramWhateverItWasStartedAs) {
    TemporaryDirectory directory;
    const ProgramRun run = runProgram(BARWRIGHT_EXE, {"-h"}, directory.path(), "/opt/pdfmaker");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, kUsage);
}

}  // namespace
}  // namespace barwright::test
