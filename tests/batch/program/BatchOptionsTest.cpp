// barwright-batch's command line: its own options are checked strictly and a
// bad one is refused before anything is read or written; the symbol options
// are barwright's, with barwright's letters, abbreviations and lenient
// values, so the same options give the same file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

struct RefusalCase {
    const char* name;
    std::vector<std::string> arguments;
    int exitStatus;
    std::string standardError;  // after "barwright-batch: "
    const char* sourceDateEpoch = nullptr;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

const std::string kTry = "\nTry 'barwright-batch --help'.\n";

const RefusalCase kRefusals[] = {
    {"UnknownLetter", {"-k", "out.png"}, 64, "unknown option '-k'" + kTry},
    {"UnknownLongName", {"--colour", "3", "out.png"}, 64, "unknown option '--colour'" + kTry},
    {"OptionsAfterTemplate",
     {"out.png", "-c"},
     64,
     "unexpected argument '-c' after TEMPLATE (options go before it)" + kTry},
    {"MissingValueAtTheEnd", {"-c"}, 64, "option '-c' needs a value" + kTry},
    {"MissingLongValue", {"--input"}, 64, "option '--input' needs a value" + kTry},
    {"ValueOnAFlag",
     {"--csv=yes", "--input", "in", "out.png"},
     64,
     "option '--csv' takes no value" + kTry},
    {"NoTemplate",
     {"-c", "3"},
     64,
     "no TEMPLATE: name the output files (or '-' for standard output)" + kTry},
    {"BadTemplate",
     {"out{n.png"},
     64,
     "TEMPLATE 'out{n.png': \"{\" at character 4 is never closed (a literal brace is written "
     "\"{{\")" +
         kTry},
    {"UnknownExtension",
     {"out.jpg"},
     64,
     "cannot tell the format from 'out.jpg': name it with --format (png, png1, svg, eps, txt or "
     "pdf)" +
         kTry},
    {"UnknownFormat",
     {"--format", "gif", "out.png"},
     64,
     "unknown format 'gif' (known: png, png1, svg, eps, txt, pdf)" + kTry},
    {"DpiZero",
     {"--dpi", "0", "out.png"},
     64,
     "--dpi takes a whole number from 1 to 1000000, not '0'" + kTry},
    {"DpiTooLarge",
     {"--dpi", "1000001", "out.png"},
     64,
     "--dpi takes a whole number from 1 to 1000000, not '1000001'" + kTry},
    {"DpiNotANumber",
     {"--dpi", "300dpi", "out.png"},
     64,
     "--dpi takes a whole number from 1 to 1000000, not '300dpi'" + kTry},
    {"DpiForText",
     {"--dpi", "300", "out.txt"},
     64,
     "--dpi has no meaning for the txt format" + kTry},
    {"JobsZero",
     {"--jobs", "0", "out.png"},
     64,
     "--jobs takes a whole number from 1 to 256, not '0'" + kTry},
    {"JobsTooMany",
     {"--jobs", "257", "out.png"},
     64,
     "--jobs takes a whole number from 1 to 256, not '257'" + kTry},
    {"MacroZero",
     {"--macro", "0", "out{s}.png"},
     64,
     "--macro takes a number of symbols from 1 to 99999, not '0'" + kTry},
    {"MacroTooMany",
     {"--macro", "100000", "out{s}.png"},
     64,
     "--macro takes a number of symbols from 1 to 99999, not '100000'" + kTry},
    {"MacroWithoutSegmentName",
     {"--macro", "2", "out{n}.png"},
     64,
     "--macro 2 needs {s} in TEMPLATE to name the segments apart" + kTry},
    {"MacroOnStandardOutput",
     {"--macro", "2", "-"},
     64,
     "standard output takes one symbol, and --macro 2 makes 2" + kTry},
    {"FileIdBadGroup",
     {"--macro", "2", "--file-id", "#900", "{s}.png"},
     64,
     "--file-id '#900' is no Macro PDF417 file ID: digits, or '#' and groups of three digits of "
     "000 to 899" +
         kTry},
    {"FileIdCutGroup",
     {"--macro", "2", "--file-id", "#12", "{s}.png"},
     64,
     "--file-id '#12' is no Macro PDF417 file ID: digits, or '#' and groups of three digits of 000 "
     "to 899" +
         kTry},
    {"FileIdWithoutMacro",
     {"--file-id", "#001", "out.png"},
     64,
     "--file-id is for Macro PDF417: give --macro too" + kTry},
    {"BinaryAndCsv",
     {"--binary", "--csv", "--input", "in", "out.png"},
     64,
     "--binary, --csv and --null exclude each other" + kTry},
    {"NullWithoutInput", {"-0", "out.png"}, 64, "--null reads its records from --input" + kTry},
    {"TemplateContradictsTheFormat",
     {"--format", "svg", "out.png"},
     64,
     "TEMPLATE 'out.png' names png files, and --format asks for svg" + kTry},
    {"ColourByName",
     {"-b", "white", "out.png"},
     64,
     "-b, --bcolor takes a colour as rrggbb, #rrggbb or 0xrrggbb (six hexadecimal digits), not "
     "'white'" +
         kTry},
    {"ColourCutShort",
     {"--fcolor=fff", "out.png"},
     64,
     "-f, --fcolor takes a colour as rrggbb, #rrggbb or 0xrrggbb (six hexadecimal digits), not "
     "'fff'" +
         kTry},
    {"ReportAndSymbolOnStandardOutput",
     {"--report", "-", "-"},
     64,
     "--report - and TEMPLATE - cannot both write to standard output" + kTry},
    {"ReportOverTheInput",
     {"--input", "in", "--report", "./in", "out.png"},
     64,
     "--report names the input file in\n"},
    {"ReportInAMissingFolder",
     {"--report", "absent/report.csv", "out.png"},
     73,
     "cannot create the report absent/report.csv: No such file or directory\n"},
    {"BinaryWithoutInput",
     {"--binary", "out.png"},
     64,
     "--binary reads its records from --input" + kTry},
    {"CsvWithoutInput", {"--csv", "out.png"}, 64, "--csv reads its records from --input" + kTry},
    {"MalformedSourceDateEpoch",
     {"out.png"},
     64,
     "SOURCE_DATE_EPOCH '17e8' is not a number of seconds since 1970 (up to the year 9999)\n",
     "17e8"},
    // Label sheets: the one PDF takes every record, a record one label.
    {"SheetNamedPerRecord",
     {"--sheet", "a4", "labels-{n}.pdf"},
     64,
     "--sheet puts every record in the one PDF that TEMPLATE names: 'labels-{n}.pdf' may not "
     "hold {n} or {s}" +
         kTry},
    {"SheetOfAnotherFormat",
     {"--sheet", "a4", "out.png"},
     64,
     "--sheet writes PDF, and TEMPLATE 'out.png' names png files" + kTry},
    {"SheetWithMacro",
     {"--sheet", "a4", "--macro", "2", "out.pdf"},
     64,
     "--sheet places one symbol a record, and --macro makes several: write Macro PDF417 symbols "
     "as files" +
         kTry},
    {"SheetOptionWithoutSheet",
     {"--caption", "No {n}", "out.png"},
     64,
     "--caption is for label sheets: give --sheet too" + kTry},
    {"UnknownPaper",
     {"--sheet", "a5", "out.pdf"},
     64,
     "--sheet takes a4, letter or WIDTHxHEIGHT in millimetres (each 1 to 5080), not 'a5'" + kTry},
    {"GridWithoutRows",
     {"--sheet", "a4", "--grid", "3x", "out.pdf"},
     64,
     "--grid takes COLUMNSxROWS, each from 1 to 1000, not '3x'" + kTry},
    {"MarginFillsThePaper",
     {"--sheet", "100x60", "--margin", "30", "out.pdf"},
     64,
     "--margin 30 leaves no room on paper of 100 x 60 mm" + kTry},
    {"GapsFillTheGrid",
     {"--sheet", "a4", "--grid", "20x2", "--gap", "10", "out.pdf"},
     64,
     "--grid 20x2 with --gap 10 leaves no room for the labels" + kTry},
    {"SheetOverTheReport",
     {"--sheet", "a4", "--report", "out.pdf", "out.pdf"},
     64,
     "--report and TEMPLATE name the same file out.pdf\n"},
    {"SheetOverTheInput",
     {"--sheet", "a4", "--input", "in", "in"},
     64,
     "TEMPLATE names the input file in\n"},
    {"MissingInput",
     {"--input", "absent.txt", "out.png"},
     66,
     "cannot open absent.txt: No such file or directory\n"},
    {"FolderAsInput", {"--input", ".", "out.png"}, 66, "cannot read .: Is a directory\n"},
};

class BatchRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(BatchRefusal, RefusedBeforeAnyFile) {
    const RefusalCase& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "in", "a,b\n");
    const std::string oldBytes = "not a PNG, must survive\n";
    writeFile(directory.path() / "out.png", oldBytes);
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", c.sourceDateEpoch);

