#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "compaction/Codeword.h"

namespace barwright {

// Numeric compaction: decimal digits in groups of up to 44, each group led
// by the digit 1 and written in base 900. The conversion adds up rows of a
// table of powers of ten held in base 900, so no arithmetic is wider than
// 32 bits; the table is computed when the program is compiled.
class NumericCompaction {
public:
    static constexpr std::size_t kGroupDigits = 44;
    // 10^0..10^45: enough for a group of 45 characters ("1" and 44 digits).
    static constexpr std::size_t kPowerCount = 46;
    // Base-900 digits per row, most significant first: 900^16 > 10^45.
    static constexpr std::size_t kRowDigits = 16;
    using PowerRow = std::array<std::uint16_t, kRowDigits>;
    using PowerTable = std::array<PowerRow, kPowerCount>;

    // Appends the groups of a digit string (only '0'..'9', at least one):
    // groups of 44 and a last group of 1..44, each led by "1".
    static void appendDigitGroups(std::string_view digits, CodewordStream& out);

    // Appends the base-900 digits of one group, a decimal string of 1..45
    // characters, without leading zeros (a single 0 for the value 0).
    static void appendGroup(std::string_view group, CodewordStream& out);

    // Row k holds 10^k as kRowDigits base-900 digits, most significant first.
    static const PowerTable& powersOfTenBase900();
};

}  // namespace barwright
