#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barwright/Status.h"
#include "batch/BatchSettings.h"
#include "batch/CsvColumns.h"
#include "batch/ProgressLine.h"
#include "batch/RecordReader.h"
#include "batch/RecordTask.h"
#include "batch/SymbolWriter.h"
#include "batch/WorkQueue.h"

namespace barwright::batch {

// One run of barwright-batch once its command line is read: the reading
// thread (the caller) cuts the input into records and hands them to the
// workers through a WorkQueue, which has them report in input order: the
// failures and the progress line.
class BatchRun {
public:
    explicit BatchRun(const BatchSettings& settings);
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // Makes every record's files and returns the exit status: 0 when all
    // were written, else the status of the first failing record in input
    // order, kInputStatus when the input could not be opened or read to its
    // end (and no record failed before), kUsageError for a bad CSV header.
    // A stop signal ends the process by that signal instead, once the
    // records in flight are done.
    [[nodiscard]] int run();

private:
    // Reads the CSV header; returns 0 to go on, an exit status otherwise
    // (with `empty` set when the input holds nothing at all).
    [[nodiscard]] int readHeader(RecordReader& reader, bool& empty);
    // Fills the task for a record; false when reading must stop after it.
    [[nodiscard]] bool makeTask(Record& record, RecordTask& task);
    // Names the record's files from a template; false when the record fails.
    [[nodiscard]] bool nameFiles(const NameTemplate& names, bool fromCell, RecordTask& task);
    void fail(RecordTask& task, Status status, std::string reason);
    void work();
    void report(const RecordTask& task, const RecordResult& result);
    void printFailure(const RecordTask& task, const RecordResult& result);
    [[nodiscard]] std::string inputName() const;

    const BatchSettings& settings_;
    WriteSettings writeSettings_;
    WorkQueue queue_;
    CsvColumns columns_;
    ProgressLine progress_;

    // The reading thread's own.
    std::uint64_t templateRecords_ = 0;  // records named by TEMPLATE
    std::uint64_t firstTemplateRecord_ = 0;
    std::uint64_t lastLine_ = 0;  // the line of the last record read

    // The reporting worker's (one at a time), read by the caller once the
    // workers have ended.
    std::uint64_t written_ = 0;
    std::uint64_t failed_ = 0;
    Status firstFailure_ = status::kOk;
};

// The whole program: reads the command line and the environment, then runs.
// Returns the exit status.
[[nodiscard]] int runBatch(int argc, char* argv[]);

}  // namespace barwright::batch
