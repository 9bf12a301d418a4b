#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barwright/Status.h"
#include "options/CsvColumns.h"
#include "options/NameTemplate.h"
#include "options/OutputFormat.h"
#include "options/RecordReader.h"
#include "options/RecordTask.h"
#include "options/SymbolOptions.h"

namespace barwright {

// How a run turns records into tasks: what barwright-batch's command line
// sets, and what a binding that writes the same files sets alike.
struct RecordRules {
    // Every record starts from these; a CSV cell may change one for its
    // record. macroSegments and fileId are the run's (an empty fileId gives
    // each record its own, macroFileId of its number).
    SymbolOptions options;
    RecordFormat recordFormat = RecordFormat::kLines;
    // False: there is no input, and the one record is the data of options.
    bool inputGiven = false;
    NameTemplate names;  // the file names, "-" for standard output
    // The format of every file whose name has no known extension of its
    // own (the run's); with formatGiven a name with another format's
    // extension fails, without it such a file takes its extension's format.
    OutputFormat format = OutputFormat::kPng;
    bool formatGiven = false;
    FormatSet formats = kAllFormats;  // the formats the front door offers
    bool anyPath = false;             // CSV output cells may leave the current folder
    // Label sheets: every record's symbol goes into the one document that
    // names names, so tasks name no files of their own (and a CSV may have
    // no output column); each task carries its caption instead: its CSV
    // caption cell, else the text of caption ({n} and {s} as in names),
    // expanded for the record. Captions are on with captionGiven or a CSV
    // caption column (which only sheets take).
    bool labelSheet = false;
    bool captionGiven = false;
    NameTemplate caption;  // unparsed (empty) for an empty caption
};

// Settles the files' format from TEMPLATE (rules.names, not "-") and the
// format a front door was given (rules.format with rules.formatGiven): the
// given one unless TEMPLATE names another's files, else TEMPLATE's. False
// with a message naming the front door's format option (formatOption:
// "--format", "format=") when neither tells it or the two disagree.
[[nodiscard]] bool settleFormat(RecordRules& rules, std::string_view formatOption,
                                std::string& message);

// The per-record checks of a run, record by record in input order: the
// record's settings from its cells, its file names and format, and the
// faults that fail it, with the messages barwright-batch prints. Holds the
// CSV columns and what the run has named so far.
class TaskMaker {
public:
    // The rules must outlive the maker.
    explicit TaskMaker(const RecordRules& rules) : rules_(rules) {}

    // CSV: reads and takes the header row. kOk to go on (empty set when the
    // input holds nothing at all; a failed read shows in reader.error());
    // kInvalidArgument, with a message to print after "FILE: line 1: ", for
    // a header that is no sound CSV or names an unknown column, or a column
    // the run has no use for (output on a label sheet, caption elsewhere).
    [[nodiscard]] Status readHeader(RecordReader& reader, bool& empty, std::string& message);
    // Takes a header row read elsewhere (another process's reader), with
    // the checks and message of readHeader.
    [[nodiscard]] Status takeHeader(const std::vector<std::string>& names, std::string& message);

    // Whether the labels carry captions: the rules give one, or the CSV
    // header has a caption column.
    bool captions() const { return rules_.captionGiven || columns_.hasCaption(); }

    // Fills the task for the record (its data moved out). A fault fails the
    // task (task.failure) rather than the call. False when the reading must
    // stop after this record: a second one for standard output, or a
    // TEMPLATE without {n} that would name the same file again.
    [[nodiscard]] bool makeTask(Record& record, RecordTask& task);

private:
    void locate(const Record& record, RecordTask& task) const;
    // Applies the record's data or cells; false, with the task failed, for
    // a record that the reader or its cells spoil.
    bool applyRecord(Record& record, bool cellsApplied, const std::string& cellMessage,
                     RecordTask& task) const;
    // Names the task's files; false when the record has failed (stop set
    // when the reading must stop).
    bool nameTask(const std::string& outputCell, std::uint64_t number, RecordTask& task,
                  bool& stop);
    [[nodiscard]] bool nameFromCell(const std::string& outputCell, RecordTask& task) const;
    [[nodiscard]] bool nameFiles(const NameTemplate& names, bool fromCell, RecordTask& task) const;
    // A label sheet's task: its caption; false, with the task failed, for a
    // caption cell that is no template.
    bool captionTask(const std::string& captionCell, RecordTask& task) const;
    // The header's columns against the rules; false with a message.
    [[nodiscard]] bool checkColumns(std::string& message) const;
    // The format of the task's files; false, with the task failed, when a
    // name contradicts it.
    bool chooseFormat(RecordTask& task) const;

    const RecordRules& rules_;
    CsvColumns columns_;
    std::uint64_t templateRecords_ = 0;  // records named by TEMPLATE
    std::uint64_t firstTemplateRecord_ = 0;
};

// Fails the task with the status and reason; the name it gives is the
// task's first file unless one is set ("-" when there is none).
void failTask(RecordTask& task, Status status, std::string reason);

}  // namespace barwright
