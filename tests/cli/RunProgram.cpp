#include "cli/RunProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace barwright::test {

namespace {

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// Reads both pipes until both are closed; polling both at once means a child
// that fills one pipe while we wait on the other cannot deadlock.
void drain(int outFd, int errFd, std::string& outText, std::string& errText) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* texts[2] = {&outText, &errText};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            ADD_FAILURE() << "poll failed: errno " << errno;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;  // poll ignores negative descriptors
                --open;
            }
        }
    }
}

// Fails every open(at) whose flags hold O_TMPFILE's own bit, with the error a
// file system without unnamed files gives; everything else is allowed. The C
// library opens through openat. The flags are the low half of the argument.
constexpr unsigned kFlagsOffset =
    offsetof(seccomp_data, args[2]) + (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__ ? 4 : 0);
const sock_filter kRefuseUnnamedFiles[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kFlagsOffset),
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
};

// Between fork and exec in a test runner that may have other threads: only
// async-signal-safe calls, nothing allocated.
[[noreturn]] void becomeChild(const char* executable, char* const argv[], const char* folder,
                              const char* input, int outFd, int errFd, bool withoutUnnamedFiles) {
    const int in = ::open(input, O_RDONLY | O_CLOEXEC);  // only its copy stays
    if (in < 0 || ::dup2(in, STDIN_FILENO) < 0 || ::dup2(outFd, STDOUT_FILENO) < 0 ||
        ::dup2(errFd, STDERR_FILENO) < 0 || ::chdir(folder) != 0) {
        ::_exit(127);
    }
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        ::signal(signalNumber, SIG_DFL);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (withoutUnnamedFiles) {
        sock_fprog program{static_cast<unsigned short>(std::size(kRefuseUnnamedFiles)),
                           const_cast<sock_filter*>(kRefuseUnnamedFiles)};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
            ::_exit(127);
        }
    }
    ::execve(executable, argv, environ);
    ::_exit(127);
}

// A pseudo-terminal as a pipe: ends[0] the side this process reads,
// ends[1] the terminal the child writes to. Raw, so that a line feed arrives
// as it was written.
bool openTerminal(int ends[2]) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        return false;
    }
    const char* name = ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master)
                                                                          : nullptr;
    const int terminal = name != nullptr ? ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    termios settings{};
    if (terminal < 0 || ::tcgetattr(terminal, &settings) != 0) {
        ::close(master);
        if (terminal >= 0) {
            ::close(terminal);
        }
        return false;
    }
    ::cfmakeraw(&settings);
    ::tcsetattr(terminal, TCSANOW, &settings);
    ends[0] = master;
    ends[1] = terminal;
    return true;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& executable,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& workingDirectory,
                               const StartOptions& options) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot create pipes";
        return;
    }
    const bool errorPipe = !options.standardErrorOnTerminal;
    if (errorPipe ? ::pipe2(err, O_CLOEXEC) != 0 : !openTerminal(err)) {
        ::close(out[0]);
        ::close(out[1]);
        ADD_FAILURE() << "cannot create pipes";
        return;
    }
    const std::string input =
        options.standardInput.empty() ? std::string("/dev/null") : options.standardInput.string();
    std::vector<std::string> words;
    words.push_back(options.argv0.empty() ? executable : options.argv0);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        becomeChild(executable.c_str(), argv.data(), workingDirectory.c_str(), input.c_str(),
                    out[1], err[1], options.withoutUnnamedFiles);
    }
    // Only the child may hold the write ends, or the reads never see the end.
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    if (pid_ < 0) {
        ADD_FAILURE() << "cannot start " << executable << ": errno " << errno;
    }
}

RunningProgram::~RunningProgram() {
    if (pid_ > 0) {
        sendSignal(SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    closeFd(outFd_);
    closeFd(errFd_);
}

long long RunningProgram::bytesWritten() const {
    std::ifstream io("/proc/" + std::to_string(pid_) + "/io");
    std::string field;
    long long value = 0;
    while (io >> field >> value) {
        if (field == "wchar:") {
            return value;
        }
    }
    return -1;
}

bool RunningProgram::hasEnded() const {
    siginfo_t info{};
    // WNOWAIT leaves the status for finish().
    return pid_ <= 0 ||
           (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid != 0);
}

void RunningProgram::sendSignal(int signalNumber) const {
    if (pid_ > 0) {
        ::kill(pid_, signalNumber);
    }
}

ProgramRun RunningProgram::finish() {
    ProgramRun run;
    if (pid_ <= 0) {
        return run;
    }
    drain(outFd_, errFd_, run.standardOutput, run.standardError);
    closeFd(outFd_);
    closeFd(errFd_);
    int waitStatus = 0;
    rusage usage{};
    while (::wait4(pid_, &waitStatus, 0, &usage) < 0) {
        if (errno != EINTR) {
            ADD_FAILURE() << "waitpid failed: errno " << errno;
            pid_ = -1;
            return run;
        }
    }
    pid_ = -1;
    run.peakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(waitStatus)) {
        run.exitStatus = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        run.terminatingSignal = WTERMSIG(waitStatus);
    }
    return run;
}

ProgramRun runProgram(const std::string& executable, const std::vector<std::string>& arguments,
                      const std::filesystem::path& workingDirectory, const std::string& argv0) {
    StartOptions options;
    options.argv0 = argv0;
    return RunningProgram(executable, arguments, workingDirectory, options).finish();
}

ProgramRun runBarwright(const std::vector<std::string>& arguments,
                        const std::filesystem::path& workingDirectory) {
    return runProgram(BARWRIGHT_EXE, arguments, workingDirectory);
}

TemporaryDirectory::TemporaryDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "barwright-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
        return;
    }
    path_ = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

std::vector<std::string> TemporaryDirectory::entriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

}  // namespace barwright::test
