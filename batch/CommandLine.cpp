#include "batch/CommandLine.h"

#include <string_view>
#include <vector>

#include "barwright/MacroSettings.h"
#include "barwright/Version.h"
#include "options/Conversions.h"
#include "options/OptionParser.h"
#include "options/OptionTable.h"
#include "options/SheetOptions.h"

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
    kNull,
    kReport,
    kMkdir,
    kSheet,
    kGrid,
    kMargin,
    kGap,
    kCaption,
};

// --null's short letter, beside barwright's: as find -print0, xargs -0 and
// sort -z name NUL-separated records.
constexpr char kNullLetter = '0';

constexpr LongOption kOwnOptions[] = {
    {"input", true, kInput},        {"raw", false, kRaw},          {"binary", false, kBinary},
    {"csv", false, kCsv},           {"format", true, kFormat},     {"dpi", true, kDpi},
    {"macro", true, kMacro},        {"file-id", true, kFileId},    {"jobs", true, kJobs},
    {"quiet", false, kQuiet},       {"any-path", false, kAnyPath}, {"version", false, kVersion},
    {"shortest", false, kShortest}, {"null", false, kNull},        {"report", true, kReport},
    {"mkdir", false, kMkdir},       {"sheet", true, kSheet},       {"grid", true, kGrid},
    {"margin", true, kMargin},      {"gap", true, kGap},           {"caption", true, kCaption},
};

// barwright's options first and in their order, so that an abbreviation
// means what it means to barwright ("--c" is --col, "--d" --data); the
// batch's own follow. Built from the shared table, so an option added there
// is taken here too.
const std::vector<LongOption>& longOptions() {
    static const std::vector<LongOption> table = [] {
        std::vector<LongOption> options;
        for (const LongOption* option = programLongOptions(); option->name != nullptr; ++option) {
            options.push_back(*option);
        }
        options.insert(options.end(), std::begin(kOwnOptions), std::end(kOwnOptions));
        options.push_back({nullptr, false, 0});
        return options;
    }();
    return table;
}

// barwright's letters and -0.
const char* optionString() {
    static const std::string letters = std::string(programOptionString()) + kNullLetter;
    return letters.c_str();
}

// The usage text of -h: the largest resolution, then --jobs' default.
constexpr char kUsageFormat[] = R"(Usage: barwright-batch [OPTIONS] TEMPLATE
Makes one PDF417 symbol per record, on every core, and writes each to the file
that TEMPLATE names: {n} is the record number, {n:W} the same zero-padded to W
digits, {s} the Macro PDF417 segment; '-' writes the one record to standard
output. With --sheet, every record goes on label sheets in the one PDF that
TEMPLATE names ('-': standard output). Without --input, -d's data is the one
record.

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
  -b, --bcolor RGB   background colour: rrggbb, #rrggbb or 0xrrggbb (ffffff)
  -f, --fcolor RGB   bar colour, written the same way (default 000000)
  -q, --qzone N      quiet zone when not 0 (default 1)
  -z, --alignh N     horizontal alignment: 0 left, 1 centre, 2 right
  -v, --alignv N     vertical alignment: 0 top, 1 centre, 2 bottom
  -a, --y2x R        row height in module widths (default 4.0)

Records:
      --input FILE   one record per line of FILE ('-': standard input)
      --raw          no ~ escapes: a line's or a CSV data cell's bytes are
                     the data
      --binary       the whole input is one record's data, raw bytes
  -0, --null         records end with a NUL byte, raw bytes (find -print0)
      --csv          CSV input: a header row of long option names, 'output',
                     'shortest' and 'hex' (data bytes in hexadecimal); a
                     non-empty cell sets its option for its record

Output:
      --format F     png, png1, svg, eps, txt or pdf, for every file (default:
                     each file name's extension, else TEMPLATE's)
      --dpi N        resolution, 1..%d pixels per inch: recorded in PNG, SVG
                     and EPS; in PDF a pixel is 1/N inch (default 72: a point)
      --macro N      spread each record over N Macro PDF417 symbols
      --file-id ID   Macro file ID of every record (default: the record number)
      --any-path     let CSV output cells name files outside the current folder
      --mkdir        create the folders that the file names need
      --shortest     the fewest data codewords for each record's data (in place
                     of -m's mode); CSV column 'shortest' with 1 or 0

