#include "compaction/TextCompaction.h"

#include <array>

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

}  // namespace

TextCharClass TextCompaction::classify(std::uint8_t byte) {
    return byte < kTextChars.size() ? kTextChars[byte] : TextCharClass{};
}

bool TextCompaction::compactText(const CompactionUnit* first, const CompactionUnit* last,
                                 TextSubMode startSubMode, CodewordStream& out,
                                 TextSubMode& endSubMode) {
    if (first == last) return false;
    std::vector<std::uint8_t> values;
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
        const bool punctuationOnly = ch.members == kPunctuationBit;
        const bool nextIsPunctuation = (nextMembers & kPunctuationBit) != 0;

        switch (current) {
            case TextSubMode::kAlpha:
                if (ch.members & kMixedBit) {
                    values.insert(values.end(), {kLatchMixedValue, ch.value});
                    current = TextSubMode::kMixed;
                } else if (punctuationOnly && nextIsPunctuation) {
                    values.insert(values.end(),
                                  {kLatchMixedValue, kLatchPunctuationValue, ch.value});
                    current = TextSubMode::kPunctuation;
                } else if (punctuationOnly) {
                    values.insert(values.end(), {kShiftPunctuationValue, ch.value});
                } else {
                    values.insert(values.end(), {kLatchLowerValue, ch.value});
                    current = TextSubMode::kLower;
                }
                break;
            case TextSubMode::kLower:
                if (ch.members & kAlphaBit) {
                    // Lower has no latch to Alpha: two capitals (or a capital
                    // and a space) go through Mixed, a lone one is shifted.
                    if (nextMembers & kAlphaBit) {
                        values.insert(values.end(),
                                      {kLatchMixedValue, kLatchAlphaFromMixedValue, ch.value});
                        current = TextSubMode::kAlpha;
                    } else {
                        values.insert(values.end(), {kShiftAlphaValue, ch.value});
                    }
                } else if (ch.members & kMixedBit) {
                    values.insert(values.end(), {kLatchMixedValue, ch.value});
                    current = TextSubMode::kMixed;
                } else if (nextIsPunctuation) {
                    values.insert(values.end(),
                                  {kLatchMixedValue, kLatchPunctuationValue, ch.value});
                    current = TextSubMode::kPunctuation;
                } else {
                    values.insert(values.end(), {kShiftPunctuationValue, ch.value});
                }
                break;
            case TextSubMode::kMixed:
                if (ch.members & kAlphaBit) {
                    values.insert(values.end(), {kLatchAlphaFromMixedValue, ch.value});
                    current = TextSubMode::kAlpha;
                } else if (ch.members & kLowerBit) {
                    values.insert(values.end(), {kLatchLowerValue, ch.value});
                    current = TextSubMode::kLower;
                } else if (nextIsPunctuation) {
                    values.insert(values.end(), {kLatchPunctuationValue, ch.value});
                    current = TextSubMode::kPunctuation;
                } else {
                    values.insert(values.end(), {kShiftPunctuationValue, ch.value});
                }
                break;
            case TextSubMode::kPunctuation:
                // Punctuation latches only to Alpha; Lower and Mixed are one
                // latch further.
                values.push_back(kLatchAlphaFromPunctuationValue);
                if (ch.members & kAlphaBit) {
                    current = TextSubMode::kAlpha;
                } else if (ch.members & kLowerBit) {
                    values.push_back(kLatchLowerValue);
                    current = TextSubMode::kLower;
                } else {
                    values.push_back(kLatchMixedValue);
                    current = TextSubMode::kMixed;
                }
                values.push_back(ch.value);
                break;
        }
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
