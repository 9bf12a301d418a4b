#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "options/RecordTask.h"
#include "options/SymbolFile.h"

namespace barwright {

// A worker's tools for a record: encodes its symbols and makes the file of
// each in the task's format, with the reasons barwright-batch gives for a
// failure. Keeps its buffers from one record to the next.
class RecordMaker {
public:
    // Encodes the task's symbols (see symbolCount). The status of the task's
    // own failure, or of the encode; the reason goes into result (advice
    // when the data does not fit), and on success the facts of the symbols.
    [[nodiscard]] Status encode(const RecordTask& task, RecordResult& result);
    // After a successful encode: one, or the task's Macro PDF417 segments.
    std::size_t symbolCount() const noexcept { return symbols_.size(); }
    const EncodedSymbol& symbol(std::size_t index) const { return symbols_[index]; }
    // Hands the symbols of the last encode over, leaving none.
    void takeSymbols(std::vector<EncodedSymbol>& symbols) {
        symbols.swap(symbols_);
        symbols_.clear();
    }

    // Makes the file of symbol `index` in the task's format with its output
    // options; its bytes are bytes() until the next call. SymbolFile's
    // statuses; the reason goes into result (the colours' contrast).
    [[nodiscard]] Status makeFile(std::size_t index, const RecordTask& task, RecordResult& result);
    std::string_view bytes() const noexcept { return file_.bytes(); }

private:
    std::vector<EncodedSymbol> symbols_;
    SymbolFile file_;
};

}  // namespace barwright
