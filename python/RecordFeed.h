#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/Status.h"
#include "options/MemorySource.h"
#include "options/RecordMaker.h"
#include "options/RecordReader.h"
#include "options/TaskMaker.h"

namespace barwright::python {

// The client's half of barwright.dask.write_csv: reads the CSV as
// barwright-batch reads it, record by record, for the workers, who make
// them (RecordWriter). Does here the one check that depends on the records
// before: a TEMPLATE without {n} names one record's files, and a second
// record that it names fails and ends the reading, as in barwright-batch.
class RecordFeed {
public:
    // The CSV's bytes must outlive the feed; the rules are makeRecordRules'.
    RecordFeed(std::string_view csv, RecordRules rules);
    RecordFeed(const RecordFeed&) = delete;
    RecordFeed& operator=(const RecordFeed&) = delete;

    // TaskMaker::readHeader's status and message; kFail when memory ran out.
    [[nodiscard]] Status readHeader(bool& empty, std::string& message);
    const std::vector<std::string>& header() const noexcept { return reader_.header(); }

    // The next record for a worker; false once there is none (or memory
    // ran out: error() is then ENOMEM).
    [[nodiscard]] bool next(Record& record);
    int error() const noexcept { return reader_.error(); }

    // The record that ended the reading early, when one did: its status and
    // barwright-batch's message for it.
    bool stopped() const noexcept { return stopStatus_ != status::kOk; }
    Status stopStatus() const noexcept { return stopStatus_; }
    const std::string& stopMessage() const noexcept { return stopMessage_; }

private:
    RecordRules rules_;
    MemorySource source_;
    RecordReader reader_;
    TaskMaker maker_;
    Status stopStatus_ = status::kOk;
    std::string stopMessage_;
};

}  // namespace barwright::python
