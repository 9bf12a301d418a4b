#pragma once

#include <cstdint>
#include <vector>

namespace barwright {

// One element of compaction's input: a data byte of the user's data, or a
// control codeword (latch, shift, ECI designator, reader initialisation).
struct CompactionUnit {
    // Data unit: the byte in the low 8 bits (a byte from the data string is
    // sign-extended, one from an escape zero-extended; compaction reads only
    // the low 8 bits). Control unit: a codeword 0..928.
    std::int16_t value = 0;
    std::uint8_t isControl = 0;
};

using UnitSequence = std::vector<CompactionUnit>;

// The byte of a data unit, whichever way it was extended.
inline std::uint8_t dataByte(const CompactionUnit& unit) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit.value) & 0xFFu);
}

}  // namespace barwright
