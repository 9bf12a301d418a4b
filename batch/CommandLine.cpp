#include "batch/CommandLine.h"

#include <sched.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "barwright/MacroSettings.h"
#include "barwright/Version.h"
#include "cli/OptionParser.h"

namespace barwright::batch {

namespace {

// The batch's own options have no short letter: their codes lie above every
// byte, so they never meet one.
enum OwnOption : std::int32_t {
    kInput = 256,
    kRaw,
    kBinary,
    kCsv,
    kFormat,
    kDpi,
    kMacro,
    kFileId,
    kJobs,
    kQuiet,
    kAnyPath,
    kVersion,
    kShortest,
};

constexpr LongOption kOwnOptions[] = {
    {"input", kRequiredArgument, nullptr, kInput},
    {"raw", kNoArgument, nullptr, kRaw},
    {"binary", kNoArgument, nullptr, kBinary},
    {"csv", kNoArgument, nullptr, kCsv},
    {"format", kRequiredArgument, nullptr, kFormat},
    {"dpi", kRequiredArgument, nullptr, kDpi},
    {"macro", kRequiredArgument, nullptr, kMacro},
    {"file-id", kRequiredArgument, nullptr, kFileId},
    {"jobs", kRequiredArgument, nullptr, kJobs},
    {"quiet", kNoArgument, nullptr, kQuiet},
    {"any-path", kNoArgument, nullptr, kAnyPath},
    {"version", kNoArgument, nullptr, kVersion},
    {"shortest", kNoArgument, nullptr, kShortest},
};

// barwright's options first and in their order, so that an abbreviation
// means what it means to barwright ("--c" is --col, "--d" --data); the
// batch's own follow. Built from the shared table, so an option added there
// is taken here too.
const std::vector<LongOption>& longOptions() {
    static const std::vector<LongOption> table = [] {
        std::vector<LongOption> options(kLongOptions, kLongOptions + kLongOptionCount);
        options.insert(options.end(), std::begin(kOwnOptions), std::end(kOwnOptions));
        options.push_back({nullptr, kNoArgument, nullptr, 0});
        return options;
    }();
    return table;
}

// png1 is made for many small files fast: zlib's fastest level does a 1-bit
// barcode in a third less time than its default level, for files about a
// tenth larger (png keeps barwright's level: its files are barwright's).
constexpr std::int32_t kBitPngCompressionLevel = 1;

struct FormatName {
    const char* name;
    OutputFormat format;
};
constexpr FormatName kFormatNames[] = {
    {"png", OutputFormat::kPng}, {"png1", OutputFormat::kPng1}, {"svg", OutputFormat::kSvg},
    {"eps", OutputFormat::kEps}, {"txt", OutputFormat::kTxt},
};

// Digits only, no sign or space, within low..high.
bool readCount(std::string_view text, std::int32_t low, std::int32_t high, std::int32_t& value) {
    if (text.empty()) {
        return false;
    }
    std::int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
        if (number > high) {
            return false;
        }
    }
    if (number < low) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The message for the option word the parser refused (argv[optind - 1]).
std::string badOptionMessage(int argc, char* argv[]) {
    const std::int32_t index = optind - 1;
    const std::string_view word = index > 0 && index < argc ? argv[index] : "";
    if (word.size() > 2 && word.substr(0, 2) == "--") {
        const std::string_view typed = word.substr(2, word.find('=') - 2);
        for (const LongOption& option : longOptions()) {
            if (option.name != nullptr &&
                std::string_view(option.name).substr(0, typed.size()) == typed) {
                return "option '--" + std::string(option.name) + "' needs a value";
            }
        }
        return "unknown option " + quoted("--" + std::string(typed));
    }
    const char letter = static_cast<char>(optopt);
    const char* declared = letter != ':' ? std::strchr(kOptionString, letter) : nullptr;
    if (declared != nullptr && letter != '\0') {
        return "option '-" + std::string(1, letter) + "' needs a value";
    }
    return "unknown option '-" + std::string(1, letter) + "'";
}

// The checks that need the whole command line.
bool checkCombination(BatchSettings& settings, bool formatGiven, int recordFormats,
                      std::string& message) {
    if (recordFormats > 1) {
        message = "--raw, --binary and --csv exclude each other";
        return false;
    }
    if (!settings.inputGiven && settings.recordFormat != RecordFormat::kLines &&
        settings.recordFormat != RecordFormat::kRawLines) {
        message = std::string(settings.recordFormat == RecordFormat::kCsv ? "--csv" : "--binary") +
                  " reads its records from --input";
        return false;
    }
    const NameTemplate& names = settings.names;
    if (!formatGiven) {
        if (names.isStandardOutput()) {
            settings.format = OutputFormat::kPng;
        } else if (const auto format = names.format()) {
            settings.format = *format;
        } else {
            message = "cannot tell the format from " + quoted(names.text()) +
                      ": name it with --format (png, png1, svg, eps or txt)";
            return false;
        }
    }
    if (settings.dpi != 0 && settings.format == OutputFormat::kTxt) {
        message = "--dpi has no meaning for the txt format";
        return false;
    }
    if (settings.macroSegments > 1 && names.isStandardOutput()) {
        message = "standard output takes one symbol, and --macro " +
                  std::to_string(settings.macroSegments) + " makes " +
                  std::to_string(settings.macroSegments);
        return false;
    }
    if (settings.macroSegments > 1 && !names.usesSegmentNumber()) {
        message = "--macro " + std::to_string(settings.macroSegments) +
                  " needs {s} in TEMPLATE to name the segments apart";
        return false;
    }
    if (!settings.fileId.empty() && settings.macroSegments == 0) {
        message = "--file-id is for Macro PDF417: give --macro too";
        return false;
    }
    return true;
}

}  // namespace

CommandLineResult readCommandLine(int argc, char* argv[], std::int32_t cpuCount,
                                  BatchSettings& settings, std::string& message) {
    settings.jobs = cpuCount < 1 ? 1 : (cpuCount > kMaxJobs ? kMaxJobs : cpuCount);
    bool formatGiven = false;
    int recordFormats = 0;
    const std::int32_t savedOpterr = opterr;
    opterr = 0;
    const auto refuse = [&](std::string text) {
        message = std::move(text);
        opterr = savedOpterr;
        return CommandLineResult::kUsageError;
    };
    for (;;) {
        const std::int32_t option =
            parseNextOption(argc, argv, kOptionString, longOptions().data(), nullptr);
        if (option == kEndOfOptions) {
            break;
        }
        if (option == kBadOption) {
            return refuse(badOptionMessage(argc, argv));
        }
        const std::string_view value = optarg != nullptr ? optarg : "";
        const std::string_view word = optind - 1 < argc ? argv[optind - 1] : "";
        switch (option) {
            case 'h':
                opterr = savedOpterr;
                return CommandLineResult::kHelp;
            case kVersion:
                opterr = savedOpterr;
                return CommandLineResult::kVersion;
            case kRaw:
            case kBinary:
            case kCsv:
            case kQuiet:
            case kAnyPath:
            case kShortest:
                // The parser ignores "=value" after an option without one;
                // it is refused here rather than silently dropped.
                if (word.find('=') != std::string_view::npos) {
                    return refuse("option " + quoted(word.substr(0, word.find('='))) +
                                  " takes no value");
                }
                break;
            default:
                break;
        }
        switch (option) {
            case kInput:
                if (value.empty()) {
                    return refuse("--input needs a file name ('-' for standard input)");
                }
                settings.inputGiven = true;
                settings.inputPath = value;
                break;
            case kRaw:
                ++recordFormats;
                settings.recordFormat = RecordFormat::kRawLines;
                settings.raw = true;
                break;
            case kBinary:
                ++recordFormats;
                settings.recordFormat = RecordFormat::kBinary;
                settings.raw = true;
                break;
            case kCsv:
                ++recordFormats;
                settings.recordFormat = RecordFormat::kCsv;
                break;
            case kFormat: {
                bool known = false;
                for (const FormatName& entry : kFormatNames) {
                    if (value == entry.name) {
                        settings.format = entry.format;
                        known = true;
                    }
                }
                if (!known) {
                    return refuse("unknown format " + quoted(value) +
                                  " (known: png, png1, svg, eps, txt)");
                }
                formatGiven = true;
                break;
            }
            case kDpi:
                if (!readCount(value, 1, kMaxDpi, settings.dpi)) {
                    return refuse("--dpi takes a whole number from 1 to " +
                                  std::to_string(kMaxDpi) + ", not " + quoted(value));
                }
                break;
            case kMacro:
                if (!readCount(value, 1, kMaxMacroSegments, settings.macroSegments)) {
                    return refuse("--macro takes a number of symbols from 1 to " +
                                  std::to_string(kMaxMacroSegments) + ", not " + quoted(value));
                }
                break;
            case kFileId:
                if (value.empty() || !isMacroFileId(value)) {
                    return refuse("--file-id " + quoted(value) +
                                  " is no Macro PDF417 file ID: digits, or '#' and groups of "
                                  "three digits of 000 to 899");
                }
                settings.fileId = value;
                break;
            case kJobs:
                if (!readCount(value, 1, kMaxJobs, settings.jobs)) {
                    return refuse("--jobs takes a whole number from 1 to " +
                                  std::to_string(kMaxJobs) + ", not " + quoted(value));
                }
                break;
            case kQuiet:
                settings.quiet = true;
                break;
            case kAnyPath:
                settings.anyPath = true;
                break;
            case kShortest:
                settings.shortest = true;
                break;
            default:
                // A symbol option: barwright's value rules, out-of-range
                // values dropped silently.
                (void)applyOption(option, value, settings.options, ValueCheck::kLenient);
                break;
        }
    }
    opterr = savedOpterr;

    if (optind >= argc || argv[optind] == nullptr) {
        return refuse("no TEMPLATE: name the output files (or '-' for standard output)");
    }
    const std::string_view templateText = argv[optind];
    if (optind + 1 < argc) {
        return refuse("unexpected argument " + quoted(argv[optind + 1]) +
                      " after TEMPLATE (options go before it)");
    }
    std::string templateMessage;
    if (!settings.names.parse(templateText, templateMessage)) {
        return refuse("TEMPLATE " + quoted(templateText) + ": " +
                      (templateMessage.empty() ? "out of memory" : templateMessage));
    }
    if (!checkCombination(settings, formatGiven, recordFormats, message)) {
        return CommandLineResult::kUsageError;
    }
    // Without --input, -d's data is the one record.
    settings.options.symbol.escapes = !settings.raw;
    settings.png.dpi = settings.dpi;
    if (settings.format == OutputFormat::kPng1) {
        settings.png.compressionLevel = kBitPngCompressionLevel;
    }
    return CommandLineResult::kRun;
}

bool readSourceDateEpoch(const char* value, PngOptions& png, std::string& message) {
    // An empty value counts as unset, as build systems commonly pass it.
    if (value == nullptr || value[0] == '\0') {
        return true;
    }
    if (!parseSourceDateEpoch(value, png.time)) {
        message = "SOURCE_DATE_EPOCH " + quoted(value) +
                  " is not a number of seconds since 1970 (up to the year 9999)";
        return false;
    }
    png.timeGiven = true;
    return true;
}

const char* batchVersionText() {
    static const std::string text = std::string("barwright-batch ") + version();
    return text.c_str();
}

std::int32_t availableCpuCount() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (::sched_getaffinity(0, sizeof cpus, &cpus) == 0) {
        const int count = CPU_COUNT(&cpus);
        if (count > 0) {
            return count;
        }
    }
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<std::int32_t>(online < kMaxJobs ? online : kMaxJobs) : 1;
}

