// --report: a CSV row per record in input order, with what the record
// became: written ones with their symbol's shape and codewords, failed ones
// with their message; quoted as RFC 4180 asks; on standard output as in a
// file; and a refused run leaves an earlier report as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

const std::string kHeader =
    "record,line,file,status,message,columns,rows,ecl,data_codewords,data_capacity\n";

struct ReportCase {
    const char* name;
    std::vector<std::string> arguments;  // "--report", "report.csv" are added
    std::string input;                   // the file "in"
    int exitStatus;
    std::string report;  // after the header
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

const ReportCase kReportCases[] = {
    // Three columns of five rows hold 15 codewords: 8 of error correction at
    // level 2, the length descriptor and 6 of data.
    {"LinesWrittenAndFailed",
     {"--input", "in", "r{n}.png"},
     "Hello 123\n\n" + std::string(600, 'x') + "\n0123456789\n",
     11,
     "1,1,r1.png,0,Ok.,3,5,2,6,6\n"
     "2,3,r2.png,11,Error: Data to encode too large. (301 data codewords; 3 columns hold 237 at "
     "level 4: --col 4 fits),,,,,\n"
     "3,4,r3.png,0,Ok.,3,5,2,6,6\n"},
    {"CsvNamesQuoted",
     {"--csv", "--input", "in", "x{n}.png"},
     "data,output\nab,\"a,b.png\"\ncd,\"q\"\"uote.txt\"\n",
     0,
     "1,2,\"a,b.png\",0,Ok.,3,4,2,2,3\n2,3,\"q\"\"uote.txt\",0,Ok.,3,4,2,2,3\n"},
    // Over a Macro record's symbols: the first file, the largest rows and
    // level, the sums of the codewords.
    {"MacroRecordSummed",
     {"--macro", "2", "-d", "A longer text over two symbols", "m{s}.png"},
     "",
     0,
     "1,,m1.png,0,Ok.,3,9,2,16,19\n"},
};

class BatchReport : public testing::TestWithParam<ReportCase> {};

TEST_P(BatchReport, OneRowPerRecordInInputOrder) {
    const ReportCase& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "in", c.input);
    std::vector<std::string> arguments = {"--jobs", "3", "--report", "report.csv"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ProgramRun toFile = runBatch(arguments, directory.path());
    EXPECT_EQ(toFile.exitStatus, c.exitStatus) << toFile.standardError;
    EXPECT_EQ(readFile(directory.path() / "report.csv"), kHeader + c.report);

    arguments[3] = "-";
    const ProgramRun toStandardOutput = runBatch(arguments, directory.path());
    EXPECT_EQ(toStandardOutput.exitStatus, c.exitStatus);
    EXPECT_EQ(toStandardOutput.standardOutput, kHeader + c.report);
}

INSTANTIATE_TEST_SUITE_P(Runs, BatchReport, testing::ValuesIn(kReportCases),
                         [](const testing::TestParamInfo<ReportCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(BatchReportFile, RefusedRunKeepsTheEarlierReport) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "in", "data,colour\na,1\n");
    writeFile(directory.path() / "report.csv", "the last run's report\n");
    const ProgramRun run =
        runBatch({"--report", "report.csv", "--csv", "--input", "in", "{n}.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 64);
    EXPECT_EQ(readFile(directory.path() / "report.csv"), "the last run's report\n");
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"in", "report.csv"}));
}

}  // namespace
}  // namespace barwright::test
