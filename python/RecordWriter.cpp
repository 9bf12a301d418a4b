#include "python/RecordWriter.h"

#include <new>
#include <utility>

#include "files/OutputFolders.h"

namespace barwright::python {

RecordWriter::RecordWriter(RecordRules rules, std::string folder, bool makeFolders)
    : rules_(std::make_unique<RecordRules>(std::move(rules))),
      folder_(std::move(folder)),
      makeFolders_(makeFolders),
      tasks_(*rules_) {}

Status RecordWriter::setHeader(const std::vector<std::string>& names, std::string& message) {
    // The client's reader has taken them from the input's first row.
    return names.empty() ? status::kInvalidArgument : tasks_.takeHeader(names, message);
}

void RecordWriter::write(Record& record, RecordOutcome& outcome) noexcept {
    outcome = RecordOutcome();
    outcome.number = record.number;
    RecordTask task;
    RecordResult result;
    try {
        // The client has failed the one record that depends on those before
        // (a TEMPLATE without {n}), so the maker's count of records named by
        // TEMPLATE never refuses one here: a worker sees at most one.
        (void)tasks_.makeTask(record, task);
        outcome.status = makeFiles(task, outcome, result);
        if (outcome.status != status::kOk) {
            result.status = outcome.status;
            if (result.name.empty()) {
                result.name = task.firstName();
            }
            outcome.message = failureMessage(task, result);
        }
    } catch (const std::bad_alloc&) {
        outcome.status = status::kFail;
        outcome.message = "out of memory";
    }
}

Status RecordWriter::makeFiles(const RecordTask& task, RecordOutcome& outcome,
                               RecordResult& result) {
    Status status = maker_.encode(task, result);
    for (std::size_t i = 0; status == status::kOk && i < maker_.symbolCount(); ++i) {
        status = maker_.makeFile(i, task, result);
        if (status != status::kOk) {
            break;
        }
        const std::string& name = task.names[i];
        const bool relative = !folder_.empty() && name.front() != '/';
        const std::string path = relative ? folder_ + "/" + name : name;
        std::string missingFolder;
        status = writeFileCreatingFolders(path, maker_.bytes(), makeFolders_, result.reason,
                                          missingFolder);
        if (status != status::kOk) {
            result.name = name;
            // As the name gives it: the part after the worker's folder.
            if (relative) {
                missingFolder = missingFolder.size() > folder_.size()
                                    ? missingFolder.substr(folder_.size() + 1)
                                    : std::string();
            }
            outcome.missingFolder = std::move(missingFolder);
        } else {
            ++outcome.filesWritten;
        }
    }
    return status;
}

}  // namespace barwright::python
