// --shortest and the CSV column "shortest": the fewest data codewords for
// each record, read back by zxing-cpp to the record's data. With one column
// and level 0 a symbol has a row per codeword (plus the descriptor and two
// for error correction), so the rows of the text format count them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

struct ShortestCase {
    const char* name;
    std::vector<std::string> arguments;  // before --input and the TEMPLATE
    std::string input;
    std::vector<int> rows;  // of each record's symbol
};

void PrintTo(const ShortestCase& c, std::ostream* os) { *os << c.name; }

// Bytes amid text, where the greedy choice pays most.
const std::vector<std::string> kLines = {
    "~X80~X81a~X82~X83b~X84~X85c~X86~X87d~X88~X89",
    "Hello, World! 1234567890123 and ~XE9t~XE9 ~X1Eabc",
    "https://example.com/track?id=ABC123&ref=mail~X0A",
    "ab~X80cd~X81ef~X82gh~X83ij~X84kl~X85mn",
};
const std::vector<std::string> kData = {
    "\x80\x81"
    "a\x82\x83"
    "b\x84\x85"
    "c\x86\x87"
    "d\x88\x89",
    "Hello, World! 1234567890123 and \xE9t\xE9 \x1E"
    "abc",
    "https://example.com/track?id=ABC123&ref=mail\n",
    "ab\x80"
    "cd\x81"
    "ef\x82"
    "gh\x83"
    "ij\x84"
    "kl\x85"
    "mn",
};
const std::vector<int> kGreedyRows = {17, 38, 33, 27};
const std::vector<int> kShortestRows = {16, 30, 32, 21};

// A data cell: the lines hold commas.
std::string cell(std::size_t record) { return "\"" + kLines[record] + "\""; }

std::string lines() {
    std::string text;
    for (const std::string& line : kLines) text += line + "\n";
    return text;
}

const ShortestCase kShortestCases[] = {
    {"Greedy", {}, lines(), kGreedyRows},
    {"Shortest", {"--shortest"}, lines(), kShortestRows},
    {"ShortestReplacesTheMode", {"--shortest", "-m", "3"}, lines(), kShortestRows},
    {"CsvCellsDecide",
     {"--csv"},
     "data,shortest\n" + cell(0) + ",1\n" + cell(1) + ",0\n" + cell(2) + ",\n" + cell(3) + ",1\n",
     {kShortestRows[0], kGreedyRows[1], kGreedyRows[2], kShortestRows[3]}},
    {"CsvCellOverridesTheOption",
     {"--csv", "--shortest"},
     "shortest,data\n0," + cell(0) + "\n," + cell(1) + "\n",
     {kGreedyRows[0], kShortestRows[1]}},
};

class BatchShortest : public testing::TestWithParam<ShortestCase> {};

TEST_P(BatchShortest, FewerCodewordsSameData) {
    const ShortestCase& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "in", c.input);
    for (const char* format : {"txt", "png"}) {
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(),
                         {"-c", "1", "-e", "0", "--input", "in", std::string("{n}.") + format});
        const ProgramRun run = runBatch(arguments, directory.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    }
    for (std::size_t record = 0; record < c.rows.size(); ++record) {
        const std::string name = std::to_string(record + 1);
        const std::vector<std::uint8_t> text = readBytes(directory.path() / (name + ".txt"));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.rows[record]) << name;
        EXPECT_EQ(decodedBytes(directory.path() / (name + ".png")), kData[record]) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Records, BatchShortest, testing::ValuesIn(kShortestCases),
                         [](const testing::TestParamInfo<ShortestCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(BatchShortestCell, NeitherOneNorZeroFailsItsRecord) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "in", "data,shortest\nabc,yes\ndef,1\n");
    const ProgramRun run = runBatch({"--csv", "--input", "in", "{n}.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError,
              "barwright-batch: row 1 (line 2): 1.png: Error: Invalid argument. (column "
              "\"shortest\": \"yes\" is neither 1 nor 0)\n");
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"2.png", "in"}));
}

}  // namespace
}  // namespace barwright::test