Label sheets:
      --sheet PAPER  every record's symbol on pages of a4, letter or WxH paper
                     (millimetres), in one PDF
      --grid CxR     labels across and down a page (default: as many as fit)
      --margin MM    around the labels (default 10)
      --gap MM       between the labels (default 5)
      --caption TEXT a line under each symbol, {n} as in TEMPLATE; CSV column
                     'caption' gives a record its own

Run:
      --jobs N       symbols made at once (default: the CPUs available, %d)
      --quiet        no progress line on a terminal
      --report FILE  a CSV row per record: its file, status, message, columns,
                     rows, level and data codewords ('-': standard output)
  -h, --help         print this text
      --version      print the version

Exit status: 0 when every record was written; else the status of the first
failing record (1..28, as barwright's); 64 for a bad command line, 66 for an
input that cannot be read, 73 for a report that cannot be written. See
barwright-batch(1).
)";

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

const char* recordFormatOption(RecordFormat format) {
    switch (format) {
        case RecordFormat::kCsv:
            return "--csv";
        case RecordFormat::kBinary:
            return "--binary";
        default:
            return "--null";
    }
}

// The checks of the input that need the whole command line.
bool checkRecords(BatchSettings& settings, int recordFormats, std::string& message) {
    if (recordFormats > 1) {
        message = "--binary, --csv and --null exclude each other";
        return false;
    }
    if (!settings.inputGiven && settings.recordFormat != RecordFormat::kLines) {
        message = std::string(recordFormatOption(settings.recordFormat)) +
                  " reads its records from --input";
        return false;
    }
    // --raw takes a line's bytes as they are; binary and NUL-separated
    // records are raw anyway.
    if (settings.raw && settings.recordFormat == RecordFormat::kLines && settings.inputGiven) {
        settings.recordFormat = RecordFormat::kRawLines;
    }
    if (settings.recordFormat == RecordFormat::kBinary ||
        settings.recordFormat == RecordFormat::kNulSeparated) {
        settings.raw = true;
    }
    if (settings.reportPath == "-" && settings.names.isStandardOutput()) {
        message = "--report - and TEMPLATE - cannot both write to standard output";
        return false;
    }
    return true;
}

// A label sheet is PDF: --format and TEMPLATE may say so, or nothing.
bool checkSheetFormat(BatchSettings& settings, std::string& message) {
    const std::optional<OutputFormat> named = settings.names.format(kBatchFormats);
    if (settings.formatGiven && settings.format != OutputFormat::kPdf) {
        message =
            std::string("--sheet writes PDF, and --format asks for ") + formatName(settings.format);
        return false;
    }
    if (named && *named != OutputFormat::kPdf) {
        message = "--sheet writes PDF, and TEMPLATE " + quoted(settings.names.text()) + " names " +
                  formatName(*named) + " files";
        return false;
    }
    settings.format = OutputFormat::kPdf;
    return true;
}

// TEMPLATE's format, or --format's if it does not contradict TEMPLATE.
bool checkFormat(BatchSettings& settings, std::string& message) {
    const NameTemplate& names = settings.names;
    if (settings.labelSheet) {
        return checkSheetFormat(settings, message);
    }
    if (names.isStandardOutput()) {
        return true;  // png unless --format says otherwise
    }
    if (!settleFormat(settings, "--format", message)) {
        return false;
    }
    if (settings.options.output.dpi != 0 && settings.format == OutputFormat::kTxt) {
        message = "--dpi has no meaning for the txt format";
        return false;
    }
    return true;
}

std::string millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", mm);
    return text;
}

