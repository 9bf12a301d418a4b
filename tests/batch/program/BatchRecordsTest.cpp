// What barwright-batch makes of its input: lines with and without escapes,
// CR LF, empty lines, binary input with a NUL, invalid UTF-8, a megabyte
// line, CSV quoting and cells, names from the data, standard input and
// output, and records that fail: each gives the files, messages and exit
// status that the manual describes, and the others are still made.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

struct RecordsCase {
    const char* name;
    std::vector<std::string> arguments;  // run in the folder "work"
    std::string input;                   // written to work/in (and standard input)
    int exitStatus;
    std::string standardError;
    // Files that must exist afterwards (relative to "work") and the data a
    // reader finds in each; every other new file is a fault.
    std::map<std::string, std::string> files;
    bool errorIsPrefix = false;  // standardError gives only the start
};

void PrintTo(const RecordsCase& c, std::ostream* os) { *os << c.name; }

const std::string kNul("\0", 1);
const std::string kMegabyteLine = std::string(1024 * 1024, 'a');

const RecordsCase kRecordsCases[] = {
    {"LinesWithEscapes",
     {"--input", "in", "{n:3}.png"},
     "plain\nt~Tab~~~X41\n",
     0,
     "",
     {{"001.png", "plain"}, {"002.png", "t\tab~A"}}},
    {"RawLinesKeepTheirTildes",
     {"--raw", "--input", "in", "{n}.png"},
     "t~Tab~X41\n",
     0,
     "",
     {{"1.png", "t~Tab~X41"}}},
    {"CrLfEndsALineAndALoneCrIsData",
     {"--input", "in", "{n}.png"},
     "one\r\ntwo\rthree\r\n",
     0,
     "",
     {{"1.png", "one"}, {"2.png", "two\rthree"}}},
    {"EmptyLinesAreSkippedButCounted",
     {"-m", "2", "--input", "in", "{n}.png"},
     "12\n\n\r\nab\n\n34",
     6,
     "barwright-batch: line 4: 2.png: Error: Some of the characters cannot be encoded in the "
     "NUMERIC mode.\n",
     {{"1.png", "12"}, {"3.png", "34"}}},
    {"MegabyteLineFailsAndTheRunGoesOn",
     {"--input", "in", "{n}.png"},
     kMegabyteLine + "\nafter\n",
     7,
     "barwright-batch: line 1: 1.png: Error: Data count above 928. (524289 data codewords; 3 "
     "columns hold 205 at level 5)\n",
     {{"2.png", "after"}}},
    {"BinaryInputWithNul",
     {"--binary", "--input", "in", "data.png"},
     "a" + kNul + "b\xff~X41\n",
     0,
     "",
     {{"data.png", "a" + kNul + "b\xff~X41\n"}}},
    {"BinaryFromStandardInput",
     {"--binary", "--input", "-", "data.png"},
     "x" + kNul + "y",
     0,
     "",
     {{"data.png", "x" + kNul + "y"}}},
    {"InvalidUtf8IsBytes",
     {"--input", "in", "{n}.png"},
     "caf\xe9 \xff\xfe\xc3\n",
     0,
     "",
     {{"1.png", "caf\xe9 \xff\xfe\xc3"}}},
    {"DataOptionWithoutInput", {"-d", "one~Ntwo", "one.png"}, "", 0, "", {{"one.png", "one\ntwo"}}},
    {"RawDataOptionWithoutInput",
     {"--raw", "-d", "a~N", "one.png"},
     "",
     0,
     "",
     {{"one.png", "a~N"}}},
    {"LinesFromStandardInput",
     {"--input", "-", "{n}.png"},
     "first\nsecond\n",
     0,
     "",
     {{"1.png", "first"}, {"2.png", "second"}}},
    {"EmptyInputMakesNothing", {"--input", "in", "{n}.png"}, "\n\n", 0, "", {}},
    {"MissingFolderIsToldOnce",
     {"-m", "2", "--input", "in", "missing/{n}.png"},
     "1\nb\n3\n",
     25,
     "barwright-batch: line 2: missing/2.png: Error: Some of the characters cannot be encoded in "
     "the NUMERIC mode.\n"
     "barwright-batch: folder \"missing\" does not exist: 2 records not written (--mkdir creates "
     "it)\n",
     {}},
    {"MkdirMakesTheFolders",
     {"--mkdir", "--input", "in", "made/{n}/x.png"},
     "a\nb\n",
     0,
     "",
     {{"made/1/x.png", "a"}, {"made/2/x.png", "b"}}},
    {"TemplateWithoutNumberTakesOneRecord",
     {"--input", "in", "out.png"},
     "a\nb\nc\n",
     1,
     "barwright-batch: line 2: out.png: Error: Invalid argument. (TEMPLATE has no {n}, so this "
     "record would replace the file of record 1)\n",
     {{"out.png", "a"}}},
    {"FirstFailureGivesTheStatus",
     {"-m", "1", "--input", "in", "{n}.png"},
     "ok\n\xff\nnope\x01\n",
     5,
     "barwright-batch: line 2: 2.png: Error: Some of the characters cannot be encoded in the TEXT "
     "mode.\n"
     "barwright-batch: line 3: 3.png: Error: Some of the characters cannot be encoded in the TEXT "
     "mode.\n",
     {{"1.png", "ok"}}},

    {"NullSeparatedRecordsAreRaw",
     {"-m", "1", "-0", "--input", "in", "{n}.png"},
     "line\nfeed~N" + kNul + "\xff" + kNul + kNul + "last",
     5,
     "barwright-batch: record 2: 2.png: Error: Some of the characters cannot be encoded in the "
     "TEXT mode.\n",
     {{"1.png", "line\nfeed~N"}, {"3.png", "last"}}},

    // CSV.
    {"CsvHexCellsCarryAnyBytes",
     {"--csv", "--input", "in", "{n}.png"},
     "hex,data\n00417e0A1e,\n,x~~y\n4,\n41,a\n",
     1,
     "barwright-batch: row 3 (line 4): 3.png: Error: Invalid argument. (column \"hex\": \"4\" is "
     "not bytes in hexadecimal (two digits a byte, nothing between))\n"
     "barwright-batch: row 4 (line 5): 4.png: Error: Invalid argument. (a row gives its data in "
     "one "
     "of the columns \"data\" and \"hex\", not in both)\n",
     {{"1.png", kNul + "A~\n\x1e"}, {"2.png", "x~y"}}},
    {"CsvQuoting",
     {"--csv", "--input", "in", "{n}.png"},
     "data,output\n\"a,b\",q1.png\n\"say \"\"hi\"\"\",q2.png\n\"two\r\nlines\",\n",
     0,
     "",
     {{"q1.png", "a,b"}, {"q2.png", "say \"hi\""}, {"3.png", "two\r\nlines"}}},
    {"CsvCrLfAndBlankLines",
     {"--csv", "--input", "in", "{n}.png"},
     "\xEF\xBB\xBF"
     "data,col\r\n\r\nx~~y,4\r\n\r\n,\r\n",
     0,
     "",
     {{"1.png", "x~y"}, {"2.png", "1234567"}}},
    {"CsvCellsOverrideOptions",
     {"-m", "2", "-d", "99", "--csv", "--input", "in", "{n}.png"},
     "data,mode,output\n12,,digits.png\nabc,0,text.png\n,,default.png\n",
     0,
     "",
     {{"digits.png", "12"}, {"text.png", "abc"}, {"default.png", "99"}}},
    {"CsvBadCellsFailTheirRecord",
     {"--csv", "--input", "in", "{n}.png"},
     "data,col,mode,bcolor\nA,abc,,\nB,,7,\nC,,,zz\nD,4,,000000\n",
     1,
     "barwright-batch: row 1 (line 2): 1.png: Error: Invalid argument. (column \"col\": \"abc\" is "
     "not a value of this option)\n"
     "barwright-batch: row 2 (line 3): 2.png: Error: Invalid argument. (column \"mode\": \"7\" is "
     "not a value of this option)\n"
     "barwright-batch: row 3 (line 4): 3.png: Error: Invalid argument. (column \"bcolor\": \"zz\" "
     "is not a value of this option)\n"
     "barwright-batch: row 4 (line 5): 4.png: Error: Invalid argument. (bars 000000 on 000000 "
     "differ in luma by 0 % of full scale; readers need 20 %)\n",
     {}},
    {"CsvBrokenRowsFailAndTheRunGoesOn",
     {"--csv", "--input", "in", "{n}.png"},
     "data,col\nA,3,x\nB\"c,3\n\"two\nlines\",3\nok,3\n\"open,3\n",
     1,
     "barwright-batch: row 1 (line 2): 1.png: Error: Invalid argument. (the row has 3 cells, the "
     "header 2)\n"
     "barwright-batch: row 2 (line 3): 2.png: Error: Invalid argument. (a quote inside an unquoted "
     "cell, or text after a closing quote)\n"
     "barwright-batch: row 5 (line 7): 5.png: Error: Invalid argument. (the input ends inside a "
     "quoted cell)\n",
     {{"3.png", "two\nlines"}, {"4.png", "ok"}}},
    {"CsvNamesStayInTheFolder",
     {"--csv", "--input", "in", "{n}.png"},
     "data,output\na,sub/../../up.png\nb,/tmp/abs.png\nc,sub/{n}.png\nd,..\n",
     25,
     "barwright-batch: row 1 (line 2): sub/../../up.png: Error: Cant open output file. (an output "
     "cell may not leave the current folder; --any-path allows it)\n"
     "barwright-batch: row 2 (line 3): /tmp/abs.png: Error: Cant open output file. (an output "
     "cell may not leave the current folder; --any-path allows it)\n"
     "barwright-batch: row 4 (line 5): ..: Error: Cant open output file. (an output cell may not "
     "leave the current folder; --any-path allows it)\n",
     {{"sub/3.png", "c"}}},
    {"CsvAnyPathLetsNamesOut",
     {"--any-path", "--csv", "--input", "in", "{n}.png"},
     "data,output\na,../up.png\n",
     0,
     "",
     {{"../up.png", "a"}}},
    {"CsvBadOutputCell",
     {"--csv", "--input", "in", "{n}.png"},
     "data,output\na,x{y}.png\n",
     1,
     "barwright-batch: row 1 (line 2): x{y}.png: Error: Invalid argument. (output cell: unknown "
     "placeholder \"{y}\" at character 2 (known: {n}, {n:W}, {s}, {s:W}))\n",
     {}},
    {"CsvUnknownColumnRefusesTheRun",
     {"--csv", "--input", "in", "{n}.png"},
     "data,colour\na,1\n",
     64,
     "barwright-batch: in: line 1: unknown CSV column \"colour\" (known: xsize, ysize, xdim, "
     "data, ",
     {},
     true},
    {"CsvColumnNamedTwiceRefusesTheRun",
     {"--csv", "--input", "in", "{n}.png"},
     "data,col,data\na,1,b\n",
     64,
     "barwright-batch: in: line 1: CSV column \"data\" is named twice\n",
     {}},
    {"CsvCaptionOnlyOnASheet",
     {"--csv", "--input", "in", "{n}.png"},
     "data,caption\na,b\n",
     64,
     "barwright-batch: in: line 1: CSV column \"caption\" is for label sheets: give --sheet\n",
     {}},
    {"CsvOutputNotOnASheet",
     {"--sheet", "a4", "--csv", "--input", "in", "sheet.pdf"},
     "data,output\na,b.png\n",
     64,
     "barwright-batch: in: line 1: CSV column \"output\" names files of their own, and --sheet "
     "puts every record in TEMPLATE's PDF\n",
     {}},
    {"CsvHelpIsNoColumn",
     {"--csv", "--input", "in", "{n}.png"},
     "help\n1\n",
     64,
     "barwright-batch: in: line 1: unknown CSV column \"help\"",
     {},
     true},

    // Standard output.
    {"StandardOutputTakesOneRecord",
     {"--input", "in", "-"},
     "first\nsecond\nthird\n",
     1,
     "barwright-batch: line 2: -: Error: Invalid argument. (standard output takes one record)\n",
     {}},
};

