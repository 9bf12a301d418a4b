#include "compaction/NumericCompaction.h"

#include <cassert>
#include <string>

#include "compaction/ControlCodewords.h"

namespace barwright {

const NumericCompaction::PowerTable& NumericCompaction::powersOfTenBase900() {
    if (!powersBuilt_) {
        PowerRow row{};
        row[kRowDigits - 1] = 1;
        powersOfTenBase900_[0] = row;
        for (std::size_t power = 1; power < kPowerCount; ++power) {
            // A digit times ten plus a carry of at most 9 stays below 9000.
            std::uint32_t carry = 0;
            for (std::size_t j = kRowDigits; j-- > 0;) {
                const std::uint32_t t = row[j] * 10u + carry;
                row[j] = static_cast<std::uint16_t>(t % kCodewordBase);
                carry = t / kCodewordBase;
            }
            assert(carry == 0);
            powersOfTenBase900_[power] = row;
        }
        powersBuilt_ = true;
    }
    return powersOfTenBase900_;
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
