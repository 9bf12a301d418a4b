// No failure may cost the user an existing file: whatever status a run ends
// with, a file that was there keeps its bytes and nothing else is left
// behind. And runs side by side never mix up their files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/ExpectedText.h"
#include "cli/RunProgram.h"
#include "support/PngImage.h"

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
    {"BarsInBackgroundColour", {"-b", "#ff0000"}, 1},
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

// Runs stopped by a signal in the middle of writing leave the folder exactly
// as it was: no half-written new file, no hidden temporary file, an old file
// with all its bytes. The picture is large enough (some 200 KB of PNG,
// compressed from 192 MB of pixels over seconds) to be caught at several
// moments, counted in the bytes the program has written so far.
constexpr long long kAtOnce = 0;  // as a rule before the file is opened
// The first buffer of the stream: more than the few bytes a sanitizer's run
// time writes at start.
constexpr long long kFirstBlock = 4096;
constexpr long long kHalfway = 100000;

std::vector<std::string> pictureArguments(const std::string& side) {
    return {"-x", side, "-y", side, "-c", "30", "-d", std::string(1500, '9'), "out.png"};
}
const std::vector<std::string> kLargePicture = pictureArguments("8000");
// A quarter of it, for runs that must also finish.
const std::vector<std::string> kMediumPicture = pictureArguments("4000");

// Lets the program run until it has written the bytes (or ended).
void runUntilWritten(const RunningProgram& program, long long bytes) {
    ASSERT_GE(program.bytesWritten(), 0) << "the bytes a program writes cannot be read";
    while (program.bytesWritten() < bytes && !program.hasEnded()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

struct StoppedRun {
    const char* name;
    int signalNumber;
    long long afterBytes;
    bool existingFile;
    // The program finds no unnamed files and writes a hidden temporary
    // file, which only a signal it can catch lets it remove.
    bool withoutUnnamedFiles;
};

std::ostream& operator<<(std::ostream& out, const StoppedRun& c) { return out << c.name; }

const StoppedRun kStoppedRuns[] = {
    {"KillAtOnce", SIGKILL, kAtOnce, true, false},
    {"KillNewAfterFirstBlock", SIGKILL, kFirstBlock, false, false},
    {"KillNewHalfway", SIGKILL, kHalfway, false, false},
    {"KillExistingAfterFirstBlock", SIGKILL, kFirstBlock, true, false},
    {"KillExistingHalfway", SIGKILL, kHalfway, true, false},
    {"TerminateNewHalfway", SIGTERM, kHalfway, false, false},
    {"TerminateExistingAfterFirstBlock", SIGTERM, kFirstBlock, true, false},
    {"InterruptExistingHalfway", SIGINT, kHalfway, true, false},
    {"HangUpNewAfterFirstBlock", SIGHUP, kFirstBlock, false, false},
    {"TerminateAtOnceWithoutUnnamedFiles", SIGTERM, kAtOnce, false, true},
    {"TerminateExistingHalfwayWithoutUnnamedFiles", SIGTERM, kHalfway, true, true},
    {"TerminateNewAfterFirstBlockWithoutUnnamedFiles", SIGTERM, kFirstBlock, false, true},
    {"InterruptNewHalfwayWithoutUnnamedFiles", SIGINT, kHalfway, false, true},
    {"HangUpExistingAfterFirstBlockWithoutUnnamedFiles", SIGHUP, kFirstBlock, true, true},
};

class StoppedMidWrite : public testing::TestWithParam<StoppedRun> {};

TEST_P(StoppedMidWrite, LeavesTheFolderAsItWas) {
    const StoppedRun& c = GetParam();
    TemporaryDirectory directory;
    if (c.existingFile) {
        writeFile(directory.path() / "out.png", kPrecious);
    }
    const std::vector<std::string> before = directory.entries();
    StartOptions options;
    options.withoutUnnamedFiles = c.withoutUnnamedFiles;
    RunningProgram program(BARWRIGHT_EXE, kLargePicture, directory.path(), options);
    runUntilWritten(program, c.afterBytes);
    if (c.afterBytes > 0) {
        // Meanwhile the new picture shows only as its hidden temporary file.
        EXPECT_EQ(directory.entries().size(), before.size() + (c.withoutUnnamedFiles ? 1 : 0));
    }
    program.sendSignal(c.signalNumber);
    const ProgramRun run = program.finish();
    EXPECT_EQ(run.terminatingSignal, c.signalNumber);
    EXPECT_EQ(directory.entries(), before);
    if (c.existingFile) {
        EXPECT_EQ(readFile(directory.path() / "out.png"), kPrecious);
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedMidWrite, testing::ValuesIn(kStoppedRuns),
                         [](const auto& info) { return std::string(info.param.name); });

// A hang-up that the program was started to ignore (nohup) stays ignored.
TEST(StoppedMidWrite, IgnoredHangUpLetsTheRunFinish) {
    TemporaryDirectory directory;
    std::vector<std::string> arguments = {"-c", "trap '' HUP && exec \"$0\" \"$@\"", BARWRIGHT_EXE};
    arguments.insert(arguments.end(), kMediumPicture.begin(), kMediumPicture.end());
    RunningProgram program("/bin/sh", arguments, directory.path());
    runUntilWritten(program, kFirstBlock);
    program.sendSignal(SIGHUP);
    const ProgramRun run = program.finish();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(readPng(directory.path() / "out.png").valid);
}

// A name that another writer makes while a new file is being written is
// taken over by the complete new picture, as an old file would be.
TEST(NothingLostOnWrite, NameMadeMeanwhileTakesTheNewPicture) {
    TemporaryDirectory directory;
    RunningProgram program(BARWRIGHT_EXE, kMediumPicture, directory.path());
    runUntilWritten(program, kFirstBlock);
    ASSERT_FALSE(program.hasEnded());
    writeFile(directory.path() / "out.png", kPrecious);
    EXPECT_EQ(program.finish().exitStatus, 0);
    EXPECT_TRUE(readPng(directory.path() / "out.png").valid);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
}

// Without unnamed files the hidden temporary file takes their part, and the
// same files come out: a new one as the umask makes it, a replaced one with
// its old permissions.
TEST(NothingLostOnWrite, WithoutUnnamedFilesTheSameFilesComeOut) {
    TemporaryDirectory directory;
    const std::filesystem::path old = directory.path() / "old.png";
    writeFile(old, kPrecious);
    ::chmod(old.c_str(), 0604);
    StartOptions options;
    options.withoutUnnamedFiles = true;
    const mode_t mask = ::umask(027);
    for (const char* name : {"old.png", "new.png"}) {
        EXPECT_EQ(
            RunningProgram(BARWRIGHT_EXE, {name}, directory.path(), options).finish().exitStatus, 0)
            << name;
    }
    ::umask(mask);
    struct ModeCase {
        const char* name;
        mode_t mode;
    };
    for (const ModeCase& c : {ModeCase{"old.png", 0604}, ModeCase{"new.png", 0640}}) {
        struct stat written {};
        ASSERT_EQ(::stat((directory.path() / c.name).c_str(), &written), 0) << c.name;
        EXPECT_EQ(written.st_mode & 07777, c.mode) << c.name;
        EXPECT_TRUE(readPng(directory.path() / c.name).valid) << c.name;
    }
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"new.png", "old.png"}));
}

