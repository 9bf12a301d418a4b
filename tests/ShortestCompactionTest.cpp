// Shortest compaction is checked against an exhaustive search: every way to
// cut the data into text, numeric, byte and byte-shift segments, and every
// path of text values through the sub-modes, read off a reader's value
// tables rather than the encoder's. Shortest compaction must match its
// minimum exactly, and what it writes must read back to the data.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <queue>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "compaction/Compactor.h"
#include "support/CompactionDecoder.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CompactionDecoder;
using test::DecodedItem;
using test::describeItems;

// One element of the data: a byte, or the designator of ECI 26 (927, 26).
struct Item {
    bool eci = false;
    std::uint8_t byte = 0;
};
constexpr std::uint32_t kEciNumber = 26;
constexpr int kEciHalfCodewords = 4;

// The exhaustive search, in half codewords (one text value each). Nodes are
// a position in the data and what the reader holds there: text in one of
// the four sub-modes with an even or odd count of values since the last
// codeword; nothing open (after a numeric or byte segment, or an ECI
// designator that follows them or text), where the next segment needs its
// latch; or untouched, where the symbol starts and byte shifts leave it: text
// in Alpha, which an ECI designator does not change.
class ExhaustiveSearch {
public:
    explicit ExhaustiveSearch(const std::vector<Item>& items) : items_(items) {}

    std::size_t shortestCodewords() {
        const std::size_t nodes = (items_.size() + 1) * kStates;
        cost_.assign(nodes, kUnreached);
        using Entry = std::pair<int, std::size_t>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
        cost_[node(0, kUntouched)] = 0;
        queue.push({0, node(0, kUntouched)});
        while (!queue.empty()) {
            const auto [cost, at] = queue.top();
            queue.pop();
            if (cost != cost_[at]) continue;
            expand(at / kStates, static_cast<int>(at % kStates), cost,
                   [&](std::size_t position, int state, int added) {
                       const std::size_t to = node(position, state);
                       if (cost + added < cost_[to]) {
                           cost_[to] = cost + added;
                           queue.push({cost_[to], to});
                       }
                   });
        }
        int best = kUnreached;
        for (int state = 0; state < kStates; ++state) {
            const int c = cost_[node(items_.size(), state)];
            if (c != kUnreached) best = std::min(best, c + padding(state));
        }
        return static_cast<std::size_t>(best / 2);
    }

private:
    static constexpr int kUnreached = 1 << 30;
    enum { kAlpha, kLower, kMixed, kPunctuation };
    static constexpr int kNothingOpen = 8;
    static constexpr int kUntouched = 9;
    static constexpr int kStates = 10;
    // What a value means in a sub-mode: a character, or one of these.
    static constexpr int kLatchTo = 1000;  // + the sub-mode
    static constexpr int kShiftToPunctuation = 2000;
    static constexpr int kShiftToAlpha = 2001;

    static int text(int subMode, int parity) { return subMode * 2 + parity; }
    static int padding(int state) { return state < kNothingOpen ? state % 2 : 0; }
    std::size_t node(std::size_t position, int state) const {
        return position * kStates + static_cast<std::size_t>(state);
    }

