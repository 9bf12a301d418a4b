// barwright.dask.write_csv: the client reads the records, the workers make
// them.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "options/RecordTask.h"
#include "options/SourceDateEpoch.h"
#include "python/Bindings.h"
#include "python/RecordFeed.h"
#include "python/RecordWriter.h"
#include "python/RunRules.h"

namespace py = pybind11;

namespace barwright::python {
namespace {

// A record as it travels from the client to a worker: (number, line,
// cells, problem).
using RecordTuple = std::tuple<std::uint64_t, std::uint64_t, std::vector<std::string>, int>;

RunRequest runRequest(std::string templateText, std::string format, OptionTexts options, bool anyPath) {
    return RunRequest{std::move(templateText), std::move(format), std::move(options), anyPath};
}

// (status, message): 0, 1 for a keyword value refused, 64 for a TEMPLATE
// refused.
py::tuple checkRun(std::string templateText, std::string format, OptionTexts options,
                   bool anyPath) {
    RecordRules rules;
    std::string message;
    const std::int32_t status = makeRecordRules(
        runRequest(std::move(templateText), std::move(format), std::move(options), anyPath), rules,
        message);
    return py::make_tuple(status, messageText(message));
}

// The client's reader over a buffer (the mapped CSV), which it keeps
// exported until close().
class PyRecordFeed {
public:
    PyRecordFeed(const py::buffer& csv, std::string templateText, std::string format,
                 OptionTexts options, bool anyPath)
        : view_(std::make_unique<py::buffer_info>(csv.request())) {
        RecordRules rules;
        std::string message;
        if (makeRecordRules(
                runRequest(std::move(templateText), std::move(format), std::move(options), anyPath),
                rules, message) != 0) {
            throw py::value_error(message);  // check_run refused it first
        }
        const auto bytes = static_cast<std::size_t>(view_->size * view_->itemsize);
        feed_ = std::make_unique<RecordFeed>(
            std::string_view(static_cast<const char*>(view_->ptr), bytes), std::move(rules));
    }

    // (status, message, empty).
    py::tuple readHeader() {
        bool empty = false;
        std::string message;
        const Status status = feed().readHeader(empty, message);
        return py::make_tuple(status, messageText(message), empty);
    }

    py::list header() const {
        py::list names;
        for (const std::string& name : feed().header()) {
            names.append(py::bytes(name));
        }
        return names;
    }

    // Up to count records as tuples; fewer only at the end.
    py::list next(std::size_t count) {
        py::list records;
        Record record;
        while (records.size() < count && feed().next(record)) {
            py::list cells;
            for (const std::string& cell : record.cells) {
                cells.append(py::bytes(cell));
            }
            records.append(py::make_tuple(record.number, record.line, cells,
                                          static_cast<int>(record.problem)));
        }
        if (feed().error() != 0) {
            throw std::bad_alloc();  // the only failure of reading from memory
        }
        return records;
    }

    // None, or (status, message) of the record that ended the reading.
    py::object stopped() const {
        if (!feed().stopped()) {
            return py::none();
        }
        return py::make_tuple(feed().stopStatus(), messageText(feed().stopMessage()));
    }

    void close() {
        feed_.reset();
        view_.reset();
    }

private:
    RecordFeed& feed() const {
        if (!feed_) {
            throw py::value_error("the record feed is closed");
        }
        return *feed_;
    }

    std::unique_ptr<py::buffer_info> view_;
    std::unique_ptr<RecordFeed> feed_;
};

// A partition of records made into files on a worker: [(number, files
// written, status, message, missing folder)].
py::list writeRecords(std::string templateText, std::string format, OptionTexts options,
                      bool anyPath, std::string folder, bool makeFolders,
                      const std::vector<std::string>& header, std::vector<RecordTuple> tuples) {
    RecordRules rules;
    std::string message;
    if (makeRecordRules(
            runRequest(std::move(templateText), std::move(format), std::move(options), anyPath), rules,
            message) != 0) {
        throw py::value_error(message);
    }
    RecordWriter writer(std::move(rules), std::move(folder), makeFolders);
    if (writer.setHeader(header, message) != status::kOk) {
        throw py::value_error(message);
    }
    std::vector<RecordOutcome> outcomes(tuples.size());
    {
        py::gil_scoped_release unlocked;
        Record record;
        for (std::size_t i = 0; i < tuples.size(); ++i) {
            auto& [number, line, cells, problem] = tuples[i];
            record.number = number;
            record.line = line;
            record.cells = std::move(cells);
            record.problem = static_cast<RecordProblem>(problem);
            writer.write(record, outcomes[i]);
        }
    }
    py::list results;
    for (const RecordOutcome& outcome : outcomes) {
        results.append(py::make_tuple(outcome.number, outcome.filesWritten, outcome.status,
                                      messageText(outcome.message),
                                      py::bytes(outcome.missingFolder)));
    }
    return results;
}

// (given, valid, seconds, problem) of SOURCE_DATE_EPOCH's value (None:
// unset), as barwright-batch reads it.
py::tuple sourceDateEpoch(const std::optional<std::string>& value) {
    const SourceDateEpoch epoch = SourceDateEpoch::fromValue(value ? value->c_str() : nullptr);
    return py::make_tuple(epoch.given, epoch.valid, epoch.seconds,
                          epoch.given && !epoch.valid ? messageText(epoch.problem()) : py::str());
}

}  // namespace

void bindRecords(py::module_& module) {
    module.def("check_run", &checkRun, py::arg("template"), py::arg("format"), py::arg("options"),
               py::arg("any_path"));
    py::class_<PyRecordFeed>(module, "RecordFeed")
        .def(py::init<const py::buffer&, std::string, std::string, OptionTexts, bool>(),
             py::arg("csv"), py::arg("template"), py::arg("format"), py::arg("options"),
             py::arg("any_path"))
        .def("read_header", &PyRecordFeed::readHeader)
        .def("header", &PyRecordFeed::header)
        .def("next", &PyRecordFeed::next, py::arg("count"))
        .def("stopped", &PyRecordFeed::stopped)
        .def("close", &PyRecordFeed::close);
    module.def("write_records", &writeRecords, py::arg("template"), py::arg("format"),
               py::arg("options"), py::arg("any_path"), py::arg("folder"), py::arg("mkdir"),
               py::arg("header"), py::arg("records"));
    module.def("missing_folder_message", [](const std::string& folder, std::uint64_t records) {
        return messageText(missingFolderMessage(folder, records));
    });
    module.def("macro_file_id", &macroFileId, py::arg("record_number"));
    module.def("source_date_epoch", &sourceDateEpoch, py::arg("value"));
    module.attr("USAGE_STATUS") = kUsageStatus;
}

}  // namespace barwright::python
