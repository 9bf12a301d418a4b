// Command lines that try to break the program: numbers beyond every range,
// reals that are no numbers, empty and enormous arguments, escapes cut short,
// every byte value, sizes from one pixel to a million, and output paths that
// cannot be written. Every run must end with its status and message, never
// with a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
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

// The longest single argument Linux passes to a program (MAX_ARG_STRLEN is
// 128 KiB including the terminating NUL).
constexpr std::size_t kLongestArgument = 128 * 1024 - 1;

// The default symbol (c = 3) at the default 2-pixel module with quiet zones:
// 17 * 3 + 69 modules plus 4, times 2.
constexpr std::uint32_t kDefaultWidth = 248;
constexpr std::uint32_t kCompactWidth = 180;  // 17 * 3 + 35 + 4 modules, times 2

struct HostileCase {
    const char* name;
    std::vector<std::string> arguments;  // "out.png" is added at the end
    int exitStatus;
    const char* message;              // nullptr when the run must succeed silently
    std::uint32_t expectedWidth = 0;  // checked when not 0
};

std::ostream& operator<<(std::ostream& out, const HostileCase& c) { return out << c.name; }

const HostileCase kHostileCases[] = {
    // Integers are saturated, never wrapped: 2^32 + 200 must not read as 200.
    {"WidthBeyondInt32", {"-x", "99999999999"}, 28, "Error: Cant initialize PNG creator"},
    {"HeightBeyondInt32", {"-y", "99999999999"}, 28, "Error: Cant initialize PNG creator"},
    {"WidthTwoToThe32Plus200", {"-x", "4294967496"}, 28, "Error: Cant initialize PNG creator"},
    {"WidthFarBelowInt32IsDropped", {"-x", "-99999999999"}, 0, nullptr, kDefaultWidth},
    {"ColumnsBeyondInt32",
     {"-c", "99999999999"},
     8,
     "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {"ColumnsTwoToThe32Plus3",
     {"-c", "4294967299"},
     8,
     "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {"ColumnsBelowInt32",
     {"-c", "-99999999999"},
     8,
     "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {"RowsBeyondInt32",
     {"-r", "99999999999"},
     9,
     "Error: Rows number should be from 3 to 90 (or 0-auto)."},
    {"ModeBeyondInt32IsDropped", {"-m", "4294967297"}, 0, nullptr, kDefaultWidth},
    {"LevelBeyondInt32IsDropped", {"-e", "4294967300"}, 0, nullptr, kDefaultWidth},
    {"OrientationTwoToThe32Plus90IsDropped", {"-o", "4294967386"}, 0, nullptr, kDefaultWidth},
    {"CompactTwoToThe32IsOn", {"-t", "4294967296"}, 0, nullptr, kCompactWidth},
    {"QuietZoneTwoToThe32IsOn", {"-q", "4294967296"}, 0, nullptr, kDefaultWidth},
    {"ManyDigits", {"-x", std::string(5000, '9')}, 28, "Error: Cant initialize PNG creator"},
    // Reals: "inf" and "nan" are no numbers (0.0, dropped), -0 is not above
    // 0, and what overflows the pixel range is refused.
    {"ModuleWidthInf", {"-n", "inf"}, 0, nullptr, kDefaultWidth},
    {"ModuleWidthNan", {"-n", "nan"}, 0, nullptr, kDefaultWidth},
    {"ModuleWidthNegativeZero", {"-n", "-0"}, 0, nullptr, kDefaultWidth},
    {"ModuleWidth1e308", {"-n", "1e308"}, 1, "Error: Invalid argument."},
    {"ModuleWidthOverflowsToInfinity", {"-n", "1e999"}, 1, "Error: Invalid argument."},
    {"ModuleWidthDenormal", {"-n", "1e-320"}, 1, "Error: Invalid argument."},
    {"RatioInf", {"-a", "infinity"}, 0, nullptr, kDefaultWidth},
    {"RatioNan", {"-a", "NAN"}, 0, nullptr, kDefaultWidth},
    {"RatioNegativeZero", {"-a", "-0.0"}, 0, nullptr, kDefaultWidth},
    {"Ratio1e308", {"-a", "1e308"}, 1, "Error: Invalid argument."},
    {"Ratio1e308ExplicitSize",
     {"-x", "300", "-y", "300", "-a", "1e308"},
     15,
     "Error: Rows number too large (or increase height/width)."},
    {"HexRealIsNoNumber", {"-n", "0x10"}, 0, nullptr, kDefaultWidth},
    // Empty arguments.
    {"EmptyData", {"-d", ""}, 0, nullptr},
    {"EmptyDataAfterEquals", {"--data="}, 0, nullptr},
    {"EmptyWidthIsDropped", {"-x", ""}, 0, nullptr, kDefaultWidth},
    {"EmptyRealIsDropped", {"-n", ""}, 0, nullptr, kDefaultWidth},
    {"EmptyColumnsReadsAsZero", {"-c", ""}, 10, "Error: Columns and rows cannot be null."},
    // An empty background reads as black, the bars' colour: no visible symbol.
    {"EmptyColourIsBlack", {"-b", ""}, 1, "Error: Invalid argument."},
    // Bars in the background's colour: no reader could see them.
    {"BlackOnBlack", {"-b", "000000"}, 1, "Error: Invalid argument."},
    {"HashPrefixReadsAsBlack", {"-b", "#ff0000"}, 1, "Error: Invalid argument."},
    {"HexPrefixReadsAsBlack", {"-b", "0xffff00"}, 1, "Error: Invalid argument."},
    {"WhiteOnWhite", {"-f", "ffffff"}, 1, "Error: Invalid argument."},
    // Huge and tiny explicit sizes.
    {"MillionByMillion",
     {"-x", "1000000", "-y", "1000000"},
     28,
     "Error: Cant initialize PNG creator"},
    {"AboveAMillionWide", {"-x", "1000001", "-y", "10"}, 28, "Error: Cant initialize PNG creator"},
    {"MillionWideOneHigh",
     {"-x", "1000000", "-y", "1"},
     15,
     "Error: Rows number too large (or increase height/width)."},
    {"LargestInt32Square",
     {"-x", "2147483647", "-y", "2147483647"},
     28,
     "Error: Cant initialize PNG creator"},
    {"OnePixel",
     {"-x", "1", "-y", "1"},
     14,
     "Error: Columns number too large (or increase width/height)."},
    {"OnePixelTurned",
     {"-x", "1", "-y", "1", "-o", "90"},
     14,
     "Error: Columns number too large (or increase width/height)."},
    {"OneModuleWideTooLow",
     {"-x", "124", "-y", "2"},
     15,
     "Error: Rows number too large (or increase height/width)."},
    {"HugeModuleWidth", {"-n", "100000"}, 28, "Error: Cant initialize PNG creator"},
    // Rows below one pixel never pass for a symbol.
    {"ZeroHeightRowsComputed", {"-a", "0.1"}, 1, "Error: Invalid argument."},
    {"ZeroHeightRowsExplicit",
     {"-x", "300", "-y", "100", "-a", "0.01"},
     15,
     "Error: Rows number too large (or increase height/width)."},
    {"TinyRatioStretchedByZero",
     {"-x", "300", "-y", "2", "-a", "0"},
     15,
     "Error: Rows number too large (or increase height/width)."},
};