    static int meaning(int subMode, int value) {
        static const char kMixedChars[] = "0123456789&\r\t,:#-.$/+%*=^";
        static const char kPunctuationChars[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
        switch (subMode) {
            case kAlpha:
                return value < 26    ? 'A' + value
                       : value == 26 ? ' '
                       : value == 27 ? kLatchTo + kLower
                       : value == 28 ? kLatchTo + kMixed
                                     : kShiftToPunctuation;
            case kLower:
                return value < 26    ? 'a' + value
                       : value == 26 ? ' '
                       : value == 27 ? kShiftToAlpha
                       : value == 28 ? kLatchTo + kMixed
                                     : kShiftToPunctuation;
            case kMixed:
                return value < 25    ? kMixedChars[value]
                       : value == 25 ? kLatchTo + kPunctuation
                       : value == 26 ? ' '
                       : value == 27 ? kLatchTo + kLower
                       : value == 28 ? kLatchTo + kAlpha
                                     : kShiftToPunctuation;
            default:
                return value < 29 ? static_cast<unsigned char>(kPunctuationChars[value])
                                  : kLatchTo + kAlpha;
        }
    }

    static bool isCharacterOf(int subMode, int byte) {
        static const auto kMembers = [] {
            std::array<std::array<bool, 256>, 4> members{};
            for (int mode = 0; mode < 4; ++mode) {
                for (int value = 0; value < 30; ++value) {
                    const int m = meaning(mode, value);
                    if (m < 256)
                        members[static_cast<std::size_t>(mode)][static_cast<std::size_t>(m)] = true;
                }
            }
            return members;
        }();
        return kMembers[static_cast<std::size_t>(subMode)][static_cast<std::size_t>(byte)];
    }

    // Codewords of "1" and the digits in base 900, by long division.
    static int groupCodewords(const std::string& digits) {
        std::string number = "1" + digits;
        int count = 0;
        while (number != "0") {
            std::string quotient;
            int remainder = 0;
            for (char ch : number) {
                remainder = remainder * 10 + (ch - '0');
                if (!quotient.empty() || remainder / 900 != 0) {
                    quotient += static_cast<char>('0' + remainder / 900);
                }
                remainder %= 900;
            }
            number = quotient.empty() ? "0" : quotient;
            ++count;
        }
        return count;
    }

    template <typename Relax>
    void expand(std::size_t position, int state, int cost, Relax relax) {
        (void)cost;
        const bool untouched = state == kUntouched;
        if (untouched) state = text(kAlpha, 0);
        const bool inText = state < kNothingOpen;
        const int subMode = state / 2;
        const int parity = state % 2;
        const int pad = padding(state);
        const bool atData = position < items_.size() && !items_[position].eci;
        const int byte = atData ? items_[position].byte : -1;

        if (inText) {
            for (int value = 0; value < 30; ++value) {
                const int m = meaning(subMode, value);
                if (m == byte) relax(position + 1, text(subMode, 1 - parity), 1);
                if (m >= kLatchTo && m < kShiftToPunctuation) {
                    relax(position, text(m - kLatchTo, 1 - parity), 1);
                }
                if (atData && (m == kShiftToPunctuation || m == kShiftToAlpha) &&
                    isCharacterOf(m == kShiftToPunctuation ? kPunctuation : kAlpha, byte)) {
                    relax(position + 1, state, 2);
                }
            }
            if (atData) {
                // The padding 29 before a byte shift: Punctuation falls back
                // to Alpha, the other sub-modes resume.
                const int resumed = subMode == kPunctuation && parity == 1 ? kAlpha : subMode;
                relax(position + 1, untouched ? kUntouched : text(resumed, 0), pad + 4);
            }
        }
        if (position < items_.size() && items_[position].eci) {
            relax(position + 1, untouched ? kUntouched : kNothingOpen, pad + kEciHalfCodewords);
            return;
        }
        if (!atData) return;
        relax(position, text(kAlpha, 0), pad + 2);  // 900
        // Every numeric and byte segment from here, each with its latch.
        std::string digits;
        bool allDigits = true;
        for (std::size_t end = position; end < items_.size() && !items_[end].eci; ++end) {
            const std::uint8_t b = items_[end].byte;
            allDigits = allDigits && b >= '0' && b <= '9';
            if (allDigits) digits += static_cast<char>(b);
            const std::size_t length = end + 1 - position;
            relax(end + 1, kNothingOpen,
                  pad + 2 + 2 * static_cast<int>(5 * (length / 6) + length % 6));
            if (allDigits) relax(end + 1, kNothingOpen, pad + 2 + 2 * numericCodewords(digits));
        }
    }

    // Groups of 44 digits and a last one of 1..44; every node at a position
    // asks for the same digit strings, so each is worked out once.
    int numericCodewords(const std::string& digits) {
        const auto known = numericCodewords_.find(digits);
        if (known != numericCodewords_.end()) return known->second;
        int codewords = 0;
        for (std::size_t at = 0; at < digits.size(); at += 44) {
            codewords += groupCodewords(digits.substr(at, 44));
        }
        numericCodewords_.emplace(digits, codewords);
        return codewords;
    }

    const std::vector<Item>& items_;
    std::vector<int> cost_;
    std::map<std::string, int> numericCodewords_;
};

// The data string for the compactor, and what a reader must give back.
std::string dataString(const std::vector<Item>& items) {
    std::string data;
    for (const Item& item : items) {
        if (item.eci) {
            data += "~7000026";
        } else {
            data +=
                item.byte == '~' ? std::string("~~") : std::string(1, static_cast<char>(item.byte));
        }
    }
    return data;
}

std::vector<DecodedItem> content(const std::vector<Item>& items) {
    std::vector<DecodedItem> expected;
    for (const Item& item : items) {
        expected.push_back(item.eci ? DecodedItem{true, kEciNumber}
                                    : DecodedItem{false, item.byte});
    }
    return expected;
}

// Shortest compaction of the items: as long as the exhaustive minimum, never
// longer than automatic compaction, and read back to the items. Fatal on the
// first failure, so a broken rule reports one string, not thousands.
void expectShortest(Compactor& compactor, const std::vector<Item>& items) {
    const std::string data = dataString(items);
    const std::vector<DecodedItem> expected = content(items);
    // Described only on failure: tens of thousands of strings pass.
    const test::CompactionResult shortest =
        test::compactData(compactor, data, Compactor::kModeShortest);
    ASSERT_EQ(shortest.status, status::kOk) << describeItems(expected);
    ASSERT_EQ(shortest.codewords.size(), ExhaustiveSearch(items).shortestCodewords())
        << describeItems(expected);
    const test::CompactionResult automatic =
        test::compactData(compactor, data, Compactor::kModeAutomatic);
    ASSERT_LE(shortest.codewords.size(), automatic.codewords.size()) << describeItems(expected);
    const test::DecodeResult decoded = CompactionDecoder::decode(shortest.codewords);
    ASSERT_TRUE(decoded.ok) << decoded.error << " in " << describeItems(expected);
    if (decoded.items != expected) {
        ASSERT_EQ(describeItems(decoded.items), describeItems(expected));
    }
}

TEST(ShortestCompaction, MatchesTheExhaustiveSearchOnEveryShortString) {
    // Capitals, lower case, a digit, Mixed-and-Punctuation (comma),
    // Punctuation only (semicolon, line feed), space (three sub-modes),
    // control and high bytes, and an ECI designator.
    const Item kCapital{false, 'A'};
    const Item kLower{false, 'a'};
    const Item kDigit{false, '1'};
    const Item kComma{false, ','};
    const Item kSemicolon{false, ';'};
    const Item kLineFeed{false, '\n'};
    const Item kSpace{false, ' '};
    const Item kNul{false, 0x00};
    const Item kHigh{false, 0xE9};
    const Item kEci{true, 0};
    struct Alphabet {
        const char* name;
        std::vector<Item> items;
        std::size_t maxLength;
    };
    const Alphabet alphabets[] = {
        {"EveryMode", {kCapital, kLower, kDigit, kComma, kLineFeed, kSpace, kNul, kHigh}, 5},
        {"PunctuationAroundShifts", {kSemicolon, kLower, kHigh, kDigit}, 7},
        {"Designators", {kCapital, kSemicolon, kDigit, kHigh, kEci}, 5},
    };
    Compactor compactor;
    for (const Alphabet& alphabet : alphabets) {
        SCOPED_TRACE(alphabet.name);
        std::vector<std::size_t> digits;  // the string as numbers in base alphabet size
        std::vector<Item> items;
        while (digits.size() <= alphabet.maxLength) {
            items.clear();
            for (std::size_t d : digits) items.push_back(alphabet.items[d]);
            expectShortest(compactor, items);
            if (HasFatalFailure()) return;
            // Next string: count up, growing by one place on overflow.
            std::size_t i = 0;
            while (i < digits.size() && ++digits[i] == alphabet.items.size()) digits[i++] = 0;
            if (i == digits.size()) digits.push_back(0);
        }
    }
}

// Longer data, where numeric groups of 44 digits, byte groups of six and
// runs of text meet.
TEST(ShortestCompaction, MatchesTheExhaustiveSearchOnSeededLongerData) {
    std::mt19937 random(20250311);
    auto below = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::string kPieces[] = {"ABCDEFGH Z", "abcdefgh z", "0123456789", ",.:-/$*&#%",
                                   ";!?()'\"\n@_"};
    Compactor compactor;
    for (int round = 0; round < 400; ++round) {
        std::vector<Item> items;
        const std::size_t pieces = 1 + below(6);
        for (std::size_t p = 0; p < pieces; ++p) {
            const std::size_t kind = below(7);
            if (kind == 6) {
                for (std::size_t n = 1 + below(9); n > 0; --n) {
                    items.push_back({false, static_cast<std::uint8_t>(128 + below(128))});
                }
            } else if (kind == 5) {
                items.push_back({true, 0});
            } else {
                const std::string& from = kPieces[kind];
                const std::size_t length = kind == 2 ? 1 + below(60) : 1 + below(8);
                for (std::size_t n = 0; n < length; ++n) {
                    items.push_back({false, static_cast<std::uint8_t>(from[below(from.size())])});
                }
            }
        }
        SCOPED_TRACE(round);
        expectShortest(compactor, items);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace barwright
