#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace barwright::test {

// What one run of a program left behind.
struct ProgramRun {
    // The exit status, or -1 when the program did not exit normally (then
    // terminatingSignal says why).
    int exitStatus = -1;
    int terminatingSignal = 0;
    std::string standardOutput;
    std::string standardError;
    // The largest resident set the program reached, in kilobytes (wait4's
    // ru_maxrss); 0 when unknown.
    long peakKilobytes = 0;
};

// Runs the executable with the arguments (argv[0] is argv0, or the
// executable's path when argv0 is empty) in the working directory, with
// standard input from /dev/null, and collects both output streams whole.
ProgramRun runProgram(const std::string& executable, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDirectory, const std::string& argv0 = "");

// How a program is started, beyond its arguments.
struct StartOptions {
    std::string argv0;  // argv[0]; the executable's path when empty
    // Every open that asks for an unnamed file (O_TMPFILE) fails with
    // EOPNOTSUPP, as on a file system that has none.
    bool withoutUnnamedFiles = false;
    // Standard input is this file; /dev/null when empty.
    std::filesystem::path standardInput;
    // Standard error is a terminal (a pseudo-terminal whose output this side
    // reads, line feeds untranslated) instead of a pipe.
    bool standardErrorOnTerminal = false;
};

// A program started in the background, with standard input from /dev/null
// and the signals it may be stopped by at their default actions, whatever
// the test runner inherited. A program still running when this goes out of
// scope is killed.
class RunningProgram {
public:
    RunningProgram(const std::string& executable, const std::vector<std::string>& arguments,
                   const std::filesystem::path& workingDirectory, const StartOptions& options = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The bytes it has written so far through any descriptor; -1 when that
    // cannot be read.
    long long bytesWritten() const;
    bool hasEnded() const;
    void sendSignal(int signalNumber) const;
    // Collects both output streams whole and waits for the end.
    ProgramRun finish();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;  // the read ends of the child's standard output and error
    int errFd_ = -1;
};

// runProgram on the barwright executable under test.
ProgramRun runBarwright(const std::vector<std::string>& arguments,
                        const std::filesystem::path& workingDirectory);

// A fresh, empty directory that is removed with all its contents.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The names of the entries in the directory, sorted.
    std::vector<std::string> entries() const { return entriesOf(path_); }
    static std::vector<std::string> entriesOf(const std::filesystem::path& folder);

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace barwright::test
