#pragma once

#include <cstdint>
#include <memory>

#include "compaction/Codeword.h"

namespace barwright {

// The rows of a PDF417 symbol as element widths: for each row, the left row
// indicator, the row's data codewords and (unless compact) the right row
// indicator, 8 widths (bar, space, ...) per codeword, taken from the
// bar-space pattern table of the row's cluster. Start and stop patterns are
// not stored; the drawing adds them.
class CodewordMatrix {
public:
    // At most 30 data columns + 2 indicators = 32 patterns = 256 bytes a row.
    static constexpr int kMaxRowStride = 256;

    CodewordMatrix() = default;

    // codewords must hold columns x rows codewords. False only when the
    // storage cannot be allocated; the matrix is then empty.
    [[nodiscard]] bool build(std::uint8_t columns, std::uint8_t rows, bool compact,
                             std::uint8_t errorCorrectionLevel, const CodewordStream& codewords);
    void release();

    // Width in modules (1..6) of element `position` (0..rowStride-1) of `row`.
    std::uint8_t elementWidth(std::uint8_t row, std::uint8_t position) const {
        return data_[static_cast<std::size_t>(row) * rowStride_ + position];
    }
    // The row's rowStride() widths, for drawing without a call per element.
    const std::uint8_t* rowData(int row) const {
        return data_.get() + static_cast<std::size_t>(row) * rowStride_;
    }
    bool empty() const { return data_ == nullptr; }

    std::uint16_t rowStride() const { return rowStride_; }
    std::uint16_t rowCount() const { return rowCount_; }
    std::uint8_t columns() const { return columns_; }
    std::uint8_t rows() const { return rows_; }
    std::uint8_t errorCorrectionLevel() const { return errorCorrectionLevel_; }

    // Row indicator codewords for cluster slot 0, 1, 2 (clusters 0, 3, 6).
    Codeword leftRowIndicator(int clusterSlot, int row) const;
    Codeword rightRowIndicator(int clusterSlot, int row) const;

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint16_t rowStride_ = 0;
    std::uint16_t rowCount_ = 0;
    std::uint8_t columns_ = 0;
    std::uint8_t rows_ = 0;
    std::uint8_t errorCorrectionLevel_ = 0;
};

}  // namespace barwright