void printBatchUsage(std::FILE* stream, std::int32_t cpuCount) {
    std::fprintf(stream, R"(Usage: barwright-batch [OPTIONS] TEMPLATE
Makes one PDF417 symbol per record, on every core, and writes each to the file
that TEMPLATE names: {n} is the record number, {n:W} the same zero-padded to W
digits, {s} the Macro PDF417 segment; '-' writes the one record to standard
output. Without --input, -d's data is the one record.

Symbol options, taken as barwright takes them, for every record:
  -x, --xsize N      image width in pixels
  -y, --ysize N      image height in pixels
  -n, --xdim N       module width in pixels (default 2)
  -d, --data TEXT    the data, with ~ escapes (default 1234567)
  -m, --mode N       compaction: 0 automatic, 1 text, 2 numeric, 3 byte
  -e, --ecl N        error correction level 0..8, or 9 automatic (default)
  -c, --col N        data columns 1..30, or 0 automatic (default 3)
  -r, --row N        rows 3..90, or 0 automatic (default)
  -t, --cpdf N       Compact PDF417 when not 0
  -o, --orient N     orientation: 0, 90, 180 or 270 degrees
  -b, --bcolor RGB   background colour, hexadecimal rrggbb (default ffffff)
  -f, --fcolor RGB   bar colour, hexadecimal rrggbb (default 000000)
  -q, --qzone N      quiet zone when not 0 (default 1)
  -z, --alignh N     horizontal alignment: 0 left, 1 centre, 2 right
  -v, --alignv N     vertical alignment: 0 top, 1 centre, 2 bottom
  -a, --y2x R        row height in module widths (default 4.0)

Records:
      --input FILE   one record per line of FILE ('-': standard input)
      --raw          no ~ escapes: a line's bytes are the data
      --binary       the whole input is one record's data, raw bytes
      --csv          CSV input: a header row of long option names and
                     'output'; a non-empty cell sets its option for its record

Output:
      --format F     png, png1, svg, eps or txt (default: TEMPLATE's extension)
      --dpi N        resolution to record, 1..%d pixels per inch
      --macro N      spread each record over N Macro PDF417 symbols
      --file-id ID   Macro file ID of every record (default: the record number)
      --any-path     let CSV output cells name files outside the current folder
      --shortest     the fewest data codewords for each record's data (in place
                     of -m's mode); CSV column 'shortest' with 1 or 0

Run:
      --jobs N       symbols made at once (default: the CPUs available, %d)
      --quiet        no progress line on a terminal
  -h, --help         print this text
      --version      print the version

Exit status: 0 when every record was written; else the status of the first
failing record (1..28, as barwright's); 64 for a bad command line, 66 for an
input that cannot be read. See barwright-batch(1).
)",
                 kMaxDpi, cpuCount);
    std::fflush(stream);
}

}  // namespace barwright::batch
