#include "encoder/ReedSolomon.h"

#include <cassert>

namespace barwright {
namespace {

constexpr int kLevelCount = kMaxErrorCorrectionLevel + 1;

// Row `level` holds a(0) .. a(k-1) of the generator for k = 2 << level.
struct GeneratorTable {
    std::uint16_t coefficients[kLevelCount][kMaxErrorCorrectionCodewords];
};

// Multiplies out (x - 3)(x - 3^2)...(x - 3^k) one factor at a time. Every
// intermediate value is a residue, so a product stays below 929 * 929 and
// fits in 32 bits.
constexpr GeneratorTable makeGeneratorTable() {
    GeneratorTable table{};
    for (int level = 0; level < kLevelCount; ++level) {
        const int k = 2 << level;
        // poly[j] is the coefficient of x^j; the product starts as 1.
        std::uint32_t poly[kMaxErrorCorrectionCodewords + 1] = {};
        poly[0] = 1;
        std::uint32_t root = 1;
        for (int degree = 0; degree < k; ++degree) {
            root = root * 3 % kCodewordModulus;
            for (int j = degree + 1; j > 0; --j) {
                poly[j] = (poly[j - 1] + kCodewordModulus - root * poly[j] % kCodewordModulus) %
                          kCodewordModulus;
            }
            poly[0] = (kCodewordModulus - root * poly[0] % kCodewordModulus) % kCodewordModulus;
        }
        for (int j = 0; j < k; ++j) {
            table.coefficients[level][j] = static_cast<std::uint16_t>(poly[j]);
        }
    }
    return table;
}

// Constant-initialised: complete before any code runs, so no encode can
// see a partial table.
constexpr GeneratorTable kGenerators = makeGeneratorTable();

// Known values of the two smallest generators, so a slip in the
// multiplication shows at compile time.
static_assert(kGenerators.coefficients[0][1] == 917 && kGenerators.coefficients[0][0] == 27);
static_assert(kGenerators.coefficients[1][3] == 809 && kGenerators.coefficients[1][2] == 723 &&
              kGenerators.coefficients[1][1] == 568 && kGenerators.coefficients[1][0] == 522);

// Level whose k is errorCorrectionCount, or -1 when it is not supported.
int levelOf(std::uint32_t errorCorrectionCount) {
    for (int level = 0; level < kLevelCount; ++level) {
        if (errorCorrectionCount == (2u << level)) {
            return level;
        }
    }
    return -1;
}

}  // namespace

void computeErrorCorrection(const Codeword* data, std::uint16_t dataCount,
                            std::uint16_t errorCorrectionCount, CodewordStream& stream) {
    const int level = levelOf(errorCorrectionCount);
    assert(level >= 0);
    if (level < 0) {
        return;
    }
    const std::uint16_t* a = kGenerators.coefficients[level];
    const int k = errorCorrectionCount;

    // Remainder registers of the division by the generator; c[k-1] is the
    // highest degree. They live in this frame, so a call allocates nothing
    // but the appends at the end.
    //
    // The registers are left unreduced: register j is a sum of at most
    // j + 1 <= 512 products t * (929 - a), each below 929 * 929, so it stays
    // below 512 * 929 * 929 < 2^32. Only the feedback t is reduced, once per
    // data codeword, which leaves the inner loop a plain multiply-add.
    static_assert(std::uint64_t{kMaxErrorCorrectionCodewords} * kCodewordModulus *
                      kCodewordModulus <
                  (std::uint64_t{1} << 32));
    std::uint32_t negated[kMaxErrorCorrectionCodewords];
    for (int j = 0; j < k; ++j) {
        negated[j] = kCodewordModulus - a[j];
    }
    std::uint32_t c[kMaxErrorCorrectionCodewords] = {};
    for (std::uint16_t i = 0; i < dataCount; ++i) {
        const std::uint32_t t = (data[i] + c[k - 1]) % kCodewordModulus;
        for (int j = k - 1; j > 0; --j) {
            c[j] = c[j - 1] + t * negated[j];
        }
        c[0] = t * negated[0];
    }

    // The registers hold the negated remainder; the symbol needs the
    // remainder itself so that the whole polynomial divides by g(x).
    for (int j = k - 1; j >= 0; --j) {
        stream.push_back(
            static_cast<Codeword>((kCodewordModulus - c[j] % kCodewordModulus) % kCodewordModulus));
    }
}

}  // namespace barwright
