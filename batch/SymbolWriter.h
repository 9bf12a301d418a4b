#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/Encoder.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "batch/NameTemplate.h"
#include "batch/RecordTask.h"

namespace barwright::batch {

// How every record of a run is made into files.
struct WriteSettings {
    PngOptions png;                  // time and resolution of PNG files
    std::int32_t dpi = 0;            // resolution of SVG and EPS; 0 records none
    std::int32_t macroSegments = 0;  // 0: a plain symbol per record
    std::string fileId;              // empty: macroFileId of the record number
    bool makeFolders = false;        // create the folders that the names need
};

// The Macro PDF417 file ID of a record when --file-id gives none: the record
// number in base 900, one codeword (shown as three digits, 000..899) per
// digit, so that records never share an ID and record 7 reads as "007".
std::string macroFileId(std::uint64_t recordNumber);

// A worker's tools: encodes a record, draws it in the run's format and
// writes its files. Keeps its buffers from one record to the next, so a
// worker allocates little once it has made the largest symbol.
class SymbolWriter {
public:
    explicit SymbolWriter(const WriteSettings& settings) : settings_(settings) {}

    // Makes the task's files. The result names the status of the first
    // failure and the file concerned, or the facts of the symbols made;
    // files finished before a failure stay.
    void write(const RecordTask& task, RecordResult& result) noexcept;

private:
    [[nodiscard]] Status makeFiles(const RecordTask& task, RecordResult& result);
    // Encodes the task's symbols into symbol_ or segments_; says what would
    // fit when the data does not.
    [[nodiscard]] Status encodeTask(const RecordTask& task, RecordResult& result);
    // The Macro PDF417 file ID of the task's symbols.
    [[nodiscard]] std::string fileIdOf(const RecordTask& task) const;
    // Draws the symbol in the format into png_ or text_.
    [[nodiscard]] Status draw(const EncodedSymbol& symbol, const PictureSettings& picture,
                              OutputFormat format);
    // Writes what draw made; the reason of a failure goes into result.
    [[nodiscard]] Status writeFile(const std::string& name, OutputFormat format,
                                   RecordResult& result);
    [[nodiscard]] Status writeStandardOutput(OutputFormat format, RecordResult& result);
    // The bytes that draw made.
    [[nodiscard]] const void* drawnBytes(OutputFormat format) const;
    [[nodiscard]] std::size_t drawnSize(OutputFormat format) const;

    const WriteSettings& settings_;
    EncodedSymbol symbol_;
    std::vector<EncodedSymbol> segments_;
    RgbImage rgb_;
    BitImage bits_;
    std::vector<std::uint8_t> png_;  // a PNG, when the format is one
    std::string text_;               // SVG, EPS or text otherwise
};

}  // namespace barwright::batch
