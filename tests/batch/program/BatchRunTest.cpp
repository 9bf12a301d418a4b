// How a run of barwright-batch behaves as a whole: the same files (and label
// sheets) whatever the number of threads, bounded memory over a long stream,
// a clean stop on a signal, and the progress line on a terminal only.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

// Every file of the folder with its bytes, by name.
std::vector<std::pair<std::string, std::string>> filesOf(const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : TemporaryDirectory::entriesOf(folder)) {
        files.emplace_back(name, readFile(folder / name));
    }
    return files;
}

// Records of many sizes, every tenth one failing in text mode.
std::string mixedRecords(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += i % 10 == 0 ? "bad\x01" : std::string(static_cast<std::size_t>(i * 7 % 200), 'A');
        text += std::to_string(i) + "\n";
    }
    return text;
}

TEST(BatchRun, ThreadsDoNotChangeTheFiles) {
    struct JobsCase {
        const char* name;
        std::vector<std::string> options;
        std::size_t leastFiles;
    };
    const JobsCase cases[] = {
        {"Png", {"-m", "1", "-c", "4", "{n:3}.png"}, 51},
        {"Macro", {"-m", "1", "--macro", "2", "{n}-{s}.png"}, 51},
        {"Svg", {"-m", "1", "-o", "90", "{n}.svg"}, 51},
        {"Txt", {"-m", "1", "{n}.txt"}, 51},
        // Every label in its cell in input order, the failed records' left
        // empty.
        {"Sheet",
         {"-m", "1", "--dpi", "300", "--sheet", "a4", "--grid", "2x3", "--caption", "No {n}",
          "sheet.pdf"},
         1},
    };
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", "1600000000");
    TemporaryDirectory directory;
    writeFile(directory.path() / "records.txt", mixedRecords(60));
    for (const JobsCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ProgramRun> runs;
        std::vector<std::vector<std::pair<std::string, std::string>>> files;
        for (const char* jobs : {"1", "2", "5"}) {
            const std::filesystem::path folder = directory.path() / (std::string(c.name) + jobs);
            std::filesystem::create_directory(folder);
            std::vector<std::string> arguments = {"--jobs", jobs, "--input", "../records.txt"};
            arguments.insert(arguments.end(), c.options.begin(), c.options.end());
            runs.push_back(runBatch(arguments, folder));
            files.push_back(filesOf(folder));
        }
        EXPECT_EQ(runs[0].exitStatus, 5);
        EXPECT_GE(files[0].size(), c.leastFiles);
        for (std::size_t i = 1; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].exitStatus, runs[0].exitStatus);
            EXPECT_EQ(runs[i].standardError, runs[0].standardError);
            EXPECT_TRUE(files[i] == files[0]) << "the files differ with another --jobs";
        }
    }
}

// Every record goes to /dev/null, as files or on label sheets, so the test
// measures the stream, not the disk; memory must not grow with the number
// of records.
TEST(BatchRun, HundredThousandRecordsInBoundedMemory) {
    constexpr int kRecords = 100000;
#ifdef BARWRIGHT_SANITIZED
    // The sanitizers' own memory (shadow, quarantine) is far larger than the
    // program's, and is not what grows with the input.
    constexpr long kLimitKilobytes = 1024 * 1024;
#else
    constexpr long kLimitKilobytes = 64 * 1024;
#endif
    TemporaryDirectory directory;
    std::string csv = "data,output\n";
    csv.reserve(static_cast<std::size_t>(kRecords) * 24);
    for (int i = 1; i <= kRecords; ++i) {
        csv += std::to_string(1000000 + i) + ",/dev/null\n";
    }
    writeFile(directory.path() / "records.csv", csv);

    std::string lines;
    lines.reserve(static_cast<std::size_t>(kRecords) * 8);
    for (int i = 1; i <= kRecords; ++i) {
        lines += std::to_string(1000000 + i) + "\n";
    }
    writeFile(directory.path() / "records.txt", lines);
    const struct {
        const char* name;
        std::vector<std::string> arguments;
    } runs[] = {
        {"files", {"--any-path", "--csv", "--input", "records.csv", "--format", "txt", "{n}.txt"}},
        // Labels on sheets, the pages written as they fill.
        {"sheets", {"--dpi", "600", "--sheet", "a4", "--input", "records.txt", "/dev/null"}},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.name);
        const ProgramRun run = runBatch(r.arguments, directory.path());
        EXPECT_EQ(run.exitStatus, 0) << run.standardError.substr(0, 500);
        EXPECT_EQ(run.standardError, "");
        EXPECT_GT(run.peakKilobytes, 0);
        EXPECT_LT(run.peakKilobytes, kLimitKilobytes);
    }
}

bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::size_t countEnding(const std::filesystem::path& folder, const std::string& suffix) {
    std::size_t count = 0;
    for (const std::string& name : TemporaryDirectory::entriesOf(folder)) {
        count += name.size() > suffix.size() &&
                         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0
                     ? 1
                     : 0;
    }
    return count;
}

