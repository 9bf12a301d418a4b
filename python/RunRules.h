#pragma once

#include <cstdint>
#include <string>

#include "options/TaskMaker.h"
#include "python/SymbolRequest.h"

namespace barwright::python {

// barwright-batch's exit status for a command line, CSV header or
// SOURCE_DATE_EPOCH that it refuses before any record; write_csv's Error
// carries it for the same faults.
constexpr std::int32_t kUsageStatus = 64;

// What barwright.dask.write_csv asks for, in plain values, so that the
// client and every worker make the same RecordRules of it.
struct RunRequest {
    std::string templateText;  // the file names, as barwright-batch's TEMPLATE
    std::string format;        // a format's name; empty: TEMPLATE's extension says
    // Applied in order onto barwright-batch's defaults (the data 1234567 and
    // the ~ escapes on), but for files that record no time unless "time" is
    // among them.
    OptionTexts options;
    bool anyPath = false;  // CSV output cells may leave the current folder
};

// Makes the rules of a run of CSV records, checking what barwright-batch
// checks of its command line: 0; status::kInvalidArgument for an option or
// format that the hallway refuses, the reason in message; kUsageStatus for
// a TEMPLATE that names no files or contradicts the format, the message
// saying why.
[[nodiscard]] std::int32_t makeRecordRules(const RunRequest& request, RecordRules& rules,
                                           std::string& message);

}  // namespace barwright::python
