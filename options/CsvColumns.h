#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "options/SymbolOptions.h"

namespace barwright {

// The columns of a CSV input: each names a symbol option by its long name
// ("data", "col", "ecl", ...), or is "output", the record's file name,
// "shortest" (1: the fewest data codewords, 0: the compaction mode), "hex"
// (the record's data bytes, two hexadecimal digits a byte, in place of a
// data cell), or "caption" (the line under its symbol on a label sheet). A non-empty cell sets its
// option for its record, read strictly: a value barwright would drop, or read only in part, is
// refused.
class CsvColumns {
public:
    // The column name of the output file.
    static constexpr const char* kOutputColumn = "output";
    // The column that chooses the shortest encodation.
    static constexpr const char* kShortestColumn = "shortest";
    // The column of data in hexadecimal: any bytes, taken without escapes.
    static constexpr const char* kHexColumn = "hex";
    // The column of the caption under a label sheet's symbol.
    static constexpr const char* kCaptionColumn = "caption";

    // Takes the header row. False, with a message, for a column that is
    // neither a symbol option nor "output", or one named twice. A byte order
    // mark before the first name (as spreadsheets write) is no part of it.
    [[nodiscard]] bool setHeader(const std::vector<std::string>& names, std::string& message);

    // Applies the non-empty cells of a row to options; `output` and
    // `caption` receive the output and caption cells (empty when there is
    // none, or it is empty), also when another cell is refused; a shortest
    // cell sets options.shortest. A hex
    // cell sets the data and turns its escapes off; beside a non-empty data
    // cell it is refused. False,
    // with a message naming the column and the value, for a bad cell;
    // options are then partly changed. The row has as many cells as the
    // header.
    [[nodiscard]] bool apply(const std::vector<std::string>& cells, SymbolOptions& options,
                             std::string& output, std::string& caption, std::string& message) const;

    // The number of columns.
    std::size_t size() const { return columns_.size(); }
    // Whether the header names an output column, a caption column.
    bool hasOutput() const { return has(Column::kOutput); }
    bool hasCaption() const { return has(Column::kCaption); }

private:
    enum class Column { kOption, kOutput, kShortest, kHex, kCaption };
    bool has(Column column) const;
    // Whether the row has both a non-empty data cell and a non-empty hex cell.
    bool givesBothData(const std::vector<std::string>& cells) const;
    // Applies a hex cell; false, with a message, when it is no hex bytes.
    [[nodiscard]] bool applyHex(std::size_t column, const std::string& cell, SymbolOptions& options,
                                std::string& message) const;

    // Per column: what it is, and for an option which.
    std::vector<Column> columns_;
    std::vector<OptionId> options_;
    std::vector<std::string> names_;
};

}  // namespace barwright
