#include "encoder/CodewordMatrix.h"

#include <cstring>

#include "encoder/BarSpacePatterns.h"

namespace barwright {
namespace {

constexpr int kIndicatorsPerRow = 2;
// Row indicators number the rows in groups of three, 30 values per group.
constexpr int kRowsPerIndicatorGroup = 3;
constexpr int kIndicatorGroupStep = 30;

void copyPattern(std::uint8_t*& out, int clusterSlot, Codeword codeword) {
    std::memcpy(out, kBarSpacePatterns[clusterSlot][codeword], kElementsPerCodeword);
    out += kElementsPerCodeword;
}

}  // namespace

bool buildMatrix(const MatrixShape& shape, const CodewordStream& codewords, SymbolMatrix& matrix) {
    matrix = SymbolMatrix{};
    // The encoder only passes a finished symbol, but a short stream, a value
    // above 928 or a shape or level out of range would make the copies below
    // read past their tables, so such a call leaves the matrix empty instead.
    const std::size_t cellCount = static_cast<std::size_t>(shape.columns) * shape.rows;
    if (shape.columns < kMinColumns || shape.columns > kMaxColumns || shape.rows < kMinRows ||
        shape.rows > kMaxRows || shape.errorCorrectionLevel < 0 ||
        shape.errorCorrectionLevel > kMaxErrorCorrectionLevel || codewords.size() < cellCount) {
        return false;
    }
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (codewords[i] >= kCodewordValues) {
            return false;
        }
    }

    const int patternsPerRow = shape.columns + (shape.compact ? 1 : kIndicatorsPerRow);
    const std::int32_t elementsPerRow = kElementsPerCodeword * patternsPerRow;
    std::vector<std::uint8_t> widths(static_cast<std::size_t>(shape.rows) * elementsPerRow);
    std::uint8_t* out = widths.data();
    for (int row = 0; row < shape.rows; ++row) {
        const int slot = row % kClusterSlots;
        copyPattern(out, slot, leftRowIndicator(shape, slot, row));
        const Codeword* rowCodewords =
            codewords.data() + static_cast<std::size_t>(row) * shape.columns;
        for (int column = 0; column < shape.columns; ++column) {
            copyPattern(out, slot, rowCodewords[column]);
        }
        if (!shape.compact) {
            copyPattern(out, slot, rightRowIndicator(shape, slot, row));
        }
    }
    matrix.rowCount = shape.rows;
    matrix.elementsPerRow = elementsPerRow;
    matrix.widths = std::move(widths);
    return true;
}

// The three indicator values of a row group carry, between them, the number
// of rows, the number of columns and the error correction level; each
// cluster puts a different pair of them on the left and on the right, so a
// reader learns all three from any three consecutive rows.
Codeword leftRowIndicator(const MatrixShape& shape, int clusterSlot, int row) {
    const int base = kIndicatorGroupStep * (row / kRowsPerIndicatorGroup);
    switch (clusterSlot) {
        case 0:
            return static_cast<Codeword>(base + (shape.rows - 1) / 3);
        case 1:
            return static_cast<Codeword>(base + 3 * shape.errorCorrectionLevel +
                                         (shape.rows - 1) % 3);
        default:
            return static_cast<Codeword>(base + shape.columns - 1);
    }
}

Codeword rightRowIndicator(const MatrixShape& shape, int clusterSlot, int row) {
    const int base = kIndicatorGroupStep * (row / kRowsPerIndicatorGroup);
    switch (clusterSlot) {
        case 0:
            return static_cast<Codeword>(base + shape.columns - 1);
        case 1:
            return static_cast<Codeword>(base + (shape.rows - 1) / 3);
        default:
            return static_cast<Codeword>(base + 3 * shape.errorCorrectionLevel +
                                         (shape.rows - 1) % 3);
    }
}

}  // namespace barwright