// The label-sheet options against the rest of the command line: the one
// PDF takes every record, so TEMPLATE names no record, and a record is one
// label; the margin and the grid's gaps must leave room for labels.
bool checkSheet(const BatchSettings& settings, std::string& message) {
    if (!settings.labelSheet) {
        if (settings.sheetOption != nullptr) {
            message = std::string(settings.sheetOption) + " is for label sheets: give --sheet too";
            return false;
        }
        return true;
    }
    const NameTemplate& names = settings.names;
    const SheetSettings& sheet = settings.sheet;
    const double roomWidth = sheet.paperWidthMm - 2 * sheet.marginMm;
    const double roomHeight = sheet.paperHeightMm - 2 * sheet.marginMm;
    if (names.usesRecordNumber() || names.usesSegmentNumber()) {
        message = "--sheet puts every record in the one PDF that TEMPLATE names: " +
                  quoted(names.text()) + " may not hold {n} or {s}";
    } else if (settings.options.macroSegments > 0) {
        message =
            "--sheet places one symbol a record, and --macro makes several: write Macro "
            "PDF417 symbols as files";
    } else if (!(roomWidth > 0 && roomHeight > 0)) {
        message = "--margin " + millimetres(sheet.marginMm) + " leaves no room on paper of " +
                  millimetres(sheet.paperWidthMm) + " x " + millimetres(sheet.paperHeightMm) +
                  " mm";
    } else if (sheet.columns > 0 && (roomWidth - (sheet.columns - 1) * sheet.gapMm <= 0 ||
                                     roomHeight - (sheet.rows - 1) * sheet.gapMm <= 0)) {
        message = "--grid " + std::to_string(sheet.columns) + "x" + std::to_string(sheet.rows) +
                  " with --gap " + millimetres(sheet.gapMm) + " leaves no room for the labels";
    } else {
        return true;
    }
    return false;
}

// The checks of the output that need the whole command line.
bool checkOutput(BatchSettings& settings, std::string& message) {
    if (!checkSheet(settings, message) || !checkFormat(settings, message)) {
        return false;
    }
    const NameTemplate& names = settings.names;
    const std::int32_t segments = settings.options.macroSegments;
    if (segments > 1 && names.isStandardOutput()) {
        message = "standard output takes one symbol, and --macro " + std::to_string(segments) +
                  " makes " + std::to_string(segments);
        return false;
    }
    if (segments > 1 && !names.usesSegmentNumber()) {
        message = "--macro " + std::to_string(segments) +
                  " needs {s} in TEMPLATE to name the segments apart";
        return false;
    }
    if (!settings.options.fileId.empty() && segments == 0) {
        message = "--file-id is for Macro PDF417: give --macro too";
        return false;
    }
    return true;
}

bool isFlag(std::int32_t option) {
    switch (option) {
        case kRaw:
        case kBinary:
        case kCsv:
        case kNull:
        case kNullLetter:
        case kQuiet:
        case kAnyPath:
        case kShortest:
        case kMkdir:
            return true;
        default:
            return false;
    }
}

// The options without a value; recordFormats counts --binary, --csv and
// --null.
void applyFlag(std::int32_t option, BatchSettings& settings, int& recordFormats) {
    switch (option) {
        case kRaw:
            settings.raw = true;
            break;
        case kBinary:
        case kCsv:
        case kNull:
        case kNullLetter:
            ++recordFormats;
            settings.recordFormat = option == kBinary ? RecordFormat::kBinary
                                    : option == kCsv  ? RecordFormat::kCsv
                                                      : RecordFormat::kNulSeparated;
            break;
        case kQuiet:
            settings.quiet = true;
            break;
        case kAnyPath:
            settings.anyPath = true;
            break;
        case kShortest:
            settings.options.shortest = true;
            break;
        case kMkdir:
            settings.makeFolders = true;
            break;
        default:
            break;
    }
}

bool readFormat(std::string_view value, BatchSettings& settings, std::string& message) {
    if (const std::optional<OutputFormat> format = formatNamed(value, kBatchFormats)) {
        settings.format = *format;
        settings.formatGiven = true;
        return true;
    }
    message =
        "unknown format " + quoted(value) + " (known: " + formatNames(kBatchFormats, ", ") + ")";
    return false;
}

