#include "batch/BatchRun.h"

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "batch/CommandLine.h"
#include "batch/FileDescriptorSource.h"
#include "batch/PrintableText.h"
#include "batch/StopSignals.h"
#include "cli/OptionParser.h"

namespace barwright::batch {

namespace {

constexpr const char* kProgram = "barwright-batch";
// Records per worker in the window: enough that the reader, woken when half
// of it is free, keeps every worker busy; few enough that memory stays
// small.
constexpr std::size_t kRecordsPerWorker = 8;
// Free memory a heap keeps rather than gives back: more than any worker's
// symbol needs, so that memory stays bounded all the same.
constexpr int kKeptHeapBytes = 64 * 1024 * 1024;
// BSD's sysexits: the system would not start a thread; the report file
// cannot be created or written.
constexpr int kSystemStatus = 71;
constexpr int kReportStatus = 73;

// Exit statuses are 8 bits; every record status fits, and anything else
// (never expected) still reads as a failure.
int exitStatusOf(Status status) { return status > 0 && status < 256 ? status : 1; }

void printLine(const std::string& line) {
    std::string text = std::string(kProgram) + ": " + line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

std::string systemReason(int error) {
    char buffer[256] = {};
    // GNU's strerror_r returns the text, POSIX's fills the buffer.
    struct Text {
        static const char* of(int result, const char* buffer) {
            return result == 0 ? buffer : "Unknown error";
        }
        static const char* of(const char* text, const char*) { return text; }
    };
    return Text::of(::strerror_r(error, buffer, sizeof buffer), buffer);
}

// Whether two names lead to the same existing file.
bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

const char* problemReason(RecordProblem problem) {
    switch (problem) {
        case RecordProblem::kStrayQuote:
            return "a quote inside an unquoted cell, or text after a closing quote";
        case RecordProblem::kUnterminatedQuote:
            return "the input ends inside a quoted cell";
        default:
            return "";
    }
}

}  // namespace

BatchRun::BatchRun(const BatchSettings& settings)
    : settings_(settings),
      queue_(static_cast<std::size_t>(settings.jobs) * kRecordsPerWorker,
             [this](const RecordTask& task, const RecordResult& result) { report(task, result); }),
      progress_(stderr, !settings.quiet && ::isatty(STDERR_FILENO) == 1) {
    writeSettings_.png = settings.png;
    writeSettings_.dpi = settings.dpi;
    writeSettings_.macroSegments = settings.macroSegments;
    writeSettings_.fileId = settings.fileId;
    writeSettings_.makeFolders = settings.makeFolders;
}

std::string BatchRun::inputName() const {
    return settings_.inputPath == "-" ? "standard input" : settings_.inputPath;
}

void BatchRun::fail(RecordTask& task, Status status, std::string reason) {
    task.failure = status;
    task.failureReason = std::move(reason);
    if (task.failureName.empty()) {
        task.failureName = task.names.empty() ? "-" : task.names.front();
    }
}

bool BatchRun::nameFiles(const NameTemplate& names, bool fromCell, RecordTask& task) {
    const std::int32_t symbols = settings_.macroSegments > 0 ? settings_.macroSegments : 1;
    task.names.clear();
    task.names.reserve(static_cast<std::size_t>(symbols));
    for (std::int32_t segment = 1; segment <= symbols; ++segment) {
        std::string name = names.expand(task.number, static_cast<std::uint64_t>(segment));
        if (name.empty()) {
            fail(task, status::kFail, "out of memory");
            return false;
        }
        // A CSV from someone else must not write outside the folder the
        // user chose; the user's own TEMPLATE may name any file.
        if (fromCell && !settings_.anyPath && !isContainedPath(name)) {
            task.failureName = printableText(name, false);
            task.names.clear();
            fail(task, status::kCantOpenOutput,
                 "an output cell may not leave the current folder; --any-path allows it");
            return false;
        }
        task.names.push_back(std::move(name));
    }
    return true;
}

void BatchRun::locate(const Record& record, RecordTask& task) const {
    if (!settings_.inputGiven) {
        return;
    }
    const std::string line = std::to_string(record.line);
    switch (settings_.recordFormat) {
        case RecordFormat::kBinary:
            return;  // the one record
        case RecordFormat::kNulSeparated:
            task.location = "record " + std::to_string(record.number);  // there are no lines
            return;
        case RecordFormat::kCsv:
            task.location = "row " + std::to_string(record.number) + " (line " + line + ")";
            break;
        default:
            task.location = "line " + line;
            break;
    }
    task.line = record.line;
}

bool BatchRun::chooseFormat(RecordTask& task) {
    if (!settings_.formatGiven && !task.names.empty()) {
        task.format = outputFormatOf(task.names.front()).value_or(settings_.format);
    }
    for (const std::string& name : task.names) {
        if (!nameAllowsFormat(name, task.format)) {
            task.failureName = printableText(name, false);
            fail(task, status::kInvalidArgument,
                 settings_.formatGiven
                     ? std::string("--format ") + outputFormatName(task.format) +
                           ", but the name asks for " +
                           outputFormatName(outputFormatOf(name).value_or(task.format))
                     : std::string("the names of its symbols ask for different formats"));
            return false;
        }
    }
    return true;
}

bool BatchRun::nameFromCell(const std::string& outputCell, RecordTask& task) {
    NameTemplate cellNames;
    std::string message;
    if (!cellNames.parse(outputCell, message)) {
        task.failureName = printableText(outputCell, false);
        fail(task, status::kInvalidArgument, "output cell: " + message);
        return false;
    }
    if (settings_.macroSegments > 1 && !cellNames.usesSegmentNumber()) {
        task.failureName = printableText(outputCell, false);
        fail(task, status::kInvalidArgument,
             "the output cell needs {s} to name the symbols of --macro apart");
        return false;
    }
    return nameFiles(cellNames, true, task);
}

bool BatchRun::makeTask(Record& record, RecordTask& task) {
    task.number = record.number;
    task.options = settings_.options;
    task.format = settings_.format;
    const bool csv = settings_.recordFormat == RecordFormat::kCsv;
    locate(record, task);
    if (settings_.inputGiven && !csv) {
        task.options.symbol.data = std::move(record.data);
    }

    // The names first, so that every message can name the record's file.
    std::string outputCell;
    std::string cellMessage;
    const bool cellsSound = record.problem == RecordProblem::kNone;
    bool shortest = settings_.shortest;
    const bool cellsApplied =
        csv && cellsSound &&
        columns_.apply(record.cells, task.options, outputCell, shortest, cellMessage);
    if (shortest) {
        task.options.symbol.compaction = CompactionMode::kShortest;
    }
    if (!outputCell.empty()) {
        if (!nameFromCell(outputCell, task)) {
            return true;
        }
    } else if (settings_.names.isStandardOutput()) {
        task.toStandardOutput = true;
        if (++templateRecords_ > 1) {
            fail(task, status::kInvalidArgument, "standard output takes one record");
            return false;
        }
    } else {
        if (!nameFiles(settings_.names, false, task)) {
            return true;
        }
        if (++templateRecords_ == 1) {
            firstTemplateRecord_ = record.number;
        } else if (!settings_.names.usesRecordNumber()) {
            fail(task, status::kInvalidArgument,
                 "TEMPLATE has no {n}, so this record would replace the file of record " +
                     std::to_string(firstTemplateRecord_));
            return false;
        }
    }

    switch (record.problem) {
        case RecordProblem::kNone:
            break;
        case RecordProblem::kTooLong:
            // Far more than a symbol holds, which is what such data fails
            // with anyway.
            fail(task, status::kDataCountAbove928,
                 "the record is over " + std::to_string(RecordReader::kDefaultRecordLimit) +
                     " bytes");
            return true;
        case RecordProblem::kWrongCellCount:
            fail(task, status::kInvalidArgument,
                 "the row has " + std::to_string(record.cells.size()) + " cells, the header " +
                     std::to_string(columns_.size()));
            return true;
        default:
            fail(task, status::kInvalidArgument, problemReason(record.problem));
            return true;
    }
    if (csv && !cellsApplied) {
        fail(task, status::kInvalidArgument, cellMessage);
        return true;
    }
    (void)chooseFormat(task);
    return true;
}

int BatchRun::readHeader(RecordReader& reader, bool& empty) {
    empty = false;
    if (reader.readHeader()) {
        std::string message;
        if (!columns_.setHeader(reader.header(), message)) {
            printLine(inputName() + ": line 1: " + message);
            return kUsageStatus;
        }
        return 0;
    }
    switch (reader.headerState()) {
        case HeaderState::kMissing:
            empty = true;
            return 0;
        case HeaderState::kFaulty:
            printLine(inputName() + ": line 1: the header row is not sound CSV (" +
                      (reader.headerProblem() == RecordProblem::kTooLong
                           ? std::string("it is too long")
                           : std::string(problemReason(reader.headerProblem()))) +
                      ")");
            return kUsageStatus;
        default:
            return 0;  // a failed read, which the caller reports
    }
}

void BatchRun::work() {
    try {
        SymbolWriter writer(writeSettings_);
        std::uint64_t ticket = 0;
        const RecordTask* task = nullptr;
        RecordResult* result = nullptr;
        while (queue_.take(ticket, task, result)) {
            writer.write(*task, *result);
            queue_.complete(ticket);
        }
    } catch (const std::exception&) {
        // Only the queue's bookkeeping can throw here (memory for a file
        // name), and the run cannot go on in order without it. Unnamed files
        // in the making vanish with the process.
        printLine("out of memory");
        std::_Exit(exitStatusOf(status::kFail));
    }
}

void BatchRun::printFailure(const RecordTask& task, const RecordResult& result) {
    std::string line;
    try {
        if (!task.location.empty()) {
            line += task.location + ": ";
        }
        line += printableText(result.name, false) + ": " + resultMessage(result);
    } catch (const std::bad_alloc&) {
        line = statusMessage(result.status);
    }
    progress_.clear();
    printLine(line);
}

void BatchRun::report(const RecordTask& task, const RecordResult& result) {
    report_.add(task, result);
    if (result.status == status::kOk) {
        ++written_;
    } else {
        ++failed_;
        if (firstFailure_ == status::kOk) {
            firstFailure_ = result.status;
        }
        if (result.missingFolder.empty() || !countMissingFolder(result.missingFolder)) {
            printFailure(task, result);
        }
    }
    progress_.update(written_ + failed_, failed_);
}

bool BatchRun::countMissingFolder(const std::string& folder) noexcept {
    try {
        const auto [entry, added] = missingFolderIndex_.emplace(folder, missingFolders_.size());
        if (added) {
            missingFolders_.emplace_back(folder, 0);
        }
        ++missingFolders_[entry->second].second;
        return true;
    } catch (const std::bad_alloc&) {
        return false;  // then the record has its own line, as any other
    }
}

void BatchRun::printMissingFolders() {
    for (const auto& [folder, records] : missingFolders_) {
        printLine("folder \"" + printableText(folder, true) +
                  "\" does not exist: " + std::to_string(records) +
                  (records == 1 ? " record" : " records") + " not written (--mkdir creates it)");
    }
}

bool BatchRun::startWorkers(std::vector<std::thread>& workers) {
    // Only this thread takes the stop signals: the workers start with them
    // blocked, and a blocked read here is what a signal must interrupt.
    try {
        const StopSignals blocked;
        for (std::int32_t i = 0; i < settings_.jobs; ++i) {
            workers.emplace_back([this] { work(); });
        }
    } catch (const std::system_error& error) {
        if (workers.empty()) {
            printLine(std::string("cannot start a thread: ") + error.what());
            return false;
        }
        // Fewer workers than asked for still do the work.
    }
    return true;
}

bool BatchRun::readRecords(RecordReader& reader, bool empty) {
    Record record;
    try {
        bool more = !empty;
        bool single = !settings_.inputGiven;
        while (more && StopSignals::caught().load() == 0) {
            if (single) {
                record.number = 1;
                record.line = 0;
                more = false;
            } else if (!reader.next(record)) {
                break;
            }
            lastLine_ =
                settings_.recordFormat == RecordFormat::kNulSeparated ? record.number : record.line;
            RecordTask task;
            if (!makeTask(record, task)) {
                more = false;
            }
            queue_.submit(std::move(task));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int BatchRun::run() {
    FileDescriptorSource source;
    if (settings_.inputGiven && settings_.inputPath != "-") {
        if (const int error = source.open(settings_.inputPath.c_str()); error != 0) {
            printLine("cannot open " + settings_.inputPath + ": " + systemReason(error));
            return kInputStatus;
        }
    }
    source.stopWhenSet(&StopSignals::caught());
    RecordReader reader(source, settings_.recordFormat);
    bool empty = false;
    if (settings_.recordFormat == RecordFormat::kCsv && settings_.inputGiven) {
        if (const int status = readHeader(reader, empty); status != 0) {
            return status;
        }
    }
    if (settings_.inputGiven && sameFile(settings_.reportPath, settings_.inputPath)) {
        // The report would take the input's place when the run ends.
        printLine("--report names the input file " + printableText(settings_.inputPath, false));
        return kUsageStatus;
    }
    if (!settings_.reportPath.empty()) {
        if (const int error = report_.open(settings_.reportPath); error != 0) {
            printLine("cannot create the report " + printableText(settings_.reportPath, false) +
                      ": " + systemReason(error));
            return kReportStatus;
        }
    }
    std::vector<std::thread> workers;
    if (!startWorkers(workers)) {
        return kSystemStatus;
    }
    const bool outOfMemory = !readRecords(reader, empty);
    const int stopSignal = StopSignals::caught().load();
    if (stopSignal != 0) {
        // A second signal from now on ends the run at once, removing any
        // temporary file.
        StopSignals::endOnNextSignal();
    }
    queue_.finishInput();
    for (std::thread& worker : workers) {
        worker.join();
    }
    progress_.finish(written_ + failed_, failed_);
    return finish(reader, stopSignal, outOfMemory);
}

int BatchRun::finish(const RecordReader& reader, int stopSignal, bool outOfMemory) {
    printMissingFolders();
    const int reportError = report_.finish();
    if (reportError != 0) {
        printLine("cannot write the report " + printableText(settings_.reportPath, false) + ": " +
                  systemReason(reportError));
    }
    if (stopSignal != 0) {
        std::string line = "interrupted: " + std::to_string(written_) + " records written, " +
                           std::to_string(failed_) + " failed";
        if (settings_.inputGiven) {
            line += settings_.recordFormat == RecordFormat::kNulSeparated
                        ? "; input read to record " + std::to_string(lastLine_)
                        : "; input read to line " + std::to_string(lastLine_);
        }
        printLine(line);
        StopSignals::endBy(stopSignal);
    }
    // The first failing record's status; else the run's own failures.
    const bool recordFailed = firstFailure_ != status::kOk;
    const int exitStatus = recordFailed ? exitStatusOf(firstFailure_) : 0;
    if (outOfMemory) {
        printLine("out of memory while reading " + inputName());
        return recordFailed ? exitStatus : exitStatusOf(status::kFail);
    }
    if (reader.error() != 0) {
        printLine("cannot read " + inputName() + ": " + systemReason(reader.error()));
        return recordFailed ? exitStatus : kInputStatus;
    }
    return recordFailed || reportError == 0 ? exitStatus : kReportStatus;
}

int runBatch(int argc, char* argv[]) {
    // Each symbol's PNG writer allocates and frees zlib's tables (a few
    // hundred kilobytes); returning them to the system after every symbol,
    // as the C library would on a worker's heap, costs a system call and
    // page faults each time. Kept, they are simply reused.
    (void)mallopt(M_TRIM_THRESHOLD, kKeptHeapBytes);
    resetOptionParser();
    const std::int32_t cpuCount = availableCpuCount();
    BatchSettings settings;
    std::string message;
    switch (readCommandLine(argc, argv, cpuCount, settings, message)) {
        case CommandLineResult::kHelp:
            printBatchUsage(stdout, cpuCount);
            return 0;
        case CommandLineResult::kVersion:
            std::puts(batchVersionText());
            return std::fflush(stdout) == 0 ? 0 : 1;
        case CommandLineResult::kUsageError:
            printLine(message);
            std::fputs("Try 'barwright-batch --help'.\n", stderr);
            return kUsageStatus;
        case CommandLineResult::kRun:
            break;
    }
    if (!readSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), settings.png, message)) {
        printLine(message);
        return kUsageStatus;
    }
    if (!StopSignals::catchSignals()) {
        // The run works all the same; only a stop by that signal would not
        // finish the records in flight.
    }
    BatchRun run(settings);
    return run.run();
}

}  // namespace barwright::batch
