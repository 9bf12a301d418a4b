#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "options/OutputFormat.h"
#include "options/SymbolOptions.h"

namespace barwright {

// One record's work, as the reading thread hands it to a worker.
struct RecordTask {
    std::uint64_t number = 0;  // the record number, 1-based
    // Where the record is in the input, for messages: "line 12", "row 5
    // (line 7)", "record 3"; empty when it is not from an input file.
    std::string location;
    // The input line where the record begins, 0 where messages name none.
    std::uint64_t line = 0;
    // The record's symbol: the run's options, its data and its CSV cells,
    // and its Macro PDF417 file ID (the run's, or its own: macroFileId).
    SymbolOptions options;
    // The file of each symbol, one per Macro segment (or the one); empty when
    // the symbol goes to standard output.
    std::vector<std::string> names;
    bool toStandardOutput = false;
    // The format of every file of the record: its name's, or the run's.
    OutputFormat format = OutputFormat::kPng;
    // On a label sheet, the line printed under the symbol (UTF-8); empty
    // for none.
    std::string caption;

    // A fault found while reading (a bad CSV cell, a refused name): the
    // record fails with it and nothing is made.
    Status failure = status::kOk;
    std::string failureName;    // the file it names in the message
    std::string failureReason;  // the detail after the status message

    // The file a message about the record names: its first, or "-" for
    // standard output.
    std::string firstName() const {
        return toStandardOutput || names.empty() ? "-" : names.front();
    }
};

// The shape of what a record became, for the report: over the symbols of a
// Macro PDF417 record, the largest rows and level and the sums of the
// codewords.
struct SymbolFacts {
    std::int32_t columns = 0;  // 1..30
    std::int32_t rows = 0;     // 3..90
    std::int32_t errorCorrectionLevel = 0;
    std::int64_t dataCodewords = 0;  // EncodedSymbol::dataCodewordCount
    std::int64_t dataCapacity = 0;   // EncodedSymbol::dataCapacity
};

// What became of a record.
struct RecordResult {
    Status status = status::kOk;
    std::string name;    // the file the failure concerns ("-" for standard output)
    std::string reason;  // the detail, e.g. the system's reason; may be empty
    // The folder that the file needed and that does not exist, when that is
    // why it could not be opened; such failures are summed up per folder.
    std::string missingFolder;
    SymbolFacts facts;  // when the status is kOk
    // The symbols made, for a front door that places them itself (label
    // sheets) rather than writing files.
    std::vector<EncodedSymbol> symbols;
};

// The Macro PDF417 file ID of a record when the run gives none: the record
// number in base 900, one codeword (shown as three digits, 000..899) per
// digit, so that records never share an ID and record 7 reads as "007".
std::string macroFileId(std::uint64_t recordNumber);

// The text after a record's file name in its message: the status message,
// and the reason in parentheses when there is one.
std::string resultMessage(const RecordResult& result);

// A failed record's message as barwright-batch prints it after its name:
// "line 3: out-3.png: Error: ... (reason)" (the location only when the
// record has one, the name's control bytes escaped).
std::string failureMessage(const RecordTask& task, const RecordResult& result);

// What barwright-batch prints, once the run is over, in place of the
// failures of the records whose files went to a folder that does not exist:
// "folder \"out/2024\" does not exist: 3 records not written (--mkdir
// creates it)".
std::string missingFolderMessage(const std::string& folder, std::uint64_t records);

}  // namespace barwright