struct StopCase {
    const char* name;
    int signalNumber;
    bool waitingForInput;  // blocked on a pipe that gives no more, else busy
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class BatchStop : public testing::TestWithParam<StopCase> {};

// A stop signal in the middle of a run: the records in flight are finished,
// no temporary file stays (hidden temporary files are forced, as on a
// system without unnamed files), the report holds every record written, the
// run says how far it got and ends by the signal.
TEST_P(BatchStop, FinishedFilesStayAndNothingElse) {
    const StopCase& c = GetParam();
    TemporaryDirectory directory;
    const std::filesystem::path input = directory.path() / "input";
    StartOptions options;
    options.withoutUnnamedFiles = true;
    int writer = -1;
    std::size_t expectedWritten = 0;
    if (c.waitingForInput) {
        ASSERT_EQ(::mkfifo(input.c_str(), 0600), 0);
    } else {
        std::string lines;
        for (int i = 0; i < 20000; ++i) lines += "Record " + std::to_string(i) + " of many\n";
        writeFile(input, lines);
    }
    RunningProgram program(BARWRIGHT_BATCH_EXE,
                           {"--jobs", "2", "--report", "report.csv", "--input", "input", "{n}.png"},
                           directory.path(), options);
    if (c.waitingForInput) {
        writer = ::open(input.c_str(), O_WRONLY | O_CLOEXEC);  // waits for the reader
        ASSERT_GE(writer, 0);
        const std::string lines = "one\ntwo\nthree\n";
        ASSERT_EQ(::write(writer, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
        expectedWritten = 3;
        ASSERT_TRUE(waitFor([&] { return countEnding(directory.path(), ".png") == 3; }));
        // Time to go back to reading, where the signal must find it.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    } else {
        ASSERT_TRUE(waitFor([&] { return countEnding(directory.path(), ".png") >= 40; }));
    }
    program.sendSignal(c.signalNumber);
    const ProgramRun run = program.finish();
    if (writer >= 0) {
        ::close(writer);
    }

    EXPECT_EQ(run.terminatingSignal, c.signalNumber);
    const std::size_t written = countEnding(directory.path(), ".png");
    if (c.waitingForInput) {
        EXPECT_EQ(written, expectedWritten);
    }
    EXPECT_LT(written, 20000u);
    EXPECT_EQ(run.standardError, "barwright-batch: interrupted: " + std::to_string(written) +
                                     " records written, 0 failed; input read to line " +
                                     std::to_string(written) + "\n");
    const std::string report = readFile(directory.path() / "report.csv");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), static_cast<long>(written) + 1);
    const std::string last = std::to_string(written) + "," + std::to_string(written) + "," +
                             std::to_string(written) + ".png,0,Ok.,";
    EXPECT_NE(report.find("\n" + last), std::string::npos) << "no row for the last record";
    for (const std::string& name : directory.entries()) {
        EXPECT_EQ(name.find(".barwright-"), std::string::npos) << "a temporary file stayed";
        if (name != "input" && name != "report.csv") {
            EXPECT_TRUE(readPngAsRgb(directory.path() / name).valid) << name << " is cut short";
        }
    }
}

const StopCase kStopCases[] = {
    {"InterruptWhileWaitingForInput", SIGINT, true},
    {"InterruptWhileBusy", SIGINT, false},
    {"TerminateWhileBusy", SIGTERM, false},
    {"HangUpWhileWaitingForInput", SIGHUP, true},
};

INSTANTIATE_TEST_SUITE_P(Signals, BatchStop, testing::ValuesIn(kStopCases),
                         [](const testing::TestParamInfo<StopCase>& info) {
                             return std::string(info.param.name);
                         });

// On a terminal the run shows a progress line, rewritten in place, wiped
// for each error line and ended with a newline; --quiet, or standard error
// that is no terminal (every other test), shows none.
TEST(BatchRun, ProgressOnATerminalOnly) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "records.txt", "a\nb\x01\nc\n");
    StartOptions terminal;
    terminal.standardErrorOnTerminal = true;

    const ProgramRun shown =
        runBatch({"-m", "1", "--input", "records.txt", "{n}.png"}, directory.path(), terminal);
    EXPECT_EQ(shown.exitStatus, 5);
    const std::string& text = shown.standardError;
    EXPECT_TRUE(std::regex_search(text, std::regex("\r3 records, [0-9]+/s, 1 failed\n$"))) << text;
    const std::string error =
        "barwright-batch: line 2: 2.png: Error: Some of the characters cannot be encoded in the "
        "TEXT mode.\n";
    const std::size_t at = text.find(error);
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_TRUE(at == 0 || text[at - 1] == '\r') << "the error line starts mid-line: " << text;

    const ProgramRun quiet = runBatch({"--quiet", "-m", "1", "--input", "records.txt", "{n}.png"},
                                      directory.path(), terminal);
    EXPECT_EQ(quiet.exitStatus, 5);
    EXPECT_EQ(quiet.standardError, error);
}

}  // namespace
}  // namespace barwright::test
