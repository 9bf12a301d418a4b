// Times whole runs of several programs side by side:
//
//   barwright_run_timer ROUNDS -- LABEL PROGRAM ARGS... [-- LABEL PROGRAM ARGS...]...
//
// Every round runs each command once, starting with a different one each
// round, so that drift on a shared machine (other jobs, frequency changes)
// falls on all of them alike. Output goes to /dev/null. For each command it
// prints the median wall time with its quartiles and the median peak
// resident memory; then, for every later command, the median over rounds of
// the first command's time divided by that command's time in the same
// round, which is steadier than a ratio of two medians.
//
// Peak memory comes from wait4. Linux counts the forked child's own pages
// before exec into that peak, so this program keeps its memory small (no
// heap, fixed tables) and is linked statically: its share stays far below
// the measured programs'.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr int kMaxCommands = 8;
constexpr int kMaxRounds = 2000;

struct Command {
    const char* label;
    char** argv;  // null-terminated in place of the next "--"
    double seconds[kMaxRounds];
    long peakKilobytes[kMaxRounds];
};

Command commands[kMaxCommands];
double scratch[kMaxRounds];

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs one command; false when it could not be started or did not exit 0.
bool runOnce(Command& command, int round) {
    const double start = now();
    const pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(command.argv[0], command.argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return false;
    }
    command.seconds[round] = now() - start;
    command.peakKilobytes[round] = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The value at fraction q (0..1) of the sorted values.
double quantile(const double* values, int count, double q) {
    std::copy(values, values + count, scratch);
    std::sort(scratch, scratch + count);
    const double position = q * (count - 1);
    const int below = static_cast<int>(position);
    const int above = std::min(below + 1, count - 1);
    return scratch[below] + (scratch[above] - scratch[below]) * (position - below);
}

}  // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 0;
    if (rounds < 1 || rounds > kMaxRounds) {
        std::fprintf(stderr, "usage: %s ROUNDS -- LABEL PROGRAM ARGS... [-- ...] (1..%d rounds)\n",
                     argv[0], kMaxRounds);
        return 2;
    }
    int commandCount = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") != 0) {
            continue;
        }
        argv[i] = nullptr;  // ends the previous command's arguments
        if (i + 2 >= argc || commandCount == kMaxCommands) {
            std::fprintf(stderr, "each -- needs a label and a program; at most %d commands\n",
                         kMaxCommands);
            return 2;
        }
        commands[commandCount].label = argv[i + 1];
        commands[commandCount].argv = argv + i + 2;
        ++commandCount;
    }
    if (commandCount == 0) {
        std::fprintf(stderr, "no command given\n");
        return 2;
    }

    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < commandCount; ++k) {
            Command& command = commands[(round + k) % commandCount];
            if (!runOnce(command, round)) {
                std::fprintf(stderr, "%s failed\n", command.label);
                return 1;
            }
        }
    }

    std::printf("%-12s %10s %10s %10s %12s\n", "program", "median ms", "q1 ms", "q3 ms", "peak KB");
    for (int k = 0; k < commandCount; ++k) {
        const Command& command = commands[k];
        double peaks[kMaxRounds];
        for (int round = 0; round < rounds; ++round) {
            peaks[round] = static_cast<double>(command.peakKilobytes[round]);
        }
        std::printf("%-12s %10.3f %10.3f %10.3f %12.0f\n", command.label,
                    1e3 * quantile(command.seconds, rounds, 0.5),
                    1e3 * quantile(command.seconds, rounds, 0.25),
                    1e3 * quantile(command.seconds, rounds, 0.75), quantile(peaks, rounds, 0.5));
    }
    for (int k = 1; k < commandCount; ++k) {
        double ratios[kMaxRounds];
        double peakRatios[kMaxRounds];
        for (int round = 0; round < rounds; ++round) {
            ratios[round] = commands[0].seconds[round] / commands[k].seconds[round];
            peakRatios[round] = static_cast<double>(commands[0].peakKilobytes[round]) /
                                static_cast<double>(commands[k].peakKilobytes[round]);
        }
        std::printf("%s / %s: time %.3fx (q1 %.3f, q3 %.3f), peak memory %.3fx\n",
                    commands[0].label, commands[k].label, quantile(ratios, rounds, 0.5),
                    quantile(ratios, rounds, 0.25), quantile(ratios, rounds, 0.75),
                    quantile(peakRatios, rounds, 0.5));
    }
    return 0;
}
