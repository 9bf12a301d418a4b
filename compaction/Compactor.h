#pragma once

#include <cstdint>
#include <string_view>

#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"
#include "compaction/Codeword.h"
#include "compaction/CompactionUnit.h"
#include "compaction/NumericCompaction.h"
#include "compaction/TextCompaction.h"

namespace barwright {

// High-level encoding of the data string into data codewords (text, numeric
// and byte compaction, forced or chosen automatically). One Compactor serves
// one symbol; it keeps the little state that passes from one segment to the
// next within it.
class Compactor {
public:
    // The compaction modes as numbers; the executor's current mode is one
    // of text, numeric and byte.
    static constexpr std::int32_t kModeAutomatic =
        static_cast<std::int32_t>(CompactionMode::kAutomatic);
    static constexpr std::int32_t kModeText = static_cast<std::int32_t>(CompactionMode::kText);
    static constexpr std::int32_t kModeNumeric =
        static_cast<std::int32_t>(CompactionMode::kNumeric);
    static constexpr std::int32_t kModeByte = static_cast<std::int32_t>(CompactionMode::kByte);
    static constexpr std::int32_t kModeShortest =
        static_cast<std::int32_t>(CompactionMode::kShortest);

    // Called by the encoding driver at the start of every encode: a symbol
    // starts in text compaction, so text at its start needs no latch.
    void startSymbol();

    // Turns the data string into compaction units, resolving the escape
    // sequences unless escapes is false (every byte is then data). Mode 2
    // puts a control unit 902 first, mode 3 a 924; an ECI designator for eci
    // (0..kMaxEci; any other value adds none) goes before those, and a reader
    // initialisation "~3" at the start before even that. Empty data gives no
    // units at all. Never fails.
    [[nodiscard]] static UnitSequence preprocessData(std::string_view data, std::int32_t mode,
                                                     bool escapes = true,
                                                     std::int32_t eci = kNoEci);

    // Mode 0: decides the segments greedily and runs compactFixed on them.
    [[nodiscard]] Status compactAutomatic(const UnitSequence& units, CodewordStream& out);

    // Mode 4: the shortest encodation of the units, found exactly.
    [[nodiscard]] Status compactShortest(const UnitSequence& units, CodewordStream& out);

    // The segment executor for modes 1..3 (and for automatic mode's output).
    [[nodiscard]] Status compactFixed(const UnitSequence& units, CodewordStream& out);

    // For the Macro PDF417 control block: text compaction from Alpha without
    // a latch (kFail on empty or non-text input), and numeric groups without a
    // latch (kFail on a non-digit; empty reads as "0").
    [[nodiscard]] static Status compactTextString(std::string_view text, CodewordStream& out);
    [[nodiscard]] static Status compactNumericDigits(std::string_view digits, CodewordStream& out);

    // True until a numeric or byte segment has been written in this symbol.
    bool inInitialTextMode() const { return inInitialTextMode_; }

private:
    [[nodiscard]] Status compactSegment(std::int32_t mode, const CompactionUnit* first,
                                        const CompactionUnit* last, CodewordStream& out);
    [[nodiscard]] Status compactTextSegment(const CompactionUnit* first, const CompactionUnit* last,
                                            CodewordStream& out);
    [[nodiscard]] Status compactNumericSegment(const CompactionUnit* first,
                                               const CompactionUnit* last, CodewordStream& out);
    void compactByteSegment(const CompactionUnit* first, const CompactionUnit* last,
                            CodewordStream& out);
    [[nodiscard]] Status runExecutor(const UnitSequence& units, CodewordStream& out);

    bool inInitialTextMode_ = true;

    // Where a reader stands when text resumes without a latch after a byte
    // shift or an ECI designator; only consulted while inInitialTextMode_
    // holds, since otherwise every text segment begins with 900 anyway.
    bool textWritten_ = false;     // a text segment was written in this symbol
    bool textNeedsLatch_ = false;  // an ECI designator followed written text
    TextSubMode resumeSubMode_ = TextSubMode::kAlpha;
};

}  // namespace barwright
