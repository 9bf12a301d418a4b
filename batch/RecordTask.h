#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barwright/Status.h"
#include "cli/SymbolOptions.h"

namespace barwright::batch {

// One record's work, as the reading thread hands it to a worker.
struct RecordTask {
    std::uint64_t number = 0;  // the record number, 1-based
    // Where the record is in the input, for messages: "line 12", "row 5
    // (line 7)"; empty when it is not from an input file.
    std::string location;
    // The record's symbol: the command line's options, its data and its CSV
    // cells.
    SymbolOptions options;
    // The file of each symbol, one per Macro segment (or the one); empty when
    // the symbol goes to standard output.
    std::vector<std::string> names;
    bool toStandardOutput = false;

    // A fault found while reading (a bad CSV cell, a refused name): the
    // record fails with it and nothing is made.
    Status failure = status::kOk;
    std::string failureName;    // the file it names in the message
    std::string failureReason;  // the detail after the status message
};

// What became of a record.
struct RecordResult {
    Status status = status::kOk;
    std::string name;    // the file the failure concerns ("-" for standard output)
    std::string reason;  // the detail, e.g. the system's reason; may be empty
};

}  // namespace barwright::batch
