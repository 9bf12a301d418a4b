#include "compaction/ByteCompaction.h"

#include "compaction/ControlCodewords.h"

namespace barwright {

namespace {

constexpr std::size_t kGroupBytes = 6;

// 2^24 in base 900: 20 * 900^2 + 641 * 900 + 316. A group is split into two
// 24-bit halves, high * 2^24 + low, and multiplied out digit by digit.
constexpr std::uint32_t k2To24 = 1u << 24;
constexpr std::uint32_t k2To24Digit0 = k2To24 % kCodewordBase;
constexpr std::uint32_t k2To24Digit1 = k2To24 / kCodewordBase % kCodewordBase;
constexpr std::uint32_t k2To24Digit2 = k2To24 / kCodewordBase / kCodewordBase;
static_assert(k2To24Digit0 == 316 && k2To24Digit1 == 641 && k2To24Digit2 == 20, "2^24 in base 900");

struct ThreeDigits {
    std::uint32_t d0, d1, d2;  // least significant first; d2 <= 20 for 24 bits
};

ThreeDigits toBase900(std::uint32_t value) {
    return {value % kCodewordBase, value / kCodewordBase % kCodewordBase,
            value / (kCodewordBase * kCodewordBase)};
}

}  // namespace

void ByteCompaction::encodeGroup(const Group& bytes, CodewordStream& out) {
    const ThreeDigits a = toBase900(static_cast<std::uint32_t>(bytes[0]) << 16 |
                                    static_cast<std::uint32_t>(bytes[1]) << 8 | bytes[2]);
    const ThreeDigits b = toBase900(static_cast<std::uint32_t>(bytes[3]) << 16 |
                                    static_cast<std::uint32_t>(bytes[4]) << 8 | bytes[5]);
    // Every intermediate stays below 900 * 1000, well inside 32 bits.
    std::uint32_t t = b.d0 + k2To24Digit0 * a.d0;
    const std::uint32_t c0 = t % kCodewordBase;
    t = t / kCodewordBase + b.d1 + k2To24Digit0 * a.d1 + k2To24Digit1 * a.d0;
    const std::uint32_t c1 = t % kCodewordBase;
    t = t / kCodewordBase + b.d2 + k2To24Digit0 * a.d2 + k2To24Digit1 * a.d1 + k2To24Digit2 * a.d0;
    const std::uint32_t c2 = t % kCodewordBase;
    t = t / kCodewordBase + k2To24Digit1 * a.d2 + k2To24Digit2 * a.d1;
    const std::uint32_t c3 = t % kCodewordBase;
    const std::uint32_t c4 = (t / kCodewordBase + k2To24Digit2 * a.d2) % kCodewordBase;
    for (std::uint32_t c : {c4, c3, c2, c1, c0}) out.push_back(static_cast<Codeword>(c));
}

void ByteCompaction::compactBytes(const CompactionUnit* first, const CompactionUnit* last,
                                  CodewordStream& out) {
    const std::size_t count = static_cast<std::size_t>(last - first);
    if (count == 0) return;
    out.push_back(count % kGroupBytes == 0 ? kByteLatchSixes : kByteLatch);
    Group group{};
    std::size_t filled = 0;
    for (const CompactionUnit* unit = first; unit != last; ++unit) {
        group[filled++] = dataByte(*unit);
        if (filled == kGroupBytes) {
            encodeGroup(group, out);
            filled = 0;
        }
    }
    for (std::size_t i = 0; i < filled; ++i) out.push_back(group[i]);
}

}  // namespace barwright
