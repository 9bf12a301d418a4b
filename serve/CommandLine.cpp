#include "serve/CommandLine.h"

#include <sched.h>
#include <unistd.h>

#include <string_view>

#include "cli/OptionParser.h"
#include "serve/WholeNumber.h"

#ifndef BARWRIGHT_VERSION
#error "BARWRIGHT_VERSION must be defined (the project version, from CMake)"
#endif

namespace barwright::serve {

namespace {

enum Option : std::int32_t {
    kHelp = 'h',
    kListen = 256,
    kThreads,
    kMaxConnections,
    kTimeout,
    kCors,
    kQuiet,
    kWeb,
    kVersion,
};

constexpr LongOption kOptions[] = {
    {"help", kNoArgument, nullptr, kHelp},
    {"listen", kRequiredArgument, nullptr, kListen},
    {"threads", kRequiredArgument, nullptr, kThreads},
    {"max-connections", kRequiredArgument, nullptr, kMaxConnections},
    {"timeout", kRequiredArgument, nullptr, kTimeout},
    {"cors", kRequiredArgument, nullptr, kCors},
    {"quiet", kNoArgument, nullptr, kQuiet},
    {"web", kRequiredArgument, nullptr, kWeb},
    {"version", kNoArgument, nullptr, kVersion},
    {nullptr, kNoArgument, nullptr, 0},
};

// A count option's value, 1..high; false with a message for anything else.
bool readCountOption(const char* option, std::int32_t high, std::string_view value,
                     std::int32_t& target, std::string& message) {
    if (readWholeNumber(value, 1, high, target)) {
        return true;
    }
    message = std::string(option) + " takes a whole number from 1 to " + std::to_string(high) +
              ", not '" + std::string(value) + "'";
    return false;
}

// "*" or an origin as a browser sends it: scheme "://" host [":" port],
// printable, without a path, so that the header it goes into stays one line.
bool isOrigin(std::string_view origin) {
    if (origin == "*") {
        return true;
    }
    const std::size_t scheme = origin.find("://");
    if (scheme == std::string_view::npos || scheme == 0 || scheme + 3 == origin.size()) {
        return false;
    }
    for (const char c : origin) {
        if (c <= ' ' || c >= 0x7F) {
            return false;
        }
    }
    return origin.find('/', scheme + 3) == std::string_view::npos;
}

// The message for the option word the parser refused (argv[optind - 1]).
std::string badOptionMessage(int argc, char* argv[]) {
    const std::string_view word = optind - 1 > 0 && optind - 1 < argc ? argv[optind - 1] : "";
    if (word.substr(0, 2) == "--") {
        const std::string_view typed = word.substr(2, word.find('=') - 2);
        for (const LongOption& option : kOptions) {
            if (option.name != nullptr &&
                std::string_view(option.name).substr(0, typed.size()) == typed) {
                return "option '--" + std::string(option.name) + "' needs a value";
            }
        }
        return "unknown option '--" + std::string(typed) + "'";
    }
    return "unknown option '" + std::string(word) + "'";
}

// Applies one option with a value; false with a message for a bad one.
bool applyValue(std::int32_t option, std::string_view value, ServeSettings& settings,
                std::string& message) {
    ServerSettings& server = settings.server;
    switch (option) {
        case kListen:
            settings.listen = value;
            return true;
        case kThreads:
            return readCountOption("--threads", kMaxThreads, value, server.threads, message);
        case kMaxConnections:
            settings.maxConnectionsGiven = true;
            return readCountOption("--max-connections", kMaxConnectionLimit, value,
                                   server.maxConnections, message);
        case kTimeout:
            return readCountOption("--timeout", kMaxTimeoutSeconds, value, server.timeoutSeconds,
                                   message);
        case kCors:
            if (!isOrigin(value)) {
                message = "--cors takes '*' or an origin such as https://example.com, not '" +
                          std::string(value) + "'";
                return false;
            }
            server.corsOrigin = value;
            return true;
        case kWeb:
            settings.webFolder = value;
            settings.webGiven = true;
            return true;
        default:
            return false;
    }
}

}  // namespace

CommandLineResult readCommandLine(int argc, char* argv[], ServeSettings& settings,
                                  std::string& message) {
    opterr = 0;
    for (;;) {
        const std::int32_t option = parseNextOption(argc, argv, "h", kOptions, nullptr);
        if (option == kEndOfOptions) {
            break;
        }
        const std::string_view word = optind - 1 < argc ? argv[optind - 1] : "";
        if (option == kBadOption) {
            message = badOptionMessage(argc, argv);
            return CommandLineResult::kUsageError;
        }
        if (option == kHelp || option == kVersion || option == kQuiet) {
            // The parser ignores "=value" after an option without one.
            if (word.find('=') != std::string_view::npos) {
                message =
                    "option '" + std::string(word.substr(0, word.find('='))) + "' takes no value";
                return CommandLineResult::kUsageError;
            }
            if (option != kQuiet) {
                return option == kHelp ? CommandLineResult::kHelp : CommandLineResult::kVersion;
            }
            settings.server.quiet = true;
        } else if (!applyValue(option, optarg != nullptr ? optarg : "", settings, message)) {
            return CommandLineResult::kUsageError;
        }
    }
    if (optind < argc) {
        message = "unexpected argument '" + std::string(argv[optind]) +
                  "' (the service takes options only)";
        return CommandLineResult::kUsageError;
    }
    return CommandLineResult::kRun;
}

void printUsage(std::FILE* stream, const ServeSettings& defaults) {
    std::fprintf(stream, R"(Usage: barwright-serve [OPTIONS]
Serves PDF417 symbols over HTTP: GET /pdf417.png?data=Hello&col=4 (or .png1,
.svg, .eps, .txt) with barwright's long option names as keys, plus shortest,
escapes (1 or 0, default 0) and dpi; POST takes the data as the body.
SIGTERM or SIGINT ends it once the requests in flight are answered.

      --listen ADDR:PORT     address to serve on (default %s)
      --threads N            worker threads (default %d, the CPUs it may use)
      --max-connections N    connections served at once; the next ones are
                             answered 503 (default %d)
      --timeout S            idle limit of a connection and the longest wait
                             for requests in flight at the end (default %d)
      --cors ORIGIN          send Access-Control-Allow-Origin: ORIGIN ('*' or
                             https://example.com)
      --quiet                no access log on standard error
      --web DIR              the web page served at / (default %s)
  -h, --help                 print this text and exit
      --version              print the version and exit
)",
                 defaults.listen.c_str(), defaults.server.threads, defaults.server.maxConnections,
                 defaults.server.timeoutSeconds, defaults.webFolder.c_str());
}

const char* versionText() { return "barwright-serve " BARWRIGHT_VERSION; }

// barwright-batch's count of usable CPUs (moves to the hallway).
std::int32_t availableCpuCount() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        const int count = CPU_COUNT(&cpus);
        if (count > 0) {
            return count < kMaxThreads ? count : kMaxThreads;
        }
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<std::int32_t>(online < kMaxThreads ? online : kMaxThreads) : 1;
}

}  // namespace barwright::serve
