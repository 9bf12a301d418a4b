#include "python/RecordFeed.h"

#include <utility>

namespace barwright::python {

RecordFeed::RecordFeed(std::string_view csv, RecordRules rules)
    : rules_(std::move(rules)),
      source_(csv),
      reader_(source_, RecordFormat::kCsv),
      maker_(rules_) {}

Status RecordFeed::readHeader(bool& empty, std::string& message) {
    const Status status = maker_.readHeader(reader_, empty, message);
    if (status == status::kOk && reader_.error() != 0) {
        message = "out of memory";
        return status::kFail;
    }
    return status;
}

bool RecordFeed::next(Record& record) {
    if (stopped() || !reader_.next(record)) {
        return false;
    }
    // With {n} in TEMPLATE every record has names of its own, and only a
    // worker's checks remain.
    if (rules_.names.usesRecordNumber()) {
        return true;
    }
    // A CSV record's bytes are in its cells, which makeTask leaves as they
    // are for the worker.
    RecordTask task;
    if (maker_.makeTask(record, task)) {
        return true;
    }
    RecordMaker failed;
    RecordResult result;
    result.status = failed.encode(task, result);
    stopStatus_ = result.status;
    stopMessage_ = failureMessage(task, result);
    return false;
}

}  // namespace barwright::python
