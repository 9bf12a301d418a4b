// No failure may cost the user an existing file: whatever status a run ends
// with, a file that was there keeps its bytes and nothing else is left
// behind. And runs side by side never mix up their files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/ExpectedText.h"
#include "cli/PngImage.h"
#include "cli/RunProgram.h"

namespace barwright::test {
namespace {

const std::string kPrecious = "precious bytes that must survive\n";

struct FailingRun {
    const char* name;
    std::vector<std::string> arguments;  // "out.png" is added at the end
    int exitStatus;
};

std::ostream& operator<<(std::ostream& out, const FailingRun& c) { return out << c.name; }

std::string manyLetters() { return std::string(3000, 'A'); }

const FailingRun kFailingRuns[] = {
    {"BadOption", {"-k"}, 1},
    {"MissingArgumentSwallowsName", {"-d"}, 24},
    {"ModuleWidthRoundsToZero", {"-n", "0.4"}, 1},
    {"TextModeRefusesBytes", {"-m", "1", "-d", "\x80"}, 5},
    {"NumericModeRefusesLetters", {"-m", "2", "-d", "abc"}, 6},
    {"DataCountAbove928", {"-d", manyLetters()}, 7},
    {"ColumnsOutOfRange", {"-c", "40"}, 8},
    {"RowsOutOfRange", {"-r", "2"}, 9},
    {"ColumnsAndRowsNull", {"-c", "0"}, 10},
    {"DataTooLarge", {"-c", "1", "-d", std::string(600, 'A')}, 11},
    {"GridTooSmall", {"-c", "1", "-r", "3", "-d", std::string(50, 'A')}, 12},
    {"ColumnsTooLarge", {"-x", "10", "-y", "10"}, 14},
    {"RowsTooLarge", {"-x", "300", "-y", "10"}, 15},
    {"ImageTooLarge", {"-x", "99999999999"}, 28},
};

class NothingLost : public testing::TestWithParam<FailingRun> {};

TEST_P(NothingLost, ExistingFileKeepsItsBytes) {
    const FailingRun& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "out.png", kPrecious);
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("out.png");
    const ProgramRun run = runBarwright(arguments, directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(readFile(directory.path() / "out.png"), kPrecious);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
}

INSTANTIATE_TEST_SUITE_P(CommandLine, NothingLost, testing::ValuesIn(kFailingRuns),
                         [](const auto& info) { return std::string(info.param.name); });

// A write that fails half-way: a file-size limit of a few kilobytes stops a
// large picture in the middle. The run must end with 26 (not be killed by
// SIGXFSZ), and the old file must be whole.
TEST(NothingLostOnWrite, FileSizeLimitKeepsTheOldFile) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "out.png", kPrecious);
    // ulimit -f counts 512-byte blocks; a 2000 x 2000 picture of
    // 600 letters compresses to far more than 4 KiB.
    const ProgramRun run =
        runProgram("/bin/sh",
                   {"-c", "ulimit -f 8 && exec \"$0\" \"$@\"", BARWRIGHT_EXE, "-x", "2000", "-y",
                    "2000", "-c", "20", "-d", std::string(500, 'Q') + "0123456789", "out.png"},
                   directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, 26);
    EXPECT_EQ(run.standardError, failureText("Error: Cant close output file."));
    EXPECT_EQ(readFile(directory.path() / "out.png"), kPrecious);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
}

// The same limit without an old file: the run still ends cleanly.
TEST(NothingLostOnWrite, FileSizeLimitOnANewFileEndsCleanly) {
    TemporaryDirectory directory;
    const ProgramRun run =
        runProgram("/bin/sh",
                   {"-c", "ulimit -f 8 && exec \"$0\" \"$@\"", BARWRIGHT_EXE, "-x", "2000", "-y",
                    "2000", "-c", "20", "-d", std::string(500, 'Q'), "out.png"},
                   directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, 26);
}

// Permissions still count: a file we may not write is refused with 25 and
// keeps its bytes, even though the folder would let us replace it.
TEST(NothingLostOnOpen, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    TemporaryDirectory directory;
    const std::filesystem::path file = directory.path() / "out.png";
    writeFile(file, kPrecious);
    ::chmod(file.c_str(), 0444);
    const ProgramRun run = runBarwright({"out.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 25);
    EXPECT_EQ(readFile(file), kPrecious);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
}

// A writable file in a folder that takes no new files is written in place.
TEST(NothingLostOnOpen, WritableFileInReadOnlyFolderIsWritten) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may create files in any folder";
    }
    TemporaryDirectory directory;
    writeFile(directory.path() / "out.png", kPrecious);
    ::chmod(directory.path().c_str(), 0555);
    const ProgramRun run = runBarwright({"out.png"}, directory.path());
    ::chmod(directory.path().c_str(), 0755);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(readPng(directory.path() / "out.png").valid);
}

