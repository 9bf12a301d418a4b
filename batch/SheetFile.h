#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/LabelSheetWriter.h"
#include "barwright/Status.h"
#include "batch/BatchSettings.h"
#include "files/OutputFile.h"
#include "options/RecordTask.h"

namespace barwright::batch {

// The one PDF of a --sheet run. Every record's symbol is placed in the next
// cell of the label sheets by the reporting worker, so in input order
// whatever the number of threads, and a failed record's cell stays empty.
// Pages go to the file as they fill; the file takes its name only once the
// document is complete (see OutputFile), so that a run that fails or is
// stopped leaves no part of one. TEMPLATE "-" writes to standard output.
class SheetFile {
public:
    explicit SheetFile(const BatchSettings& settings) : settings_(settings) {}

    // Creates the file (its folders too with --mkdir) and starts the
    // document, its labels with a caption line or without. kCantOpenOutput
    // or kCantCloseOutput with the system's reason in error; kFail when
    // memory ran out; kInvalidArgument for settings the writer refuses
    // (which the command line lets none through).
    [[nodiscard]] Status open(bool captions, int& error);
    // The file's name ("-" for standard output), for messages and the
    // report.
    const std::string& name() const { return name_; }

    // Places the record's symbol, or leaves its cell empty when the record
    // failed. A label that does not fit its cell fails its record, its size
    // and the cell's (and a module width that fits, if any) the reason. Once
    // the document cannot be written, the records still coming fail with
    // its status; false for those, whose failure the run tells once.
    bool place(const RecordTask& task, RecordResult& result);
    // Whether writing failed: the run stops reading, and no file is made.
    bool broken() const { return broken_ != status::kOk; }

    // Ends the document and gives the file its name. kOk, or the status of
    // the failure with the system's reason in error.
    [[nodiscard]] Status finish(int& error);
    // Drops the document unfinished, for a run that stops: no file stays.
    void abandon() { file_.reset(); }

private:
    // Places the record's symbol; on a refusal, its reason into result.
    [[nodiscard]] Status add(const RecordTask& task, RecordResult& result);
    std::string fitReason(const EncodedSymbol& symbol, const RecordTask& task) const;
    // The module width below the picture's at which the label would fit a
    // cell of that size; 0 for none.
    int fittingModuleWidth(const EncodedSymbol& symbol, const RecordTask& task, double cellWidthMm,
                           double cellHeightMm) const;
    // The least resolution at which the symbol would fit such a cell; 0 for
    // none up to kMaxDpi.
    std::int32_t fittingDpi(const EncodedSymbol& symbol, const RecordTask& task, double cellWidthMm,
                            double cellHeightMm) const;
    void breakOff(Status failure, int error);

    const BatchSettings& settings_;
    std::string name_;
    std::unique_ptr<OutputFile> file_;  // none for standard output
    LabelSheetWriter writer_;
    bool captions_ = false;
    Status broken_ = status::kOk;
    int error_ = 0;  // the system's reason for broken_
};

}  // namespace barwright::batch
