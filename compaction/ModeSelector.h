#pragma once

#include "compaction/CompactionUnit.h"

namespace barwright {

// Automatic compaction's choice of modes: one greedy pass from left to
// right that never looks back and never compares costs. A run of 13 or more
// digits goes to numeric compaction, a run of text characters to text, a
// lone non-text byte amid text to a byte shift, anything else to bytes.
class ModeSelector {
public:
    // Digits in a row that start numeric compaction; 12 stay in text.
    static constexpr std::size_t kNumericRunDigits = 13;
    // Text characters that end a byte run.
    static constexpr std::size_t kTextCharsEndingByteRun = 5;

    // The units in their order with the control units inserted that the
    // segment executor acts on: 902 before a numeric run, 900 before a text
    // run, 924 before a byte run (the segment picks 901 or 924 itself), and
    // 913 with one zero-extended data unit for a byte shift. A latch is
    // inserted only where the mode changes; the sequence starts in text.
    static UnitSequence selectModes(const UnitSequence& units);
};

}  // namespace barwright
