#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "barwright/Status.h"
#include "batch/BatchSettings.h"
#include "batch/FileDescriptorSource.h"
#include "batch/ProgressLine.h"
#include "batch/RunReport.h"
#include "batch/SheetFile.h"
#include "batch/WorkQueue.h"
#include "options/RecordReader.h"
#include "options/RecordTask.h"
#include "options/TaskMaker.h"

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
    // end (and no record failed before), kUsageError for a bad CSV header,
    // 73 when the report cannot be created, or written (and no record
    // failed).
    // A stop signal ends the process by that signal instead, once the
    // records in flight are done.
    [[nodiscard]] int run();

private:
    // Reads the CSV header; returns 0 to go on, an exit status otherwise
    // (with `empty` set when the input holds nothing at all).
    [[nodiscard]] int readHeader(RecordReader& reader, bool& empty);
    // Opens the input, and the report; 0, or the exit status of a failure.
    [[nodiscard]] int openInput(FileDescriptorSource& source);
    [[nodiscard]] int openReport();
    // With --sheet: creates the one PDF; 0, or the exit status of a failure.
    [[nodiscard]] int openSheet();
    // Completes it once every record is placed; 0, or the exit status of a
    // failure, which costs the whole document.
    [[nodiscard]] int finishSheet();
    // Starts the workers; false when not even one would start.
    [[nodiscard]] bool startWorkers(std::vector<std::thread>& workers);
    // Hands every record to the workers; false when memory ran out.
    [[nodiscard]] bool readRecords(RecordReader& reader, bool empty);
    // Reports what the run leaves to its end and returns the exit status;
    // after a stop signal ends the process by it instead.
    [[nodiscard]] int finish(const RecordReader& reader, int stopSignal, bool outOfMemory);
    // Says how far a stopped run got, then ends the process by the signal.
    [[noreturn]] void endByStop(int stopSignal);
    void work();
    void report(const RecordTask& task, RecordResult& result);
    void printFailure(const RecordTask& task, const RecordResult& result);
    // Counts a record lost to a missing folder; false when it cannot.
    bool countMissingFolder(const std::string& folder) noexcept;
    void printMissingFolders();
    [[nodiscard]] std::string inputName() const;

    const BatchSettings& settings_;
    WorkQueue queue_;
    ProgressLine progress_;
    RunReport report_;

    // With --sheet, the one PDF, filled by the reporting worker.
    std::unique_ptr<SheetFile> sheet_;
    // Set by the reporting worker when reading on is useless (the sheet
    // cannot be written).
    std::atomic<bool> stopReading_{false};

    // The reading thread's own.
    TaskMaker tasks_;
    // The line of the last record read (NUL-separated: its number).
    std::uint64_t lastLine_ = 0;

    // The reporting worker's (one at a time), read by the caller once the
    // workers have ended.
    std::uint64_t written_ = 0;
    std::uint64_t failed_ = 0;
    Status firstFailure_ = status::kOk;
    // Missing folders in the order met, and the records each cost.
    std::vector<std::pair<std::string, std::uint64_t>> missingFolders_;
    std::map<std::string, std::size_t> missingFolderIndex_;
};

// The whole program: reads the command line and the environment, then runs.
// Returns the exit status.
[[nodiscard]] int runBatch(int argc, char* argv[]);

}  // namespace barwright::batch
