#include "options/RecordMaker.h"

#include <algorithm>

#include "options/FailureReasons.h"

namespace barwright {

namespace {

// The sums and largest values over the symbols of a record.
void addFacts(const EncodedSymbol& symbol, SymbolFacts& facts) {
    facts.columns = symbol.columns;
    facts.rows = std::max(facts.rows, symbol.rows);
    facts.errorCorrectionLevel = std::max(facts.errorCorrectionLevel, symbol.errorCorrectionLevel);
    facts.dataCodewords += symbol.dataCodewordCount;
    facts.dataCapacity += symbol.dataCapacity;
}

}  // namespace

Status RecordMaker::encode(const RecordTask& task, RecordResult& result) {
    if (task.failure != status::kOk) {
        symbols_.clear();
        result.name = task.failureName;
        result.reason = task.failureReason;
        return task.failure;
    }
    const SymbolOptions& options = task.options;
    const Status status = encodeSymbols(options, symbols_);
    if (status == status::kInvalidArgument && options.macroSegments > 0) {
        result.reason = "the data has fewer bytes than --macro asks for symbols";
    } else if (isFitStatus(status)) {
        result.reason = fitReason(options);
    }
    if (status != status::kOk) {
        symbols_.clear();
        return status;
    }
    for (const EncodedSymbol& symbol : symbols_) {
        addFacts(symbol, result.facts);
    }
    return status;
}

Status RecordMaker::makeFile(std::size_t index, const RecordTask& task, RecordResult& result) {
    const Status status =
        file_.make(symbols_[index], task.options.picture, task.format, task.options.output);
    if (status == status::kInvalidArgument) {
        result.reason = contrastReason(task.options.picture);
    }
    return status;
}

}  // namespace barwright
