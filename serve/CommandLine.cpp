#include "serve/CommandLine.h"

#include <string_view>

#include "barwright/Version.h"
#include "options/Conversions.h"
#include "options/OptionParser.h"

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
    {"help", false, kHelp},       {"listen", true, kListen},
    {"threads", true, kThreads},  {"max-connections", true, kMaxConnections},
    {"timeout", true, kTimeout},  {"cors", true, kCors},
    {"quiet", false, kQuiet},     {"web", true, kWeb},
    {"version", false, kVersion}, {nullptr, false, 0},
};

// A count option's value, 1..high; false with a message for anything else.
bool readCountOption(const char* option, std::int32_t high, std::string_view value,
                     std::int32_t& target, std::string& message) {
    if (readCount(value, 1, high, target)) {
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

// The message for the option word the parser refused: a short option's
// whole word, since the service's letters come alone.
std::string badOptionMessage(const OptionParser& parser) {
    const std::string_view word = parser.word();
    return word.substr(0, 2) == "--" ? parser.refusal()
                                     : "unknown option '" + std::string(word) + "'";
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
    OptionParser parser(argc, argv, "h", kOptions);
    for (;;) {
        const std::int32_t option = parser.next();
        if (option == OptionParser::kEnd) {
            break;
        }
        if (option == OptionParser::kBad) {
            message = badOptionMessage(parser);
            return CommandLineResult::kUsageError;
        }
        const std::string_view word = parser.word();
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
        } else if (!applyValue(option, parser.value() != nullptr ? parser.value() : "", settings,
                               message)) {
            return CommandLineResult::kUsageError;
        }
    }
    if (parser.index() < argc) {
        message = "unexpected argument '" + std::string(argv[parser.index()]) +
                  "' (the service takes options only)";
        return CommandLineResult::kUsageError;
    }
    return CommandLineResult::kRun;
}

void printUsage(std::FILE* stream, const ServeSettings& defaults) {
    std::fprintf(stream, R"(Usage: barwright-serve [OPTIONS]
Serves PDF417 symbols over HTTP: GET /pdf417.png?data=Hello&col=4 (or .png1,
.svg, .eps, .pdf, .txt) with barwright's long option names as keys, plus
shortest, escapes (1 or 0, default 0), dpi, eci and time; POST takes the data
as the body.
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

const char* versionText() {
    static const std::string text = std::string("barwright-serve ") + version();
    return text.c_str();
}

}  // namespace barwright::serve