class BatchRecords : public testing::TestWithParam<RecordsCase> {};

TEST_P(BatchRecords, FilesMessagesAndStatus) {
    const RecordsCase& c = GetParam();
    TemporaryDirectory directory;
    const std::filesystem::path work = directory.path() / "work";
    std::filesystem::create_directories(work / "sub");
    writeFile(work / "in", c.input);
    StartOptions options;
    options.standardInput = work / "in";

    const ProgramRun run = runBatch(c.arguments, work, options);

    EXPECT_EQ(run.exitStatus, c.exitStatus);
    if (c.errorIsPrefix) {
        EXPECT_EQ(run.standardError.substr(0, c.standardError.size()), c.standardError);
    } else {
        EXPECT_EQ(run.standardError, c.standardError);
    }
    std::size_t fileCount = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory.path())) {
        fileCount += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(fileCount, c.files.size() + 1) << "files besides the input and those expected";
    for (const auto& [name, data] : c.files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodedBytes(work / name), data);
    }
    if (c.arguments.back() == "-" && c.exitStatus != 64) {
        // The one record on standard output, as a file would hold it.
        writeFile(directory.path() / "stdout.png", run.standardOutput);
        EXPECT_EQ(decodedBytes(directory.path() / "stdout.png"), "first");
    } else {
        EXPECT_EQ(run.standardOutput, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Input, BatchRecords, testing::ValuesIn(kRecordsCases),
                         [](const testing::TestParamInfo<RecordsCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace barwright::test