constexpr int kSideBySide = 8;
constexpr int kRounds = 3;

std::vector<std::string> argumentsFor(int index, const std::string& fileName) {
    // Different data, shapes and orientations, so that a mix-up shows in
    // the pixels.
    static const char* const kOrientations[] = {"0", "90", "180", "270"};
    return {"-d",    "run " + std::to_string(index) + std::string(index * 7, 'x'),
            "-c",    std::to_string(1 + index % 5),
            "-o",    kOrientations[index % 4],
            "-n",    std::to_string(1 + index % 3),
            fileName};
}

// Runs the eight command lines at once, each in its own thread.
std::vector<ProgramRun> runSideBySide(const std::filesystem::path& folder,
                                      const std::vector<std::vector<std::string>>& commandLines) {
    std::vector<ProgramRun> runs(commandLines.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < commandLines.size(); ++i) {
        threads.emplace_back(
            [&, i] { runs[i] = runProgram(BARWRIGHT_EXE, commandLines[i], folder); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return runs;
}

TEST(SideBySide, EightRunsWriteEightRightFiles) {
    TemporaryDirectory reference;
    std::vector<PngImage> expected;
    for (int i = 0; i < kSideBySide; ++i) {
        const ProgramRun run = runBarwright(argumentsFor(i, "ref.png"), reference.path());
        ASSERT_EQ(run.exitStatus, 0);
        expected.push_back(readPng(reference.path() / "ref.png"));
        ASSERT_TRUE(expected.back().valid);
    }
    for (int round = 0; round < kRounds; ++round) {
        TemporaryDirectory directory;
        std::vector<std::vector<std::string>> commandLines;
        for (int i = 0; i < kSideBySide; ++i) {
            // Half of them replace a file that is already there.
            const std::string name = "out" + std::to_string(i) + ".png";
            if (i % 2 == 0) {
                writeFile(directory.path() / name, kPrecious);
            }
            commandLines.push_back(argumentsFor(i, name));
        }
        const std::vector<ProgramRun> runs = runSideBySide(directory.path(), commandLines);
        for (int i = 0; i < kSideBySide; ++i) {
            EXPECT_EQ(runs[i].exitStatus, 0) << "round " << round << ", run " << i;
            const PngImage image = readPng(directory.path() / ("out" + std::to_string(i) + ".png"));
            ASSERT_TRUE(image.valid) << image.error;
            EXPECT_EQ(image.width, expected[i].width) << "round " << round << ", run " << i;
            EXPECT_EQ(image.height, expected[i].height) << "round " << round << ", run " << i;
            EXPECT_TRUE(image.pixels == expected[i].pixels) << "round " << round << ", run " << i;
        }
        EXPECT_EQ(directory.entries().size(), static_cast<std::size_t>(kSideBySide));
    }
}

// Eight runs replacing one and the same file: whichever comes last wins, but
// the file is always one whole picture, never a mixture or a torn write.
TEST(SideBySide, EightRunsOnOneFileLeaveOneWholePicture) {
    TemporaryDirectory reference;
    std::vector<PngImage> expected;
    for (int i = 0; i < kSideBySide; ++i) {
        ASSERT_EQ(runBarwright(argumentsFor(i, "ref.png"), reference.path()).exitStatus, 0);
        expected.push_back(readPng(reference.path() / "ref.png"));
    }
    for (int round = 0; round < kRounds; ++round) {
        TemporaryDirectory directory;
        writeFile(directory.path() / "out.png", kPrecious);
        std::vector<std::vector<std::string>> commandLines;
        for (int i = 0; i < kSideBySide; ++i) {
            commandLines.push_back(argumentsFor(i, "out.png"));
        }
        for (const ProgramRun& run : runSideBySide(directory.path(), commandLines)) {
            EXPECT_EQ(run.exitStatus, 0);
        }
        const PngImage image = readPng(directory.path() / "out.png");
        ASSERT_TRUE(image.valid) << image.error;
        bool matchesOne = false;
        for (const PngImage& candidate : expected) {
            matchesOne =
                matchesOne || (candidate.width == image.width && candidate.height == image.height &&
                               candidate.pixels == image.pixels);
        }
        EXPECT_TRUE(matchesOne) << "round " << round;
        EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
    }
}

}  // namespace
}  // namespace barwright::test
