#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "encoder/ReedSolomon.h"

namespace barwright {
namespace {

// Value of the codewords read as a polynomial (first codeword highest) at x,
// modulo 929.
std::uint32_t evaluate(const CodewordStream& codewords, std::uint32_t x) {
    std::uint32_t value = 0;
    for (Codeword c : codewords) {
        value = (value * x + c) % kCodewordModulus;
    }
    return value;
}

struct KnownVector {
    const char* name;
    std::vector<Codeword> data;
    std::uint16_t errorCorrectionCount;
    std::vector<Codeword> expected;
};

TEST(ReedSolomon, KnownVectors) {
    const KnownVector cases[] = {
        {"level0", {5, 453, 178, 121, 239}, 2, {471, 661}},
        {"level1", {5, 453, 178, 121, 239}, 4, {452, 327, 657, 619}},
        // All-zero data has an all-zero remainder.
        {"zeros", {0, 0, 0}, 8, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const KnownVector& c : cases) {
        SCOPED_TRACE(c.name);
        CodewordStream out;
        computeErrorCorrection(c.data.data(), static_cast<std::uint16_t>(c.data.size()),
                               c.errorCorrectionCount, out);
        EXPECT_EQ(out, c.expected);
    }
}

// The defining property: the whole symbol, data then error correction,
// divides by the generator, so it is zero at every root. Random lengths up
// to the largest a symbol allows at each level.
TEST(ReedSolomon, SymbolPolynomialIsZeroAtEveryRoot) {
    std::mt19937 random(4417);
    for (int level = 0; level <= kMaxErrorCorrectionLevel; ++level) {
        const std::uint16_t k = static_cast<std::uint16_t>(2u << level);
        const std::uint32_t maxData = std::min<std::uint32_t>(926, 928 - k);
        const std::uint32_t lengths[] = {1, maxData,
                                         1 + static_cast<std::uint32_t>(random()) % maxData,
                                         1 + static_cast<std::uint32_t>(random()) % maxData};
        for (std::uint32_t length : lengths) {
            SCOPED_TRACE(testing::Message() << "k " << k << ", " << length << " data codewords");
            CodewordStream symbol(length);
            for (Codeword& c : symbol) {
                c = static_cast<Codeword>(random() % kCodewordModulus);
            }
            computeErrorCorrection(symbol.data(), static_cast<std::uint16_t>(length), k, symbol);
            ASSERT_EQ(symbol.size(), length + k);
            std::uint32_t root = 1;
            for (std::uint32_t i = 1; i <= k; ++i) {
                root = root * 3 % kCodewordModulus;
                ASSERT_EQ(evaluate(symbol, root), 0u) << "root 3^" << i;
            }
        }
    }
}

// The registers run unreduced between codewords; the largest codeword
// value at the longest length of every level drives them as high as they
// go, and the result must still divide by the generator.
TEST(ReedSolomon, LargestCodewordsAtTheLongestLengths) {
    for (int level = 0; level <= kMaxErrorCorrectionLevel; ++level) {
        const std::uint16_t k = static_cast<std::uint16_t>(2u << level);
        const std::uint32_t length = std::min<std::uint32_t>(926, 928 - k);
        SCOPED_TRACE(testing::Message() << "k " << k);
        CodewordStream symbol(length, static_cast<Codeword>(kCodewordModulus - 1));
        computeErrorCorrection(symbol.data(), static_cast<std::uint16_t>(length), k, symbol);
        ASSERT_EQ(symbol.size(), length + k);
        std::uint32_t root = 1;
        for (std::uint32_t i = 1; i <= k; ++i) {
            root = root * 3 % kCodewordModulus;
            ASSERT_EQ(evaluate(symbol, root), 0u) << "root 3^" << i;
        }
        for (std::uint32_t i = length; i < symbol.size(); ++i) {
            ASSERT_LT(symbol[i], kCodewordModulus);
        }
    }
}

// The encoder passes a pointer into the very stream it appends to; the
// appends may move the stream, which must not change the result.
TEST(ReedSolomon, DataInsideTheOutputStream) {
    const CodewordStream data{5, 453, 178, 121, 239};
    CodewordStream stream = data;
    stream.shrink_to_fit();
    computeErrorCorrection(stream.data(), 5, 4, stream);
    EXPECT_EQ(stream, (CodewordStream{5, 453, 178, 121, 239, 452, 327, 657, 619}));
}

}  // namespace
}  // namespace barwright
