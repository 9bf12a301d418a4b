#include "compaction/NumericCompaction.h"

#include <cassert>
#include <string>

#include "compaction/ControlCodewords.h"

namespace barwright {

namespace {

// Each row is the one before times ten: every digit times ten plus the carry
// from the digit below, which stays below 9000, reduced into 0..899.
constexpr NumericCompaction::PowerTable makePowersOfTen() {
    NumericCompaction::PowerTable table{};
    NumericCompaction::PowerRow row{};
    row[NumericCompaction::kRowDigits - 1] = 1;
    table[0] = row;
    for (std::size_t power = 1; power < NumericCompaction::kPowerCount; ++power) {
        std::uint32_t carry = 0;
        for (std::size_t j = NumericCompaction::kRowDigits; j-- > 0;) {
            const std::uint32_t t = row[j] * 10u + carry;
            row[j] = static_cast<std::uint16_t>(t % kCodewordBase);
            carry = t / kCodewordBase;
        }
        table[power] = row;
    }
    return table;
}

constexpr NumericCompaction::PowerTable kPowersOfTen = makePowersOfTen();
// 10^3 = 1 * 900 + 100: a check that the rows are built as intended.
static_assert(kPowersOfTen[3][NumericCompaction::kRowDigits - 2] == 1 &&
              kPowersOfTen[3][NumericCompaction::kRowDigits - 1] == 100);

}  // namespace

const NumericCompaction::PowerTable& NumericCompaction::powersOfTenBase900() {
    return kPowersOfTen;
}

void NumericCompaction::appendGroup(std::string_view group, CodewordStream& out) {
    assert(!group.empty() && group.size() < kPowerCount);
    const PowerTable& powers = powersOfTenBase900();
    // The rows are added without carrying: a column collects at most 45
    // terms of 9 * 899, far below 2^32, and one carry pass at the end puts
    // every column back into 0..899. Each digit then costs one independent
    // multiply-add per column instead of a chain of divisions.
    static_assert(kPowerCount * 9 * (kCodewordBase - 1) < (std::uint64_t{1} << 32));
    std::array<std::uint32_t, kRowDigits> sum{};
    for (std::size_t position = 0; position < group.size(); ++position) {
        const std::uint32_t digit =
            static_cast<std::uint32_t>(group[group.size() - 1 - position] - '0');
        const PowerRow& row = powers[position];
        for (std::size_t j = 0; j < kRowDigits; ++j) {
            sum[j] += digit * row[j];
        }
    }
    std::uint32_t carry = 0;
    for (std::size_t j = kRowDigits; j-- > 0;) {
        const std::uint32_t t = sum[j] + carry;
        sum[j] = t % kCodewordBase;
        carry = t / kCodewordBase;
    }
    assert(carry == 0);
    std::size_t first = 0;
    while (first + 1 < kRowDigits && sum[first] == 0) ++first;
    for (std::size_t j = first; j < kRowDigits; ++j) out.push_back(static_cast<Codeword>(sum[j]));
}

void NumericCompaction::appendDigitGroups(std::string_view digits, CodewordStream& out) {
    std::string group;
    group.reserve(kGroupDigits + 1);
    std::size_t offset = 0;
    while (offset < digits.size()) {
        // Never leave a last group of 0 digits: 45 remaining split as 44 + 1.
        const std::size_t remaining = digits.size() - offset;
        const std::size_t length = remaining > kGroupDigits ? kGroupDigits : remaining;
        group.assign(1, '1');
        group.append(digits.substr(offset, length));
        appendGroup(group, out);
        offset += length;
    }
}

}  // namespace barwright