class HostileInput : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, EndsWithItsStatusAndMessage) {
    const HostileCase& c = GetParam();
    TemporaryDirectory directory;
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("out.png");
    const ProgramRun run = runBarwright(arguments, directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardOutput, "");
    if (c.message == nullptr) {
        EXPECT_EQ(run.standardError, "");
        const PngImage image = readPng(directory.path() / "out.png");
        ASSERT_TRUE(image.valid) << image.error;
        if (c.expectedWidth != 0) {
            EXPECT_EQ(image.width, c.expectedWidth);
        }
    } else {
        EXPECT_EQ(run.standardError, failureText(c.message));
        EXPECT_EQ(directory.entries(), std::vector<std::string>{});
    }
}

INSTANTIATE_TEST_SUITE_P(CommandLine, HostileInput, testing::ValuesIn(kHostileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Data made of one thing repeated up to the longest argument the system
// allows: far more than a symbol holds, so each must fail cleanly with 7,
// in every mode that accepts its characters.
struct LongDataCase {
    const char* name;
    std::string unit;
    std::vector<const char*> modes;
};

std::ostream& operator<<(std::ostream& out, const LongDataCase& c) { return out << c.name; }

const LongDataCase kLongDataCases[] = {
    {"Letters", "A", {"0", "1", "3"}},
    {"Digits", "1", {"0", "1", "2", "3"}},
    {"MixedCase", "aB", {"0", "1", "3"}},
    {"Punctuation", ";", {"0", "1", "3"}},
    {"DigitsAndLetters", "12345678901234a", {"0", "1", "3"}},
    {"HighBytes", "\xE9", {"0", "3"}},
    {"ByteEscapes", "~X80", {"0", "3"}},
    {"EciEscapes", "~7000123", {"0", "1", "3"}},
    {"DroppedEciEscapes", "~7999999", {"0", "1", "2", "3"}},
    {"Tildes", "~~", {"0", "1", "3"}},
};

class LongestData : public testing::TestWithParam<LongDataCase> {};

TEST_P(LongestData, FailsWithDataCountAbove928) {
    const LongDataCase& c = GetParam();
    std::string data;
    while (data.size() + c.unit.size() <= kLongestArgument) {
        data += c.unit;
    }
    TemporaryDirectory directory;
    for (const char* mode : c.modes) {
        const ProgramRun run = runBarwright({"-m", mode, "-d", data, "out.png"}, directory.path());
        EXPECT_EQ(run.terminatingSignal, 0) << "mode " << mode;
        // A run of dropped ECI escapes encodes nothing at all.
        if (c.unit == "~7999999") {
            EXPECT_EQ(run.exitStatus, 0) << "mode " << mode;
            std::filesystem::remove(directory.path() / "out.png");
        } else {
            EXPECT_EQ(run.exitStatus, 7) << "mode " << mode;
            EXPECT_EQ(run.standardError, failureText("Error: Data count above 928."));
        }
    }
    EXPECT_EQ(directory.entries(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(CommandLine, LongestData, testing::ValuesIn(kLongDataCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostileData, LongestArgumentAsFileNameCannotBeOpened) {
    TemporaryDirectory directory;
    const ProgramRun run =
        runBarwright({"-d", "x", std::string(kLongestArgument, 'f')}, directory.path());
    EXPECT_EQ(run.exitStatus, 25);
    EXPECT_EQ(run.standardError, failureText("Error: Cant open output file."));
}

// A tilde escape cut short by the end of the data is taken as data.
TEST(HostileData, EveryEscapeCutShortAtTheEnd) {
    const char* const kCutShort[] = {"~",       "abc~", "~X",     "~X4",   "~x",
                                     "~xF",     "~7",   "~71",    "~7123", "~712345",
                                     "12~7123", "~X~",  "~7~X4~", "~3~",   "~3~7"};
    TemporaryDirectory directory;
    for (const char* data : kCutShort) {
        for (const char* mode : {"0", "1", "3"}) {
            const ProgramRun run =
                runBarwright({"-m", mode, "-d", data, "out.png"}, directory.path());
            EXPECT_EQ(run.exitStatus, 0) << data << " in mode " << mode;
            EXPECT_EQ(run.standardError, "") << data << " in mode " << mode;
            EXPECT_TRUE(readPng(directory.path() / "out.png").valid) << data;
        }
        // Numeric compaction takes digits only; the tilde is refused cleanly.
        const ProgramRun numeric = runBarwright({"-m", "2", "-d", data, "n.png"}, directory.path());
        EXPECT_EQ(numeric.exitStatus, 6) << data;
    }
}

TEST(HostileData, EveryByteValueAlone) {
    TemporaryDirectory directory;
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        const std::string data(1, static_cast<char>(byte));
        const ProgramRun run = runBarwright({"-d", data, "out.png"}, directory.path());
        EXPECT_EQ(run.terminatingSignal, 0) << "byte " << byte;
        EXPECT_EQ(run.exitStatus, 0) << "byte " << byte;
    }
    EXPECT_TRUE(readPng(directory.path() / "out.png").valid);
}

TEST(HostileData, EveryByteValueTogetherInEachMode) {
    std::string data;
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        data.push_back(static_cast<char>(byte));
    }
    struct ModeOutcome {
        const char* mode;
        int exitStatus;
    };
    // Text and numeric compaction refuse what they cannot hold; automatic and
    // byte compaction take everything.
    const ModeOutcome kOutcomes[] = {{"0", 0}, {"1", 5}, {"2", 6}, {"3", 0}};
    TemporaryDirectory directory;
    for (const ModeOutcome& outcome : kOutcomes) {
        const ProgramRun run =
            runBarwright({"-m", outcome.mode, "-d", data, "-c", "10", "out.png"}, directory.path());
        EXPECT_EQ(run.terminatingSignal, 0) << "mode " << outcome.mode;
        EXPECT_EQ(run.exitStatus, outcome.exitStatus) << "mode " << outcome.mode;
    }
}

// Output paths that cannot take the file. CI runs as root, who may write into
// read-only folders, so the unwritable places are ones that no permission
// opens: a path through a regular file, and /proc.
struct PathCase {
    const char* name;
    std::string path;  // relative to the run's folder, which holds "file"
    int exitStatus;
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const PathCase& c) { return out << c.name; }

const PathCase kPathCases[] = {
    {"MissingFolder", "missing/out.png", 25, "Error: Cant open output file."},
    {"ThroughARegularFile", "file/out.png", 25, "Error: Cant open output file."},
    {"ReadOnlyFileSystem", "/proc/barwright-out.png", 25, "Error: Cant open output file."},
    {"CurrentFolder", ".", 25, "Error: Cant open output file."},
    {"FolderWithSlash", "folder/", 25, "Error: Cant open output file."},
    {"ExistingFolder", "folder", 25, "Error: Cant open output file."},
    {"RootFolder", "/", 25, "Error: Cant open output file."},
    {"EmptyName", "", 25, "Error: Cant open output file."},
    {"FullDevice", "/dev/full", 26, "Error: Cant close output file."},
};

class UnwritablePath : public testing::TestWithParam<PathCase> {};

TEST_P(UnwritablePath, FailsCleanlyAndTouchesNothing) {
    const PathCase& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "file", "a regular file");
    std::filesystem::create_directory(directory.path() / "folder");
    const ProgramRun run = runBarwright({c.path}, directory.path());
    EXPECT_EQ(run.terminatingSignal, 0);
    EXPECT_EQ(run.exitStatus, c.exitStatus);
    EXPECT_EQ(run.standardError, failureText(c.message));
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"file", "folder"}));
    EXPECT_EQ(readFile(directory.path() / "file"), "a regular file");
    EXPECT_TRUE(std::filesystem::is_empty(directory.path() / "folder"));
}

