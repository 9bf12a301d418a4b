#pragma once

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
};

// Runs the executable with the arguments (argv[0] is argv0, or the
// executable's path when argv0 is empty) in the working directory, with
// standard input from /dev/null, and collects both output streams whole.
ProgramRun runProgram(const std::string& executable, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDirectory, const std::string& argv0 = "");

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
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace barwright::test