// A file name option: not empty.
bool readPath(std::string_view value, const char* refusal, std::string& path,
              std::string& message) {
    if (value.empty()) {
        message = refusal;
        return false;
    }
    path = value;
    return true;
}

// The label-sheet options, checked strictly; false with a message for a
// value refused.
bool applySheetOption(std::int32_t option, std::string_view value, BatchSettings& settings,
                      std::string& message) {
    SheetSettings& sheet = settings.sheet;
    const char* name = "--sheet";
    bool read = true;
    std::string refusal;
    switch (option) {
        case kSheet:
            settings.labelSheet = true;
            read = readPaperSize(value, sheet.paperWidthMm, sheet.paperHeightMm);
            refusal = "a4, letter or WIDTHxHEIGHT in millimetres (each 1 to " +
                      millimetres(kMaxPaperMm) + ")";
            break;
        case kGrid:
            name = "--grid";
            read = readGrid(value, sheet.columns, sheet.rows);
            refusal = "COLUMNSxROWS, each from 1 to " + std::to_string(kMaxGridSide);
            break;
        case kMargin:
        case kGap:
            name = option == kMargin ? "--margin" : "--gap";
            read = readMillimetres(value, option == kMargin ? sheet.marginMm : sheet.gapMm);
            refusal = "millimetres from 0 to " + millimetres(kMaxPaperMm);
            break;
        default: {
            name = "--caption";
            settings.captionGiven = true;
            settings.caption = NameTemplate();
            std::string templateMessage;
            if (!value.empty() && !settings.caption.parse(value, templateMessage)) {
                message = "--caption " + quoted(value) + ": " +
                          (templateMessage.empty() ? "out of memory" : templateMessage);
                return false;
            }
            break;
        }
    }
    if (!read) {
        message = std::string(name) + " takes " + refusal + ", not " + quoted(value);
        return false;
    }
    if (option != kSheet && settings.sheetOption == nullptr) {
        settings.sheetOption = name;
    }
    return true;
}

// The batch's options with a value, checked strictly; false with a message
// for a value refused.
bool applyValueOption(std::int32_t option, std::string_view value, BatchSettings& settings,
                      std::string& message) {
    SymbolOptions& options = settings.options;
    const auto refuse = [&](std::string text) {
        message = std::move(text);
        return false;
    };
    switch (option) {
        case kInput:
            settings.inputGiven = true;
            return readPath(value, "--input needs a file name ('-' for standard input)",
                            settings.inputPath, message);
        case kReport:
            return readPath(value, "--report needs a file name ('-' for standard output)",
                            settings.reportPath, message);
        case kFormat:
            return readFormat(value, settings, message);
        case kDpi:
            return applyOption(OptionId::kDpi, value, options, ValueCheck::kStrict) ||
                   refuse("--dpi takes a whole number from 1 to " + std::to_string(kMaxDpi) +
                          ", not " + quoted(value));
        case kMacro:
            return applyOption(OptionId::kMacro, value, options, ValueCheck::kStrict) ||
                   refuse("--macro takes a number of symbols from 1 to " +
                          std::to_string(kMaxMacroSegments) + ", not " + quoted(value));
        case kFileId:
            // Checked here, before any record, though encode checks it too.
            return (!value.empty() && isMacroFileId(value) &&
                    applyOption(OptionId::kFileId, value, options, ValueCheck::kStrict)) ||
                   refuse("--file-id " + quoted(value) +
                          " is no Macro PDF417 file ID: digits, or '#' and groups of "
                          "three digits of 000 to 899");
        case kSheet:
        case kGrid:
        case kMargin:
        case kGap:
        case kCaption:
            return applySheetOption(option, value, settings, message);
        case kJobs:
            return readCount(value, 1, kMaxJobs, settings.jobs) ||
                   refuse("--jobs takes a whole number from 1 to " + std::to_string(kMaxJobs) +
                          ", not " + quoted(value));
        default:
            return true;
    }
}

