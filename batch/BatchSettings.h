#pragma once

#include <cstdint>
#include <string>

#include "barwright/PngWriter.h"
#include "batch/NameTemplate.h"
#include "batch/RecordReader.h"
#include "cli/SymbolOptions.h"

namespace barwright::batch {

// More threads than this only cost memory on any machine the program meets.
// (The resolution's limit is the library's, kMaxDpi.)
constexpr std::int32_t kMaxJobs = 256;

// Everything one barwright-batch command line asks for.
struct BatchSettings {
    // The symbol options, as barwright reads them: every record starts from
    // these, and a CSV cell may override one for its record.
    SymbolOptions options;

    bool inputGiven = false;
    std::string inputPath;  // "-" reads standard input
    RecordFormat recordFormat = RecordFormat::kLines;
    // No escapes: --raw (for lines, CSV data cells and, without --input,
    // -d's data), --binary or --null.
    bool raw = false;

    NameTemplate names;  // TEMPLATE
    // --format's, or else TEMPLATE's (png for "-"): the format of every file
    // whose name has no known extension of its own.
    OutputFormat format = OutputFormat::kPng;
    // With --format, a file whose name has another format's extension fails;
    // without, such a file takes its extension's format.
    bool formatGiven = false;
    std::int32_t dpi = 0;            // 1..kMaxDpi, or 0 to record none
    std::int32_t macroSegments = 0;  // 1..kMaxMacroSegments, or 0 for plain symbols
    std::string fileId;              // empty: each record its own (see macroFileId)

    std::int32_t jobs = 1;  // 1..kMaxJobs worker threads
    bool quiet = false;
    bool anyPath = false;      // CSV output cells may leave the current folder
    bool makeFolders = false;  // --mkdir: create the folders that file names need
    std::string reportPath;    // --report: the CSV of what each record became; "-" standard output
    // The shortest encodation for every record, in place of the compaction
    // mode (a CSV "shortest" cell decides for its record).
    bool shortest = false;

    // The time and resolution that PNG files record.
    PngOptions png;
};

}  // namespace barwright::batch
