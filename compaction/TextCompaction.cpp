#include "compaction/TextCompaction.h"

#include <array>
#include <initializer_list>

namespace barwright {

namespace {

constexpr std::uint8_t kAlphaBit = bitOf(TextSubMode::kAlpha);
constexpr std::uint8_t kLowerBit = bitOf(TextSubMode::kLower);
constexpr std::uint8_t kMixedBit = bitOf(TextSubMode::kMixed);
constexpr std::uint8_t kPunctuationBit = bitOf(TextSubMode::kPunctuation);

// Values that switch sub-modes. Their meaning depends on the current
// sub-mode, hence the names by use rather than by value.
constexpr std::uint8_t kSpaceValue = 26;
constexpr std::uint8_t kLatchLowerValue = 27;  // from Alpha and Mixed
constexpr std::uint8_t kShiftAlphaValue = 27;  // from Lower, one character
constexpr std::uint8_t kLatchMixedValue = 28;  // from Alpha and Lower
constexpr std::uint8_t kLatchAlphaFromMixedValue = 28;
constexpr std::uint8_t kLatchPunctuationValue = 25;  // from Mixed
constexpr std::uint8_t kShiftPunctuationValue = 29;  // from Alpha, Lower and Mixed
constexpr std::uint8_t kLatchAlphaFromPunctuationValue = 29;
constexpr std::uint8_t kPaddingValue = 29;
constexpr Codeword kValuesPerCodeword = 30;

// The Mixed and Punctuation sub-modes character by character, each
// string's index being the value (the ISO/IEC 15438 text tables). Carriage
// return, tab, comma, colon, hyphen, full stop, $, slash and * sit at the
// same index in both, which the table check below relies on.
constexpr char kMixedChars[] = "0123456789&\r\t,:#-.$/+%*=^";
constexpr char kPunctuationChars[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

constexpr std::array<TextCharClass, 128> buildCharTable() {
    std::array<TextCharClass, 128> table{};
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = {static_cast<std::uint8_t>(i), kAlphaBit};
        table['a' + i] = {static_cast<std::uint8_t>(i), kLowerBit};
    }
    table[' '] = {kSpaceValue, static_cast<std::uint8_t>(kAlphaBit | kLowerBit | kMixedBit)};
    for (int i = 0; kMixedChars[i] != '\0'; ++i) {
        table[static_cast<unsigned char>(kMixedChars[i])] = {static_cast<std::uint8_t>(i),
                                                             kMixedBit};
    }
    for (int i = 0; kPunctuationChars[i] != '\0'; ++i) {
        TextCharClass& entry = table[static_cast<unsigned char>(kPunctuationChars[i])];
        entry.value = static_cast<std::uint8_t>(i);
        entry.members = static_cast<std::uint8_t>(entry.members | kPunctuationBit);
    }
    return table;
}

constexpr std::array<TextCharClass, 128> kTextChars = buildCharTable();

// A character in both Mixed and Punctuation must have one value, or the
// table above would silently keep only the Punctuation one.
constexpr bool sharedValuesAgree() {
    for (int i = 0; kMixedChars[i] != '\0'; ++i) {
        const TextCharClass& entry = kTextChars[static_cast<unsigned char>(kMixedChars[i])];
        if (entry.value != i) return false;
    }
    return true;
}
static_assert(sizeof(kMixedChars) - 1 == 25 && sizeof(kPunctuationChars) - 1 == 29,
              "Mixed has 25 characters, Punctuation 29");
static_assert(sharedValuesAgree(), "Mixed and Punctuation disagree on a shared character");
static_assert(kTextChars['\t'].members == (kMixedBit | kPunctuationBit) &&
                  kTextChars['\n'].members == kPunctuationBit && kTextChars['~'].value == 9,
              "text character table");

using TextValues = std::vector<std::uint8_t>;

// Appends the values that switch sub-modes and then the character's own;
// returns the sub-mode a reader is in after them.
TextSubMode put(TextValues& values, std::initializer_list<std::uint8_t> switching, TextCharClass ch,
                TextSubMode reached) {
    values.insert(values.end(), switching);
    values.push_back(ch.value);
    return reached;
}

// The ways out of each sub-mode to a character (ch) that it does not hold.
// next is the membership of the character after it (0 when none), which
// decides between a shift, for one character, and a latch.
TextSubMode leaveAlpha(TextCharClass ch, std::uint8_t next, TextValues& values) {
    if (ch.members & kMixedBit) {
        return put(values, {kLatchMixedValue}, ch, TextSubMode::kMixed);
    }
    if (ch.members != kPunctuationBit) {
        return put(values, {kLatchLowerValue}, ch, TextSubMode::kLower);
    }
    if (next & kPunctuationBit) {
        return put(values, {kLatchMixedValue, kLatchPunctuationValue}, ch,
                   TextSubMode::kPunctuation);
    }
    return put(values, {kShiftPunctuationValue}, ch, TextSubMode::kAlpha);
}

TextSubMode leaveLower(TextCharClass ch, std::uint8_t next, TextValues& values) {
    // Lower has no latch to Alpha: two capitals (or a capital and a space) go
    // through Mixed, a lone one is shifted.
    if ((ch.members & kAlphaBit) && (next & kAlphaBit)) {
        return put(values, {kLatchMixedValue, kLatchAlphaFromMixedValue}, ch, TextSubMode::kAlpha);
    }
    if (ch.members & kAlphaBit) {
        return put(values, {kShiftAlphaValue}, ch, TextSubMode::kLower);
    }
    if (ch.members & kMixedBit) {
        return put(values, {kLatchMixedValue}, ch, TextSubMode::kMixed);
    }
    if (next & kPunctuationBit) {
        return put(values, {kLatchMixedValue, kLatchPunctuationValue}, ch,
                   TextSubMode::kPunctuation);
    }
    return put(values, {kShiftPunctuationValue}, ch, TextSubMode::kLower);
}

TextSubMode leaveMixed(TextCharClass ch, std::uint8_t next, TextValues& values) {
    if (ch.members & kAlphaBit) {
        return put(values, {kLatchAlphaFromMixedValue}, ch, TextSubMode::kAlpha);
    }
    if (ch.members & kLowerBit) {
        return put(values, {kLatchLowerValue}, ch, TextSubMode::kLower);
    }
    if (next & kPunctuationBit) {
        return put(values, {kLatchPunctuationValue}, ch, TextSubMode::kPunctuation);
    }
    return put(values, {kShiftPunctuationValue}, ch, TextSubMode::kMixed);
}

// Punctuation latches only to Alpha; Lower and Mixed are one latch further.
TextSubMode leavePunctuation(TextCharClass ch, TextValues& values) {
    if (ch.members & kAlphaBit) {
        return put(values, {kLatchAlphaFromPunctuationValue}, ch, TextSubMode::kAlpha);
    }
    if (ch.members & kLowerBit) {
        return put(values, {kLatchAlphaFromPunctuationValue, kLatchLowerValue}, ch,
                   TextSubMode::kLower);
    }
    return put(values, {kLatchAlphaFromPunctuationValue, kLatchMixedValue}, ch,
               TextSubMode::kMixed);
}

TextSubMode leaveSubMode(TextSubMode current, TextCharClass ch, std::uint8_t next,
                         TextValues& values) {
    switch (current) {
        case TextSubMode::kAlpha:
            return leaveAlpha(ch, next, values);
        case TextSubMode::kLower:
            return leaveLower(ch, next, values);
        case TextSubMode::kMixed:
            return leaveMixed(ch, next, values);
        case TextSubMode::kPunctuation:
            return leavePunctuation(ch, values);
    }
    return current;
}

}  // namespace

TextCharClass TextCompaction::classify(std::uint8_t byte) {
    return byte < kTextChars.size() ? kTextChars[byte] : TextCharClass{};
}

bool TextCompaction::compactText(const CompactionUnit* first, const CompactionUnit* last,
                                 TextSubMode startSubMode, CodewordStream& out,
                                 TextSubMode& endSubMode) {
    if (first == last) return false;
    TextValues values;
    values.reserve(static_cast<std::size_t>(last - first));
    TextSubMode current = startSubMode;

    for (const CompactionUnit* unit = first; unit != last; ++unit) {
        if (unit->isControl) continue;
        const TextCharClass ch = classify(dataByte(*unit));
        if (ch.members == 0) return false;
        if (ch.members & bitOf(current)) {
            values.push_back(ch.value);
            continue;
        }
        // Look-ahead decides between a shift (one character) and a latch.
        std::uint8_t nextMembers = 0;
        if (unit + 1 != last && !unit[1].isControl)
            nextMembers = classify(dataByte(unit[1])).members;
        current = leaveSubMode(current, ch, nextMembers, values);
    }

    if (values.size() % 2 != 0) {
        values.push_back(kPaddingValue);
        // In Punctuation the padding 29 is the latch back to Alpha. Elsewhere
        // it is a shift to Punctuation with nothing to shift; readers take it
        // as padding when a byte shift 913 follows and keep the sub-mode.
        if (current == TextSubMode::kPunctuation) current = TextSubMode::kAlpha;
    }
    endSubMode = current;
    packTextValues(values, out);
    return true;
}

void TextCompaction::packTextValues(const std::vector<std::uint8_t>& values, CodewordStream& out) {
    for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
        out.push_back(static_cast<Codeword>(values[i] * kValuesPerCodeword + values[i + 1]));
    }
}

}  // namespace barwright
