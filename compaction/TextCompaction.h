#pragma once

#include <cstdint>
#include <vector>

#include "compaction/Codeword.h"
#include "compaction/CompactionUnit.h"

namespace barwright {

// The four sub-modes of text compaction, as bits so that a character's
// membership can be a set of them.
enum class TextSubMode : std::uint8_t {
    kPunctuation = 1,
    kMixed = 2,
    kLower = 4,
    kAlpha = 8,
};

constexpr std::uint8_t bitOf(TextSubMode subMode) { return static_cast<std::uint8_t>(subMode); }

// A byte as text compaction sees it. A character that belongs to several
// sub-modes has the same value in each.
struct TextCharClass {
    std::uint8_t value = 0;    // 0..28
    std::uint8_t members = 0;  // set of TextSubMode bits; 0 = not a text character
};

// Text compaction: printable ASCII plus tab, line feed and carriage return,
// two values 0..29 per codeword.
class TextCompaction {
public:
    static TextCharClass classify(std::uint8_t byte);
    // True for tab, line feed, carriage return and 32..126.
    static bool isTextChar(std::uint8_t byte) { return classify(byte).members != 0; }

    // Appends the codewords of the data units in [first, last), starting in
    // startSubMode; control units are passed over. Fails, appending nothing,
    // when the range is empty or holds a byte that is not a text character.
    // On success stores in endSubMode the sub-mode a reader is in after the
    // last codeword, as it resumes there after a byte shift.
    [[nodiscard]] static bool compactText(const CompactionUnit* first, const CompactionUnit* last,
                                          TextSubMode startSubMode, CodewordStream& out,
                                          TextSubMode& endSubMode);

    // One codeword per pair of values (first * 30 + second); an odd last
    // value is dropped, so callers pad first.
    static void packTextValues(const std::vector<std::uint8_t>& values, CodewordStream& out);
};

}  // namespace barwright
