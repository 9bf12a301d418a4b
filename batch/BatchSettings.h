#pragma once

#include <cstdint>
#include <string>

#include "barwright/SheetSettings.h"
#include "options/OutputFormat.h"
#include "options/TaskMaker.h"

namespace barwright::batch {

// More threads than this only cost memory on any machine the program meets.
// (The resolution's limit is the library's, kMaxDpi.)
constexpr std::int32_t kMaxJobs = 256;

// Everything one barwright-batch command line asks for: how records become
// tasks (the symbol options as barwright reads them, which every record
// starts from, TEMPLATE, the format, --macro, --file-id, --shortest, --dpi),
// and the run's own settings.
struct BatchSettings : RecordRules {
    BatchSettings() {
        options = programDefaults();
        formats = kBatchFormats;
    }

    std::string inputPath;  // "-" reads standard input
    // No escapes: --raw (for lines, CSV data cells and, without --input,
    // -d's data), --binary or --null.
    bool raw = false;

    std::int32_t jobs = 1;  // 1..kMaxJobs worker threads
    bool quiet = false;
    bool makeFolders = false;  // --mkdir: create the folders that file names need
    std::string reportPath;    // --report: the CSV of what each record became; "-" standard output

    // --sheet (RecordRules::labelSheet): the paper, grid, margin and gap;
    // its captions and PDF options are set as the run starts.
    SheetSettings sheet;
    // The first of --grid, --margin, --gap and --caption given, which mean
    // nothing without --sheet; null for none.
    const char* sheetOption = nullptr;
};

}  // namespace barwright::batch
