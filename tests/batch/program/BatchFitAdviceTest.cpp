// Data that does not fit says what would: the data codewords it takes, what
// the record's shape holds, and the first change that fits. Each advice is
// then taken, and the record must be written and read back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

std::string repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

struct AdviceCase {
    const char* name;
    std::vector<std::string> options;
    std::string data;  // with escapes
    std::string bytes;
    int exitStatus;
    std::string message;               // after "out.png: "
    std::vector<std::string> advised;  // the change the message names
};

void PrintTo(const AdviceCase& c, std::ostream* os) { *os << c.name; }

const AdviceCase kAdviceCases[] = {
    {"MoreColumns",
     {},
     std::string(600, 'x'),
     std::string(600, 'x'),
     11,
     "Error: Data to encode too large. (301 data codewords; 3 columns hold 237 at level 4: "
     "--col 4 fits)",
     {"--col", "4"}},
    {"MoreRowsWhereTheColumnsAreChosen",
     {"-c", "0", "-r", "3"},
     std::string(200, 'x'),
     std::string(200, 'x'),
     11,
     "Error: Data to encode too large. (101 data codewords; 3 rows hold 73 at level 3: --row 4 "
     "fits)",
     {"--row", "4"}},
    {"Shortest",
     {"-c", "30", "-e", "8"},
     repeated("aB1~X01", 60),
     repeated("aB1\x01", 60),
     7,
     "Error: Data count above 928. (477 data codewords; 30 columns hold 387 at level 8: "
     "--shortest fits)",
     {"--shortest"}},
    {"LowerLevel",
     {"-c", "30", "-e", "8"},
     repeated("Ab12cD", 80),
     repeated("Ab12cD", 80),
     7,
     "Error: Data count above 928. (440 data codewords; 30 columns hold 387 at level 8: --ecl 7 "
     "fits)",
     {"--ecl", "7"}},
    {"MacroForDataBeyondOneSymbol",
     {},
     std::string(3000, '7'),
     std::string(3000, '7'),
     7,
     "Error: Data count above 928. (1025 data codewords; 3 columns hold 205 at level 5: --macro 5 "
     "fits)",
     {"--macro", "5"}},
    {"FullestOfTheMacroSymbols",
     {"--macro", "2"},
     std::string(3000, '7'),
     std::string(3000, '7'),
     11,
     "Error: Data to encode too large. (the fullest of 2 symbols: 514 data codewords; 3 columns "
     "hold 196 at level 5: --col 7 fits)",
     {"--col", "7"}},
};

class BatchFitAdvice : public testing::TestWithParam<AdviceCase> {};

TEST_P(BatchFitAdvice, TheAdvisedChangeFits) {
    const AdviceCase& c = GetParam();
    TemporaryDirectory directory;
    const bool macro = c.options.size() == 2 && c.options[0] == "--macro";
    const std::string name = macro ? "out-{s}.png" : "out.png";
    std::vector<std::string> arguments = c.options;
    arguments.insert(arguments.end(), {"-d", c.data});

    std::vector<std::string> failing = arguments;
    failing.push_back(name);
    const ProgramRun run = runBatch(failing, directory.path());
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardError,
              "barwright-batch: " + std::string(macro ? "out-1.png" : "out.png") + ": " +
                  c.message + "\n");

    arguments.insert(arguments.end(), c.advised.begin(), c.advised.end());
    const bool advisedMacro = c.advised[0] == "--macro";
    arguments.push_back(macro || advisedMacro ? "out-{s}.png" : "out.png");
    const ProgramRun advised = runBatch(arguments, directory.path());
    ASSERT_EQ(advised.exitStatus, 0) << advised.standardError;
    if (!macro && !advisedMacro) {
        EXPECT_EQ(decodedBytes(directory.path() / "out.png"), c.bytes);
    } else {
        EXPECT_TRUE(decodedBytes(directory.path() / "out-1.png").has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Records, BatchFitAdvice, testing::ValuesIn(kAdviceCases),
                         [](const testing::TestParamInfo<AdviceCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace barwright::test
