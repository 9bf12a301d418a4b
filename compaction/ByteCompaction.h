#pragma once

#include <array>
#include <cstdint>

#include "compaction/Codeword.h"
#include "compaction/CompactionUnit.h"

namespace barwright {

// Byte compaction: every full group of six bytes becomes five codewords (a
// 48-bit number in base 900), the bytes left over one codeword each.
class ByteCompaction {
public:
    using Group = std::array<std::uint8_t, 6>;

    // Appends the latch (924 when the count is a multiple of 6, else 901)
    // and the codewords of the low bytes of the units in [first, last).
    // Writes nothing for an empty range.
    static void compactBytes(const CompactionUnit* first, const CompactionUnit* last,
                             CodewordStream& out);

    // Appends the five base-900 digits of bytes[0] * 256^5 + ... + bytes[5],
    // most significant first, with 32-bit arithmetic only.
    static void encodeGroup(const Group& bytes, CodewordStream& out);
};

}  // namespace barwright
