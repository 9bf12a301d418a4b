#pragma once

#include "barwright/Status.h"
#include "compaction/Codeword.h"
#include "compaction/CompactionUnit.h"
#include "compaction/NumericCompaction.h"

namespace barwright {

// The encodation with the fewest data codewords, found exactly: one pass of
// dynamic programming over the units and the states a reader can be in (text
// sub-mode and whether a text value waits for its partner, the digits of the
// numeric group being filled, the bytes of the byte group being filled).
// Every choice automatic compaction has is open to it (text with its four
// sub-modes, latches and shifts, numeric and byte segments, byte shifts),
// and each segment pays for one latch only. Time and memory are linear in
// the number of units.
//
// What it writes keeps to the rules every reader shares:
// - a padding value 29 stands just before a 913 byte shift when the text
//   values before it are odd; the reader resumes the sub-mode latched before
//   it (Alpha where the 29 closed a Punctuation latch);
// - a byte segment is led by 924 exactly when its length is a multiple of 6,
//   so a 901 segment always ends in 1..5 single bytes;
// - once a text, numeric or byte segment has been written, whatever follows
//   an ECI designator starts with its latch (900 for text, in Alpha), so no
//   reader's handling of the sub-mode across a designator matters; before
//   that (byte shifts at most) text goes on in Alpha without one.
class ShortestCompaction {
public:
    // Appends the data codewords of units, as preprocessData makes them for
    // automatic compaction: data units, reader initialisation (921) as the
    // first unit, and ECI designators with their value units. The stream is
    // taken to start in text compaction, Alpha. Returns kInvalidArgument for
    // any other control unit (nothing appended), kFail when memory runs out.
    [[nodiscard]] static Status compact(const UnitSequence& units, CodewordStream& out);
};

}  // namespace barwright
