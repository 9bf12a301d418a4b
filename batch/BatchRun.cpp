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
#include "batch/StopSignals.h"
#include "batch/SymbolWriter.h"
#include "files/SystemError.h"
#include "options/CpuCount.h"
#include "options/PrintableText.h"
#include "options/SourceDateEpoch.h"

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

// Whether two names lead to the same existing file.
bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

BatchRun::BatchRun(const BatchSettings& settings)
    : settings_(settings),
      queue_(static_cast<std::size_t>(settings.jobs) * kRecordsPerWorker,
             [this](const RecordTask& task, RecordResult& result) { report(task, result); }),
      progress_(stderr, !settings.quiet && ::isatty(STDERR_FILENO) == 1),
      tasks_(settings) {}

std::string BatchRun::inputName() const {
    return settings_.inputPath == "-" ? "standard input" : settings_.inputPath;
}

int BatchRun::readHeader(RecordReader& reader, bool& empty) {
    std::string message;
    if (tasks_.readHeader(reader, empty, message) != status::kOk) {
        printLine(inputName() + ": line 1: " + message);
        return kUsageStatus;
    }
    return 0;
}

void BatchRun::work() {
    try {
        SymbolWriter writer(settings_.makeFolders);
        std::uint64_t ticket = 0;
        const RecordTask* task = nullptr;
        RecordResult* result = nullptr;
        while (queue_.take(ticket, task, result)) {
            if (sheet_) {
                writer.encode(*task, *result);  // placed on the sheet as it is reported
            } else {
                writer.write(*task, *result);
            }
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
        line = failureMessage(task, result);
    } catch (const std::bad_alloc&) {
        line = statusMessage(result.status);
    }
    progress_.clear();
    printLine(line);
}

void BatchRun::report(const RecordTask& task, RecordResult& result) {
    bool toldElsewhere = false;
    if (sheet_) {
        toldElsewhere = !sheet_->place(task, result);
        result.symbols.clear();
        if (sheet_->broken()) {
            stopReading_.store(true, std::memory_order_relaxed);
        }
    }
    report_.add(task, result);
    if (result.status == status::kOk) {
        ++written_;
    } else {
        ++failed_;
        if (firstFailure_ == status::kOk) {
            firstFailure_ = result.status;
        }
        if (!toldElsewhere &&
            (result.missingFolder.empty() || !countMissingFolder(result.missingFolder))) {
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
        printLine(missingFolderMessage(folder, records));
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
        while (more && StopSignals::caught().load() == 0 &&
               !stopReading_.load(std::memory_order_relaxed)) {
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
            if (!tasks_.makeTask(record, task)) {
                more = false;
            }
            queue_.submit(std::move(task));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int BatchRun::openReport() {
    if (settings_.inputGiven && sameFile(settings_.reportPath, settings_.inputPath)) {
        // The report would take the input's place when the run ends.
        printLine("--report names the input file " + printableText(settings_.inputPath, false));
        return kUsageStatus;
    }
    if (!settings_.reportPath.empty()) {
        if (const int error = report_.open(settings_.reportPath); error != 0) {
            printLine("cannot create the report " + printableText(settings_.reportPath, false) +
                      ": " + systemErrorText(error));
            return kReportStatus;
        }
    }
    return 0;
}

int BatchRun::openSheet() {
    const std::string name = settings_.names.expand(1, 1);
    if (settings_.inputGiven && sameFile(name, settings_.inputPath)) {
        // The sheet would take the input's place when the run ends.
        printLine("TEMPLATE names the input file " + printableText(settings_.inputPath, false));
        return kUsageStatus;
    }
    if (name != "-" && (name == settings_.reportPath || sameFile(name, settings_.reportPath))) {
        // Whichever took its name last would be the only one left.
        printLine("--report and TEMPLATE name the same file " + printableText(name, false));
        return kUsageStatus;
    }
    sheet_ = std::make_unique<SheetFile>(settings_);
    int error = 0;
    const Status status = sheet_->open(tasks_.captions(), error);
    if (status == status::kOk) {
        return 0;
    }
    if (status == status::kInvalidArgument) {
        printLine("the sheet's paper, margin and grid leave no room for labels");
        return kUsageStatus;
    }
    printLine((status == status::kCantOpenOutput ? "cannot create " : "cannot write ") +
              printableText(name, false) + ": " + systemErrorText(error));
    return exitStatusOf(status);
}

int BatchRun::finishSheet() {
    int error = 0;
    const Status status = sheet_->finish(error);
    if (status == status::kOk) {
        return 0;
    }
    printLine("cannot write " + printableText(sheet_->name(), false) + ": " +
              systemErrorText(error) + "; no record is written");
    return exitStatusOf(status);
}

int BatchRun::openInput(FileDescriptorSource& source) {
    if (settings_.inputGiven && settings_.inputPath != "-") {
        if (const int error = source.open(settings_.inputPath.c_str()); error != 0) {
            printLine("cannot open " + settings_.inputPath + ": " + systemErrorText(error));
            return kInputStatus;
        }
    }
    return 0;
}

int BatchRun::run() {
    FileDescriptorSource source;
    if (const int status = openInput(source); status != 0) {
        return status;
    }
    source.stopWhenSet(&StopSignals::caught());
    RecordReader reader(source, settings_.recordFormat);
    bool empty = false;
    if (settings_.recordFormat == RecordFormat::kCsv && settings_.inputGiven) {
        if (const int status = readHeader(reader, empty); status != 0) {
            return status;
        }
    }
    if (const int status = openReport(); status != 0) {
        return status;
    }
    if (settings_.labelSheet) {
        if (const int status = openSheet(); status != 0) {
            return status;
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

void BatchRun::endByStop(int stopSignal) {
    std::string line = "interrupted: " + std::to_string(written_) +
                       (sheet_ ? " records placed, " : " records written, ") +
                       std::to_string(failed_) + " failed";
    if (settings_.inputGiven) {
        line += settings_.recordFormat == RecordFormat::kNulSeparated
                    ? "; input read to record " + std::to_string(lastLine_)
                    : "; input read to line " + std::to_string(lastLine_);
    }
    if (sheet_) {
        line += settings_.names.isStandardOutput()
                    ? "; the PDF on standard output is cut short"
                    : "; " + printableText(sheet_->name(), false) + " is not written";
    }
    printLine(line);
    StopSignals::endBy(stopSignal);
}

int BatchRun::finish(const RecordReader& reader, int stopSignal, bool outOfMemory) {
    printMissingFolders();
    // A stopped run leaves no sheet at all; a sheet that fails costs every
    // record, and its status is the run's.
    int sheetStatus = 0;
    if (sheet_ && stopSignal != 0) {
        sheet_->abandon();
    } else if (sheet_) {
        sheetStatus = finishSheet();
    }
    const int reportError = report_.finish();
    if (reportError != 0) {
        printLine("cannot write the report " + printableText(settings_.reportPath, false) + ": " +
                  systemErrorText(reportError));
    }
    if (stopSignal != 0) {
        endByStop(stopSignal);
    }
    if (sheetStatus != 0) {
        return sheetStatus;
    }
    // The first failing record's status; else the run's own failures.
    const bool recordFailed = firstFailure_ != status::kOk;
    const int exitStatus = recordFailed ? exitStatusOf(firstFailure_) : 0;
    if (outOfMemory) {
        printLine("out of memory while reading " + inputName());
        return recordFailed ? exitStatus : exitStatusOf(status::kFail);
    }
    if (reader.error() != 0) {
        printLine("cannot read " + inputName() + ": " + systemErrorText(reader.error()));
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
    const std::int32_t cpuCount = availableCpuCount(kMaxJobs);
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
    const SourceDateEpoch epoch = SourceDateEpoch::fromEnvironment();
    if (epoch.given && !epoch.valid) {
        printLine(epoch.problem());
        return kUsageStatus;
    }
    epoch.applyTo(settings.options.output);
    if (!StopSignals::catchSignals()) {
        // The run works all the same; only a stop by that signal would not
        // finish the records in flight.
    }
    BatchRun run(settings);
    return run.run();
}

}  // namespace barwright::batch
