#pragma once

#include "compaction/Codeword.h"

namespace barwright {

// Data codewords are digits of base 900; the values from 900 up steer the
// reader instead of carrying data.
constexpr Codeword kCodewordBase = 900;

constexpr Codeword kTextLatch = 900;       // text compaction, Alpha sub-mode
constexpr Codeword kByteLatch = 901;       // byte compaction, byte count not a multiple of 6
constexpr Codeword kNumericLatch = 902;    // numeric compaction
constexpr Codeword kByteShift = 913;       // the next codeword is one byte, then text resumes
constexpr Codeword kReaderInit = 921;      // reader initialisation; must be the first codeword
constexpr Codeword kByteLatchSixes = 924;  // byte compaction, byte count a multiple of 6

// ECI designators, by the range of ECI numbers each one covers.
constexpr Codeword kEciHigh = 925;    // 810900..811799, one codeword: number - 810900
constexpr Codeword kEciMiddle = 926;  // 900..810899, two codewords: number / 900 - 1, number % 900
constexpr Codeword kEciLow = 927;     // 0..899, one codeword: the number

constexpr bool isEciDesignator(Codeword codeword) {
    return codeword >= kEciHigh && codeword <= kEciLow;
}

// Codewords that carry the ECI number after a designator (1 or 2).
constexpr int eciValueCount(Codeword designator) { return designator == kEciMiddle ? 2 : 1; }

}  // namespace barwright
