#include "options/TaskMaker.h"

#include "options/PrintableText.h"

namespace barwright {

namespace {

const char* problemReason(RecordProblem problem) {
    switch (problem) {
        case RecordProblem::kStrayQuote:
            return "a quote inside an unquoted cell, or text after a closing quote";
        case RecordProblem::kUnterminatedQuote:
            return "the input ends inside a quoted cell";
        case RecordProblem::kTooLong:
            return "it is too long";
        default:
            return "";
    }
}

}  // namespace

bool settleFormat(RecordRules& rules, std::string_view formatOption, std::string& message) {
    const NameTemplate& names = rules.names;
    const std::optional<OutputFormat> named = names.format(rules.formats);
    if (!rules.formatGiven && !named) {
        message = "cannot tell the format from '" + names.text() + "': name it with " +
                  std::string(formatOption) + " (" + formatNames(rules.formats, " or ") + ")";
        return false;
    }
    if (!rules.formatGiven) {
        rules.format = *named;
    } else if (!nameAllowsFormat(names.text(), rules.format, rules.formats)) {
        message = "TEMPLATE '" + names.text() + "' names " + formatName(*named) + " files, and " +
                  std::string(formatOption) + " asks for " + formatName(rules.format);
        return false;
    }
    return true;
}

void failTask(RecordTask& task, Status status, std::string reason) {
    task.failure = status;
    task.failureReason = std::move(reason);
    if (task.failureName.empty()) {
        task.failureName = task.firstName();
    }
}

Status TaskMaker::readHeader(RecordReader& reader, bool& empty, std::string& message) {
    empty = false;
    if (reader.readHeader()) {
        return takeHeader(reader.header(), message);
    }
    switch (reader.headerState()) {
        case HeaderState::kMissing:
            empty = true;
            return status::kOk;
        case HeaderState::kFaulty:
            message = std::string("the header row is not sound CSV (") +
                      problemReason(reader.headerProblem()) + ")";
            return status::kInvalidArgument;
        default:
            return status::kOk;  // a failed read, which the caller reports
    }
}

Status TaskMaker::takeHeader(const std::vector<std::string>& names, std::string& message) {
    return columns_.setHeader(names, message) && checkColumns(message) ? status::kOk
                                                                       : status::kInvalidArgument;
}

bool TaskMaker::checkColumns(std::string& message) const {
    if (rules_.labelSheet && columns_.hasOutput()) {
        message = std::string("CSV column \"") + CsvColumns::kOutputColumn +
                  "\" names files of their own, and --sheet puts every record in TEMPLATE's PDF";
        return false;
    }
    if (!rules_.labelSheet && columns_.hasCaption()) {
        message = std::string("CSV column \"") + CsvColumns::kCaptionColumn +
                  "\" is for label sheets: give --sheet";
        return false;
    }
    return true;
}

bool TaskMaker::captionTask(const std::string& captionCell, RecordTask& task) const {
    if (captionCell.empty()) {
        task.caption = rules_.caption.expand(task.number, 1);
        return true;
    }
    NameTemplate cellCaption;
    std::string message;
    if (!cellCaption.parse(captionCell, message)) {
        failTask(task, status::kInvalidArgument, "caption cell: " + message);
        return false;
    }
    task.caption = cellCaption.expand(task.number, 1);
    return true;
}

bool TaskMaker::nameFiles(const NameTemplate& names, bool fromCell, RecordTask& task) const {
    const std::int32_t segments = rules_.options.macroSegments;
    const std::int32_t symbols = segments > 0 ? segments : 1;
    task.names.clear();
    task.names.reserve(static_cast<std::size_t>(symbols));
    for (std::int32_t segment = 1; segment <= symbols; ++segment) {
        std::string name = names.expand(task.number, static_cast<std::uint64_t>(segment));
        if (name.empty()) {
            failTask(task, status::kFail, "out of memory");
            return false;
        }
        // A CSV from someone else must not write outside the folder the
        // user chose; the user's own TEMPLATE may name any file.
        if (fromCell && !rules_.anyPath && !isContainedPath(name)) {
            task.failureName = printableText(name, false);
            task.names.clear();
            failTask(task, status::kCantOpenOutput,
                     "an output cell may not leave the current folder; --any-path allows it");
            return false;
        }
        task.names.push_back(std::move(name));
    }
    return true;
}

void TaskMaker::locate(const Record& record, RecordTask& task) const {
    if (!rules_.inputGiven) {
        return;
    }
    const std::string line = std::to_string(record.line);
    switch (rules_.recordFormat) {
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

bool TaskMaker::chooseFormat(RecordTask& task) const {
    if (!rules_.formatGiven && !task.names.empty()) {
        task.format = outputFormatOf(task.names.front(), rules_.formats).value_or(rules_.format);
    }
    for (const std::string& name : task.names) {
        if (!nameAllowsFormat(name, task.format, rules_.formats)) {
            const OutputFormat named = outputFormatOf(name, rules_.formats).value_or(task.format);
            task.failureName = printableText(name, false);
            failTask(task, status::kInvalidArgument,
                     rules_.formatGiven
                         ? std::string("--format ") + formatName(task.format) +
                               ", but the name asks for " + formatName(named)
                         : std::string("the names of its symbols ask for different formats"));
            return false;
        }
    }
    return true;
}

bool TaskMaker::nameFromCell(const std::string& outputCell, RecordTask& task) const {
    NameTemplate cellNames;
    std::string message;
    if (!cellNames.parse(outputCell, message)) {
        task.failureName = printableText(outputCell, false);
        failTask(task, status::kInvalidArgument, "output cell: " + message);
        return false;
    }
    if (rules_.options.macroSegments > 1 && !cellNames.usesSegmentNumber()) {
        task.failureName = printableText(outputCell, false);
        failTask(task, status::kInvalidArgument,
                 "the output cell needs {s} to name the symbols of --macro apart");
        return false;
    }
    return nameFiles(cellNames, true, task);
}

bool TaskMaker::nameTask(const std::string& outputCell, std::uint64_t number, RecordTask& task,
                         bool& stop) {
    const NameTemplate& names = rules_.names;
    if (!outputCell.empty()) {
        return nameFromCell(outputCell, task);
    }
    if (names.isStandardOutput()) {
        task.toStandardOutput = true;
        if (++templateRecords_ > 1) {
            failTask(task, status::kInvalidArgument, "standard output takes one record");
            stop = true;
            return false;
        }
        return true;
    }
    if (!nameFiles(names, false, task)) {
        return false;
    }
    if (++templateRecords_ == 1) {
        firstTemplateRecord_ = number;
    } else if (!names.usesRecordNumber()) {
        failTask(task, status::kInvalidArgument,
                 "TEMPLATE has no {n}, so this record would replace the file of record " +
                     std::to_string(firstTemplateRecord_));
        stop = true;
        return false;
    }
    return true;
}

bool TaskMaker::applyRecord(Record& record, bool cellsApplied, const std::string& cellMessage,
                            RecordTask& task) const {
    switch (record.problem) {
        case RecordProblem::kNone:
            break;
        case RecordProblem::kTooLong:
            // Far more than a symbol holds, which is what such data fails
            // with anyway.
            failTask(task, status::kDataCountAbove928,
                     "the record is over " + std::to_string(RecordReader::kDefaultRecordLimit) +
                         " bytes");
            return false;
        case RecordProblem::kWrongCellCount:
            failTask(task, status::kInvalidArgument,
                     "the row has " + std::to_string(record.cells.size()) + " cells, the header " +
                         std::to_string(columns_.size()));
            return false;
        default:
            failTask(task, status::kInvalidArgument, problemReason(record.problem));
            return false;
    }
    if (rules_.recordFormat == RecordFormat::kCsv && !cellsApplied) {
        failTask(task, status::kInvalidArgument, cellMessage);
        return false;
    }
    return true;
}

bool TaskMaker::makeTask(Record& record, RecordTask& task) {
    task.number = record.number;
    task.options = rules_.options;
    task.format = rules_.format;
    if (rules_.options.fileId.empty()) {
        task.options.fileId = macroFileId(record.number);
    }
    const bool csv = rules_.recordFormat == RecordFormat::kCsv;
    locate(record, task);
    if (rules_.inputGiven && !csv) {
        task.options.symbol.data = std::move(record.data);
    }
    // The names first, so that every message can name the record's file.
    std::string outputCell;
    std::string captionCell;
    std::string cellMessage;
    const bool cellsApplied =
        csv && record.problem == RecordProblem::kNone &&
        columns_.apply(record.cells, task.options, outputCell, captionCell, cellMessage);
    bool stop = false;
    if (rules_.labelSheet) {
        // The sheet is the one file: nothing to name, nothing to choose.
        if (applyRecord(record, cellsApplied, cellMessage, task)) {
            (void)captionTask(captionCell, task);
        }
    } else if (nameTask(outputCell, record.number, task, stop) &&
               applyRecord(record, cellsApplied, cellMessage, task)) {
        (void)chooseFormat(task);
    }
    return !stop;
}

}  // namespace barwright