INSTANTIATE_TEST_SUITE_P(CommandLine, UnwritablePath, testing::ValuesIn(kPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(UnwritablePath, ReadOnlyFolderForOrdinaryUsers) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders; see ThroughARegularFile";
    }
    TemporaryDirectory directory;
    const std::filesystem::path locked = directory.path() / "locked";
    std::filesystem::create_directory(locked);
    ::chmod(locked.c_str(), 0555);
    const ProgramRun run = runBarwright({"locked/out.png"}, directory.path());
    ::chmod(locked.c_str(), 0755);
    EXPECT_EQ(run.exitStatus, 25);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

// Files that are not plain files are written where they are, never replaced:
// the device stays a device, the link a link, and hard links stay shared.
TEST(OutputTarget, DeviceIsWrittenNotReplaced) {
    TemporaryDirectory directory;
    const ProgramRun run = runBarwright({"/dev/null"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    struct stat device {};
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
    EXPECT_EQ(directory.entries(), std::vector<std::string>{});
}

// A link is written through, so whatever else holds the file it leads to
// (a shell's redirection behind /dev/stdout) keeps seeing it.
TEST(OutputTarget, StandardOutputRedirectedToAFileKeepsItsFile) {
    TemporaryDirectory directory;
    const ProgramRun run =
        runProgram("/bin/sh", {"-c", "{ \"$0\" /dev/stdout; echo after; } >> both", BARWRIGHT_EXE},
                   directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    const std::string both = readFile(directory.path() / "both");
    ASSERT_GT(both.size(), 20u);
    EXPECT_EQ(both.substr(1, 3), "PNG");
    EXPECT_EQ(both.substr(both.size() - 6), "after\n");
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"both"});
}

// The same through a link of ours into /dev or /proc: those lead to the very
// file the shell holds open, which must not be replaced.
TEST(OutputTarget, LinkToStandardOutputKeepsItsFile) {
    for (const char* target : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1"}) {
        TemporaryDirectory directory;
        std::filesystem::create_symlink(target, directory.path() / "link.png");
        const ProgramRun run =
            runProgram("/bin/sh", {"-c", "{ \"$0\" link.png; echo after; } >> both", BARWRIGHT_EXE},
                       directory.path());
        EXPECT_EQ(run.exitStatus, 0) << target;
        const std::string both = readFile(directory.path() / "both");
        ASSERT_GT(both.size(), 20u) << target;
        EXPECT_EQ(both.substr(1, 3), "PNG") << target;
        EXPECT_EQ(both.substr(both.size() - 6), "after\n") << target;
        EXPECT_EQ(directory.entries(), (std::vector<std::string>{"both", "link.png"})) << target;
    }
}

TEST(OutputTarget, LinkToADeviceWritesTheDevice) {
    TemporaryDirectory directory;
    std::filesystem::create_symlink("/dev/full", directory.path() / "full.png");
    const ProgramRun run = runBarwright({"full.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 26);
    EXPECT_TRUE(std::filesystem::is_symlink(directory.path() / "full.png"));
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"full.png"});
}

TEST(OutputTarget, SymbolicLinkStaysALink) {
    TemporaryDirectory directory;
    std::filesystem::create_directory(directory.path() / "real");
    writeFile(directory.path() / "real" / "target.png", "old");
    std::filesystem::create_symlink("real/target.png", directory.path() / "link.png");
    const ProgramRun run = runBarwright({"link.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(directory.path() / "link.png"));
    EXPECT_TRUE(readPng(directory.path() / "real" / "target.png").valid);
    EXPECT_EQ(directory.entries(), (std::vector<std::string>{"link.png", "real"}));
}

TEST(OutputTarget, HardLinksStayShared) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "a.png", "old");
    std::filesystem::create_hard_link(directory.path() / "a.png", directory.path() / "b.png");
    const ProgramRun run = runBarwright({"a.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(readPng(directory.path() / "b.png").valid);
    EXPECT_EQ(std::filesystem::hard_link_count(directory.path() / "a.png"), 2u);
}

TEST(OutputTarget, ReplacedFileKeepsItsPermissions) {
    TemporaryDirectory directory;
    const std::filesystem::path file = directory.path() / "out.png";
    writeFile(file, "old");
    ::chmod(file.c_str(), 0640);
    const ProgramRun run = runBarwright({"out.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 0);
    struct stat replaced {};
    ASSERT_EQ(::stat(file.c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
    EXPECT_TRUE(readPng(file).valid);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"out.png"});
}

TEST(OutputTarget, NewFileFollowsTheUmask) {
    TemporaryDirectory directory;
    const mode_t mask = ::umask(027);
    const ProgramRun run = runBarwright({"out.png"}, directory.path());
    ::umask(mask);
    EXPECT_EQ(run.exitStatus, 0);
    struct stat created {};
    ASSERT_EQ(::stat((directory.path() / "out.png").c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0640u);
}

// A named pipe is written like any file: the program waits for a reader
// that comes later, and the picture goes through the pipe whole.
TEST(OutputTarget, PipeCarriesThePictureToALateReader) {
    TemporaryDirectory directory;
    const std::filesystem::path pipe = directory.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        received = readFile(pipe);
    });
    const ProgramRun run = runBarwright({"pipe"}, directory.path());
    if (run.exitStatus != 0) {
        // A run that failed before opening the pipe leaves the reader
        // waiting: let it go, so a failure cannot hang the test.
        ::close(::open(pipe.c_str(), O_WRONLY));
    }
    reader.join();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    ASSERT_GT(received.size(), 8u);
    EXPECT_EQ(received.substr(1, 3), "PNG");
    const ProgramRun reference = runBarwright({"reference.png"}, directory.path());
    ASSERT_EQ(reference.exitStatus, 0);
    // Only the time stamp may differ from a picture written to a file.
    EXPECT_EQ(received.size(), readFile(directory.path() / "reference.png").size());
}

TEST(OutputTarget, SymbolicLinkLoopIsRefused) {
    TemporaryDirectory directory;
    std::filesystem::create_symlink("loop.png", directory.path() / "loop.png");
    const ProgramRun run = runBarwright({"loop.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 25);
    EXPECT_TRUE(std::filesystem::is_symlink(directory.path() / "loop.png"));
}

}  // namespace
}  // namespace barwright::test
