#pragma once

#include <string>

#include "barwright/Status.h"
#include "options/RecordMaker.h"
#include "options/RecordTask.h"

namespace barwright::batch {

// A worker's tools: makes a record's files with the hallway's RecordMaker
// and writes them, each taking its name only once it is complete. Keeps its
// buffers from one record to the next, so a worker allocates little once it
// has made the largest symbol.
class SymbolWriter {
public:
    // makeFolders: create the folders that the names need.
    explicit SymbolWriter(bool makeFolders) : makeFolders_(makeFolders) {}

    // Makes the task's files. The result names the status of the first
    // failure and the file concerned, or the facts of the symbols made;
    // files finished before a failure stay.
    void write(const RecordTask& task, RecordResult& result) noexcept;
    // Only encodes the task's symbols, into result.symbols, for a label
    // sheet that places them in input order.
    void encode(const RecordTask& task, RecordResult& result) noexcept;

private:
    [[nodiscard]] Status makeFiles(const RecordTask& task, RecordResult& result);
    // Writes what the maker made; the reason of a failure goes into result.
    [[nodiscard]] Status writeFile(const std::string& name, RecordResult& result);
    [[nodiscard]] Status writeStandardOutput(RecordResult& result);

    bool makeFolders_;
    RecordMaker maker_;
};

}  // namespace barwright::batch
