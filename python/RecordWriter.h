#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "barwright/Status.h"
#include "options/RecordMaker.h"
#include "options/RecordReader.h"
#include "options/TaskMaker.h"

namespace barwright::python {

// What became of one record on a worker.
struct RecordOutcome {
    std::uint64_t number = 0;
    std::int32_t filesWritten = 0;  // also before a failure
    Status status = status::kOk;
    std::string message;  // barwright-batch's line for a failure, after its name
    // The folder, as the names give it, that did not exist: barwright-batch
    // sums such failures up per folder rather than printing each.
    std::string missingFolder;
};

// A Dask worker's half of barwright.dask.write_csv: makes the records that
// the client's RecordFeed read into files, with the hallway's checks,
// symbols and files, as barwright-batch's workers make them.
class RecordWriter {
public:
    // The rules are makeRecordRules' for the client's RunRequest. Relative
    // names are written under folder (the client's current folder), since
    // a worker runs elsewhere; makeFolders creates the folders they need.
    RecordWriter(RecordRules rules, std::string folder, bool makeFolders);
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // Takes the CSV header's names as the client read them: kOk, or
    // TaskMaker::readHeader's refusal with its message.
    [[nodiscard]] Status setHeader(const std::vector<std::string>& names, std::string& message);

    // Makes the record's files (its cells are taken). After setHeader.
    void write(Record& record, RecordOutcome& outcome) noexcept;

private:
    [[nodiscard]] Status makeFiles(const RecordTask& task, RecordOutcome& outcome,
                                   RecordResult& result);

    // Before the TaskMaker, which holds a reference to them.
    std::unique_ptr<RecordRules> rules_;
    std::string folder_;
    bool makeFolders_;
    TaskMaker tasks_;
    RecordMaker maker_;
};

}  // namespace barwright::python
