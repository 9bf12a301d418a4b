#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"
#include "compaction/Codeword.h"

namespace barwright {

// Error correction works in the integers modulo 929, the number of codeword
// values; its generator has the roots 3, 3^2, ..., 3^k.
constexpr std::uint32_t kCodewordModulus = 929;
// Levels 0..8 give k = 2 << level error correction codewords, 2..512.
constexpr int kMaxErrorCorrectionCodewords = 2 << kMaxErrorCorrectionLevel;

// Appends to `stream` the k error correction codewords of the dataCount
// (1..926) codewords at `data`, highest-degree register first. `data` may
// point into `stream` itself: it is read completely before anything is
// appended. k must be one of 2, 4, ..., 512 (an internal invariant:
// the encoder only asks for those); any other count appends nothing.
void computeErrorCorrection(const Codeword* data, std::uint16_t dataCount,
                            std::uint16_t errorCorrectionCount, CodewordStream& stream);

}  // namespace barwright