// A symbol option: barwright's value rules, out-of-range values dropped
// silently; but a colour must be written out, since barwright's reading of
// "white" or "#003366" as black bars or ground makes symbols no one can read.
bool applySymbolOption(std::int32_t letter, std::string_view value, BatchSettings& settings,
                       std::string& message) {
    const OptionEntry* entry = findOptionByLetter(letter);
    if (entry == nullptr) {
        return true;
    }
    if (entry->kind != ValueKind::kColour) {
        (void)applyOption(entry->id, value, settings.options, ValueCheck::kLenient);
        return true;
    }
    if (applyOption(entry->id, value, settings.options, ValueCheck::kStrict)) {
        return true;
    }
    message = std::string(letter == 'b' ? "-b, --bcolor" : "-f, --fcolor") +
              " takes a colour as rrggbb, #rrggbb or 0xrrggbb (six hexadecimal digits), not " +
              quoted(value);
    return false;
}

// TEMPLATE, the last argument, and what depends on the whole command line.
bool finishCommandLine(int argc, char* argv[], std::int32_t index, int recordFormats,
                       BatchSettings& settings, std::string& message) {
    if (index >= argc || argv[index] == nullptr) {
        message = "no TEMPLATE: name the output files (or '-' for standard output)";
        return false;
    }
    const std::string_view templateText = argv[index];
    if (index + 1 < argc) {
        message = "unexpected argument " + quoted(argv[index + 1]) +
                  " after TEMPLATE (options go before it)";
        return false;
    }
    std::string templateMessage;
    if (!settings.names.parse(templateText, templateMessage)) {
        message = "TEMPLATE " + quoted(templateText) + ": " +
                  (templateMessage.empty() ? "out of memory" : templateMessage);
        return false;
    }
    if (!checkRecords(settings, recordFormats, message) || !checkOutput(settings, message)) {
        return false;
    }
    // Without --input, -d's data is the one record.
    settings.options.symbol.escapes = !settings.raw;
    return true;
}

// One option the parser returned; false, with a message, when it is refused.
bool applyParsed(std::int32_t option, const OptionParser& parser, BatchSettings& settings,
                 int& recordFormats, std::string& message) {
    const std::string_view value = parser.value() != nullptr ? parser.value() : "";
    if (option == OptionParser::kBad) {
        message = parser.refusal();
        return false;
    }
    if (isFlag(option)) {
        // The parser ignores "=value" after an option without one; it is
        // refused here rather than silently dropped.
        const std::string_view word = parser.word();
        message = "option " + quoted(word.substr(0, word.find('='))) + " takes no value";
        applyFlag(option, settings, recordFormats);
        return word.find('=') == std::string_view::npos || word.substr(0, 2) != "--";
    }
    if (option >= kInput) {
        return applyValueOption(option, value, settings, message);
    }
    return applySymbolOption(option, value, settings, message);
}

}  // namespace

CommandLineResult readCommandLine(int argc, char* argv[], std::int32_t cpuCount,
                                  BatchSettings& settings, std::string& message) {
    settings.jobs = cpuCount < 1 ? 1 : (cpuCount > kMaxJobs ? kMaxJobs : cpuCount);
    int recordFormats = 0;
    OptionParser parser(argc, argv, optionString(), longOptions().data());
    for (;;) {
        const std::int32_t option = parser.next();
        if (option == OptionParser::kEnd) {
            break;
        }
        if (option == 'h' || option == kVersion) {
            return option == 'h' ? CommandLineResult::kHelp : CommandLineResult::kVersion;
        }
        if (!applyParsed(option, parser, settings, recordFormats, message)) {
            return CommandLineResult::kUsageError;
        }
    }
    if (!finishCommandLine(argc, argv, parser.index(), recordFormats, settings, message)) {
        return CommandLineResult::kUsageError;
    }
    return CommandLineResult::kRun;
}

const char* batchVersionText() {
    static const std::string text = std::string("barwright-batch ") + version();
    return text.c_str();
}

void printBatchUsage(std::FILE* stream, std::int32_t cpuCount) {
    std::fprintf(stream, kUsageFormat, kMaxDpi, cpuCount);
    std::fflush(stream);
}

}  // namespace barwright::batch