    const ProgramRun run = runBatch(c.arguments, directory.path());

    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardOutput, "");
    EXPECT_EQ(run.standardError, "barwright-batch: " + c.standardError);
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"in", "out.png"}));
    EXPECT_EQ(readFile(directory.path() / "out.png"), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, BatchRefusal, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(BatchCommandLine, HelpAndVersion) {
    TemporaryDirectory directory;
    for (const char* help : {"-h", "--help", "--he"}) {
        const ProgramRun run = runBatch({"-c", "3", help, "--bogus", "out.png"}, directory.path());
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_EQ(run.standardOutput.rfind("Usage: barwright-batch [OPTIONS] TEMPLATE\n", 0), 0u);
        EXPECT_NE(run.standardOutput.find("--any-path"), std::string::npos);
        EXPECT_EQ(run.standardError, "");
    }
    const ProgramRun version = runBatch({"--version"}, directory.path());
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.standardOutput, "barwright-batch 1.2\n");
    EXPECT_TRUE(directory.entries().empty());
}

// The same symbol options, however written, give barwright's file byte for
// byte: long names and their abbreviations (the earliest name winning, as in
// barwright's table), values in the same word, short groups, and values out
// of range dropped silently.
TEST(BatchCommandLine, SymbolOptionsAreBarwrights) {
    const std::vector<std::vector<std::string>> cases = {
        {"--c", "5", "--d", "abc", "--a", "2"},
        {"--col=4", "--xs=300", "--ys", "150", "-z0", "-v", "2"},
        {"-e", "12", "-m", "7", "-o", "45", "-n", "-1", "-d", "dropped values"},
        {"-q0", "-t1", "-d", "joined values", "-e3"},
        {"--f", "ff0000", "--b", "00ff00", "-d", "colours", "-n", "2.6", "-a", "3.5"},
        {"-d", "first", "-d", "second", "-c", "abc"},
    };
    TemporaryDirectory directory;
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", "1234567890");
    for (const std::vector<std::string>& options : cases) {
        std::vector<std::string> arguments = options;
        arguments.push_back("theirs.png");
        const ProgramRun theirs = runBarwrightIn(arguments, directory.path());
        arguments.back() = "ours.png";
        const ProgramRun ours = runBatch(arguments, directory.path());
        EXPECT_EQ(ours.exitStatus, theirs.exitStatus) << arguments[0] << " " << ours.standardError;
        EXPECT_EQ(readFile(directory.path() / "ours.png"),
                  readFile(directory.path() / "theirs.png"))
            << arguments[0];
        std::filesystem::remove(directory.path() / "ours.png");
        std::filesystem::remove(directory.path() / "theirs.png");
    }
}

}  // namespace
}  // namespace barwright::test