// A symbolic link leads to the file that is replaced: a write that fails
// leaves that file whole, one that succeeds gives it the new picture and
// keeps its permissions, and every link stays a link.
struct LinkShape {
    const char* name;
    // Made in order: each link's name and contents, where "@" stands for the
    // run's folder. All lead to real/target.png.
    std::vector<std::pair<std::string, std::string>> links;
};

std::ostream& operator<<(std::ostream& out, const LinkShape& c) { return out << c.name; }

const LinkShape kLinkShapes[] = {
    {"OneLinkIntoAFolder", {{"out.png", "real/target.png"}}},
    {"AbsoluteLink", {{"out.png", "@/real/target.png"}}},
    {"ChainOfLinks", {{"second.png", "real/target.png"}, {"out.png", "second.png"}}},
    {"RelativeToTheLinksFolder", {{"real/link.png", "target.png"}, {"out.png", "real/link.png"}}},
    {"ThroughALinkedFolder", {{"alias", "real"}, {"out.png", "alias/target.png"}}},
};

class ThroughALink : public testing::TestWithParam<LinkShape> {};

TEST_P(ThroughALink, TargetIsReplacedWhole) {
    const LinkShape& c = GetParam();
    TemporaryDirectory directory;
    const std::filesystem::path real = directory.path() / "real";
    std::filesystem::create_directory(real);
    writeFile(real / "target.png", kPrecious);
    ::chmod((real / "target.png").c_str(), 0640);
    for (const auto& [name, contents] : c.links) {
        const std::string target =
            contents[0] == '@' ? directory.path().string() + contents.substr(1) : contents;
        std::filesystem::create_symlink(target, directory.path() / name);
    }
    const std::vector<std::string> folderBefore = directory.entries();
    const std::vector<std::string> realBefore = TemporaryDirectory::entriesOf(real);
    const auto linksStay = [&] {
        for (const auto& link : c.links) {
            EXPECT_TRUE(std::filesystem::is_symlink(directory.path() / link.first)) << link.first;
        }
        EXPECT_EQ(directory.entries(), folderBefore);
        EXPECT_EQ(TemporaryDirectory::entriesOf(real), realBefore);
    };

    // 4 KiB is far less than the picture.
    const ProgramRun failed =
        runProgram("/bin/sh",
                   {"-c", "ulimit -f 8 && exec \"$0\" \"$@\"", BARWRIGHT_EXE, "-x", "2000", "-y",
                    "2000", "-c", "20", "-d", std::string(500, 'Q'), "out.png"},
                   directory.path());
    EXPECT_EQ(failed.exitStatus, 26);
    EXPECT_EQ(readFile(real / "target.png"), kPrecious);
    linksStay();

    EXPECT_EQ(runBarwright({"out.png"}, directory.path()).exitStatus, 0);
    EXPECT_TRUE(readPng(real / "target.png").valid);
    struct stat replaced {};
    ASSERT_EQ(::stat((real / "target.png").c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
    linksStay();
}

INSTANTIATE_TEST_SUITE_P(SymbolicLinks, ThroughALink, testing::ValuesIn(kLinkShapes),
                         [](const auto& info) { return std::string(info.param.name); });

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
