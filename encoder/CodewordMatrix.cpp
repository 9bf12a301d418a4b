#include "encoder/CodewordMatrix.h"

#include <cstring>
#include <new>

#include "encoder/BarSpacePatterns.h"
#include "encoder/ReedSolomon.h"
#include "encoder/SymbolLimits.h"

namespace barwright {
namespace {

// Within the symbol limits the row stride is at most 256, so an 8-bit
// position addresses every element of a row, and every row indicator stays
// below 929.
constexpr int kIndicatorsPerRow = 2;
// Row indicators number the rows in groups of three, 30 values per group.
constexpr int kRowsPerIndicatorGroup = 3;
constexpr int kIndicatorGroupStep = 30;

void copyPattern(std::uint8_t*& out, int clusterSlot, Codeword codeword) {
    std::memcpy(out, kBarSpacePatterns[clusterSlot][codeword], kElementsPerCodeword);
    out += kElementsPerCodeword;
}

}  // namespace

bool CodewordMatrix::build(std::uint8_t columns, std::uint8_t rows, bool compact,
                           std::uint8_t errorCorrectionLevel, const CodewordStream& codewords) {
    errorCorrectionLevel_ = errorCorrectionLevel;
    release();

    // The encoder only passes a finished symbol, but a short stream, a value
    // above 928 or a shape or level out of range would make the copies below
    // read past their tables, so such a call leaves the matrix empty instead.
    const std::size_t cellCount = static_cast<std::size_t>(columns) * rows;
    if (columns < kMinColumns || columns > kMaxColumns || rows < kMinRows || rows > kMaxRows ||
        errorCorrectionLevel > kMaxErrorCorrectionLevel || codewords.size() < cellCount) {
        return false;
    }
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (codewords[i] >= kCodewordValues) {
            return false;
        }
    }

    const int patternsPerRow = columns + (compact ? 1 : kIndicatorsPerRow);
    const auto rowStride = static_cast<std::uint16_t>(kElementsPerCodeword * patternsPerRow);
    std::unique_ptr<std::uint8_t[]> storage(
        new (std::nothrow) std::uint8_t[static_cast<std::size_t>(rows) * rowStride]);
    if (!storage) {
        return false;
    }
    rowStride_ = rowStride;
    rowCount_ = rows;
    columns_ = columns;
    rows_ = rows;

    std::uint8_t* out = storage.get();
    for (int row = 0; row < rows; ++row) {
        const int slot = row % kClusterSlots;
        copyPattern(out, slot, leftRowIndicator(slot, row));
        const Codeword* rowCodewords = codewords.data() + static_cast<std::size_t>(row) * columns;
        for (int column = 0; column < columns; ++column) {
            copyPattern(out, slot, rowCodewords[column]);
        }
        if (!compact) {
            copyPattern(out, slot, rightRowIndicator(slot, row));
        }
    }
    data_ = std::move(storage);
    return true;
}

void CodewordMatrix::release() {
    data_.reset();
    rowStride_ = 0;
    rowCount_ = 0;
}

// The three indicator values of a row group carry, between them, the number
// of rows, the number of columns and the error correction level; each
// cluster puts a different pair of them on the left and on the right, so a
// reader learns all three from any three consecutive rows.
Codeword CodewordMatrix::leftRowIndicator(int clusterSlot, int row) const {
    const int base = kIndicatorGroupStep * (row / kRowsPerIndicatorGroup);
    switch (clusterSlot) {
        case 0:
            return static_cast<Codeword>(base + (rows_ - 1) / 3);
        case 1:
            return static_cast<Codeword>(base + 3 * errorCorrectionLevel_ + (rows_ - 1) % 3);
        default:
            return static_cast<Codeword>(base + columns_ - 1);
    }
}

Codeword CodewordMatrix::rightRowIndicator(int clusterSlot, int row) const {
    const int base = kIndicatorGroupStep * (row / kRowsPerIndicatorGroup);
    switch (clusterSlot) {
        case 0:
            return static_cast<Codeword>(base + columns_ - 1);
        case 1:
            return static_cast<Codeword>(base + (rows_ - 1) / 3);
        default:
            return static_cast<Codeword>(base + 3 * errorCorrectionLevel_ + (rows_ - 1) % 3);
    }
}

}  // namespace barwright
