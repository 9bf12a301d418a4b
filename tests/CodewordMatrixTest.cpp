#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "encoder/BarSpacePatterns.h"
#include "encoder/CodewordMatrix.h"

namespace barwright {
namespace {

CodewordStream randomCodewords(std::size_t count, std::mt19937& random) {
    CodewordStream codewords(count);
    for (Codeword& c : codewords) {
        c = static_cast<Codeword>(random() % kCodewordValues);
    }
    return codewords;
}

// The codeword whose pattern sits at `group` (0 = left indicator) of `row`,
// found by looking the 8 widths up in the row's cluster.
int decodeGroup(const SymbolMatrix& matrix, int row, int group) {
    const std::uint8_t* widths = matrix.row(row) + group * kElementsPerCodeword;
    for (int value = 0; value < kCodewordValues; ++value) {
        if (std::memcmp(kBarSpacePatterns[row % kClusterSlots][value], widths,
                        kElementsPerCodeword) == 0) {
            return value;
        }
    }
    return -1;
}

struct IndicatorCase {
    const char* name;
    int rows;
    int columns;
    int level;
    int row;
    Codeword left;
    Codeword right;
};

TEST(CodewordMatrix, RowIndicators) {
    const IndicatorCase cases[] = {
        {"3x3 L2 row 0", 3, 3, 2, 0, 0, 2},
        {"3x3 L2 row 1", 3, 3, 2, 1, 8, 0},
        {"3x3 L2 row 2", 3, 3, 2, 2, 2, 8},
        {"10x5 L4 row 4", 10, 5, 4, 4, 42, 33},
        {"10x5 L4 row 9", 10, 5, 4, 9, 93, 94},
        {"4x3 L2 row 3", 4, 3, 2, 3, 31, 32},
        // The largest values: 90 rows, 30 columns, level 8, last group.
        {"90x30 L8 row 87", 90, 30, 8, 87, 899, 899},
        {"90x30 L8 row 88", 90, 30, 8, 88, 896, 899},
        {"90x30 L8 row 89", 90, 30, 8, 89, 899, 896},
    };
    for (const IndicatorCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MatrixShape shape{c.columns, c.rows, c.level, false};
        const CodewordStream codewords(static_cast<std::size_t>(c.rows) * c.columns, 0);
        SymbolMatrix matrix;
        ASSERT_TRUE(buildMatrix(shape, codewords, matrix));
        const int slot = c.row % 3;
        EXPECT_EQ(leftRowIndicator(shape, slot, c.row), c.left);
        EXPECT_EQ(rightRowIndicator(shape, slot, c.row), c.right);
        // The patterns in the row are those of the indicator values, and
        // position 0 is the first bar of the left one.
        EXPECT_EQ(matrix.width(c.row, 0), kBarSpacePatterns[slot][c.left][0]);
        EXPECT_EQ(decodeGroup(matrix, c.row, 0), c.left);
        EXPECT_EQ(decodeGroup(matrix, c.row, c.columns + 1), c.right);
    }
}

// Every row of a built matrix must read as a PDF417 row: groups of 8 that
// span 17 modules, all in the row's cluster, holding the indicators and the
// row's codewords in stream order.
TEST(CodewordMatrix, EveryRowIsAValidRowOfItsCluster) {
    std::mt19937 random(929);
    struct Shape {
        int columns;
        int rows;
        int level;
    };
    const Shape shapes[] = {{1, 3, 0}, {3, 4, 2}, {5, 10, 4}, {7, 90, 8}, {30, 30, 5}};
    for (const Shape& shape : shapes) {
        for (bool compact : {false, true}) {
            SCOPED_TRACE(testing::Message() << shape.columns << " x " << shape.rows
                                            << (compact ? " compact" : " full"));
            const CodewordStream codewords =
                randomCodewords(static_cast<std::size_t>(shape.columns) * shape.rows, random);
            SymbolMatrix matrix;
            ASSERT_TRUE(buildMatrix(MatrixShape{shape.columns, shape.rows, shape.level, compact},
                                    codewords, matrix));
            ASSERT_EQ(matrix.rowCount, shape.rows);
            const int groups = matrix.elementsPerRow / kElementsPerCodeword;
            ASSERT_EQ(groups, shape.columns + (compact ? 1 : 2));
            for (int row = 0; row < shape.rows; ++row) {
                const int cluster = 3 * (row % 3);
                for (int g = 0; g < groups; ++g) {
                    const std::uint8_t* w = matrix.row(row) + g * kElementsPerCodeword;
                    int modules = 0;
                    for (int i = 0; i < kElementsPerCodeword; ++i) {
                        modules += w[i];
                    }
                    ASSERT_EQ(modules, kModulesPerCodeword) << "row " << row << " group " << g;
                    ASSERT_EQ((w[0] - w[2] + w[4] - w[6] + 9) % 9, cluster)
                        << "row " << row << " group " << g;
                }
                for (int column = 0; column < shape.columns; ++column) {
                    ASSERT_EQ(decodeGroup(matrix, row, column + 1),
                              codewords[static_cast<std::size_t>(row) * shape.columns + column])
                        << "row " << row << " column " << column;
                }
            }
        }
    }
}

// Inputs that would make the copies read outside the stream or the pattern
// table leave the matrix empty instead.
TEST(CodewordMatrix, RefusesInputsOutsideTheSymbolLimits) {
    struct Case {
        const char* name;
        int columns;
        int rows;
        int level;
        CodewordStream codewords;
    };
    const CodewordStream nine(9, 1);
    CodewordStream withTooLarge = nine;
    withTooLarge[8] = 929;
    const Case cases[] = {
        {"short stream", 3, 3, 2, CodewordStream(8, 1)},
        {"codeword 929", 3, 3, 2, withTooLarge},
        {"no columns", 0, 3, 2, nine},
        {"31 columns", 31, 3, 2, CodewordStream(93, 1)},
        {"2 rows", 3, 2, 2, nine},
        {"91 rows", 1, 91, 2, CodewordStream(91, 1)},
        {"level 9", 3, 3, 9, nine},
        {"level -1", 3, 3, -1, nine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SymbolMatrix matrix;
        ASSERT_TRUE(buildMatrix(MatrixShape{3, 3, 2, false}, nine, matrix));
        EXPECT_FALSE(
            buildMatrix(MatrixShape{c.columns, c.rows, c.level, false}, c.codewords, matrix));
        EXPECT_TRUE(matrix.widths.empty());
        EXPECT_EQ(matrix.elementsPerRow, 0);
        EXPECT_EQ(matrix.rowCount, 0);
    }
}

}  // namespace
}  // namespace barwright
