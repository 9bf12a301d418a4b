#include "compaction/ShortestCompaction.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "compaction/ByteCompaction.h"
#include "compaction/ControlCodewords.h"
#include "compaction/TextCompaction.h"

namespace barwright {

namespace {

// Costs are counted in text values, half a codeword each, so that text and
// the other modes share one scale; every other codeword costs two.
using Cost = std::uint32_t;
constexpr Cost kUnreachable = std::numeric_limits<Cost>::max() / 4;
constexpr Cost kCodewordCost = 2;

// Sub-modes by index here; TextSubMode holds them as membership bits.
enum SubMode : std::uint8_t { kAlpha, kLower, kMixed, kPunctuation };
constexpr int kSubModeCount = 4;

constexpr std::uint8_t memberBit(int subMode) {
    constexpr TextSubMode kBits[] = {TextSubMode::kAlpha, TextSubMode::kLower, TextSubMode::kMixed,
                                     TextSubMode::kPunctuation};
    return bitOf(kBits[subMode]);
}

// The reader states the search tells apart. Text: the sub-mode and the
// parity of the values since the last whole codeword (an odd one waits for
// its partner or a padding value). Byte: the segment's length modulo 6.
// Numeric: the digits in the group being filled, 1..44. Fresh: just after
// an ECI designator, where the next segment writes its latch. Untouched:
// text in Alpha with nothing but byte shifts written yet; the symbol starts
// there, and only there does text after an ECI designator need no latch.
constexpr int kTextStateCount = kSubModeCount * 2;
constexpr int kFirstByteState = kTextStateCount;
constexpr int kByteGroupBytes = 6;
constexpr int kFirstNumericState = kFirstByteState + kByteGroupBytes;
constexpr int kGroupDigits = static_cast<int>(NumericCompaction::kGroupDigits);
constexpr int kFreshState = kFirstNumericState + kGroupDigits;
constexpr int kUntouchedState = kFreshState + 1;
constexpr int kStateCount = kUntouchedState + 1;

constexpr int textState(int subMode, int parity) { return subMode * 2 + parity; }
constexpr int subModeOf(int state) { return state / 2; }
constexpr int parityOf(int state) { return state % 2; }
constexpr int byteState(int bytesModulo6) { return kFirstByteState + bytesModulo6; }
constexpr int numericState(int groupDigits) { return kFirstNumericState + groupDigits - 1; }
constexpr int kAlphaEven = textState(kAlpha, 0);

// The text state a state stands for when text follows it without a 900.
constexpr int asTextState(int state) { return state == kUntouchedState ? kAlphaEven : state; }

// Text values with a fixed meaning in the sub-modes where they are used.
constexpr std::uint8_t kShiftPunctuationValue = 29;  // in Alpha, Lower and Mixed
constexpr std::uint8_t kShiftAlphaValue = 27;        // in Lower
constexpr std::uint8_t kPaddingValue = 29;

// Sub-mode latches, each one value. Several in a row reach every sub-mode;
// a longer chain is sometimes worth its extra value because it leaves the
// other parity (an even count before a byte shift keeps Punctuation, where
// padding would fall back to Alpha).
struct Latch {
    std::uint8_t from;
    std::uint8_t to;
    std::uint8_t value;
};
constexpr Latch kLatches[] = {
    {kAlpha, kLower, 27},       {kAlpha, kMixed, 28}, {kLower, kMixed, 28},
    {kMixed, kPunctuation, 25}, {kMixed, kLower, 27}, {kMixed, kAlpha, 28},
    {kPunctuation, kAlpha, 29},
};

constexpr int kMaxLatchPath = 6;
struct LatchPath {
    std::uint8_t length = 0;
    std::array<std::uint8_t, kMaxLatchPath> values{};
};
using LatchPaths = std::array<std::array<LatchPath, kTextStateCount>, kTextStateCount>;

// The shortest chain of latches between any two text states (sub-mode and
// parity), by breadth-first search over the eight of them.
constexpr LatchPaths buildLatchPaths() {
    LatchPaths paths{};
    for (int source = 0; source < kTextStateCount; ++source) {
        std::array<bool, kTextStateCount> seen{};
        std::array<int, kTextStateCount> queue{};
        int head = 0;
        int tail = 0;
        seen[static_cast<std::size_t>(source)] = true;
        queue[static_cast<std::size_t>(tail++)] = source;
        while (head < tail) {
            const int state = queue[static_cast<std::size_t>(head++)];
            const LatchPath& path =
                paths[static_cast<std::size_t>(source)][static_cast<std::size_t>(state)];
            for (const Latch& latch : kLatches) {
                if (latch.from != subModeOf(state)) continue;
                const int target = textState(latch.to, 1 - parityOf(state));
                if (seen[static_cast<std::size_t>(target)]) continue;
                seen[static_cast<std::size_t>(target)] = true;
                queue[static_cast<std::size_t>(tail++)] = target;
                LatchPath longer = path;
                longer.values[longer.length++] = latch.value;
                paths[static_cast<std::size_t>(source)][static_cast<std::size_t>(target)] = longer;
            }
        }
    }
    return paths;
}

constexpr LatchPaths kLatchPaths = buildLatchPaths();

constexpr bool allLatchPathsExist() {
    for (int source = 0; source < kTextStateCount; ++source) {
        for (int target = 0; target < kTextStateCount; ++target) {
            const LatchPath& path =
                kLatchPaths[static_cast<std::size_t>(source)][static_cast<std::size_t>(target)];
            if ((source == target) != (path.length == 0)) return false;
            if (path.length % 2 != (parityOf(source) ^ parityOf(target))) return false;
        }
    }
    return true;
}
static_assert(allLatchPathsExist(), "every text state reaches every other one by latches");

// Codewords of a numeric group "1" followed by n digits, for n = 1..44. The
// group lies in [10^n, 2 * 10^n), and no power of 900 falls inside that
// range for these n (checked below), so the count depends on n alone.
using GroupCodewordCounts = std::array<std::uint8_t, NumericCompaction::kGroupDigits + 1>;

constexpr int kBase900Digits = static_cast<int>(NumericCompaction::kRowDigits);
using Base900Number = std::array<std::uint32_t, kBase900Digits>;  // least significant first

constexpr void multiplyBase900(Base900Number& number, std::uint32_t factor) {
    std::uint32_t carry = 0;
    for (std::uint32_t& digit : number) {
        const std::uint32_t t = digit * factor + carry;
        digit = t % kCodewordBase;
        carry = t / kCodewordBase;
    }
}

constexpr std::uint8_t base900DigitCount(const Base900Number& number) {
    int count = kBase900Digits;
    while (count > 1 && number[static_cast<std::size_t>(count - 1)] == 0) --count;
    return static_cast<std::uint8_t>(count);
}

constexpr GroupCodewordCounts buildGroupCodewordCounts() {
    GroupCodewordCounts counts{};
    Base900Number power{};  // 10^n
    power[0] = 1;
    for (std::size_t n = 1; n < counts.size(); ++n) {
        multiplyBase900(power, 10);
        counts[n] = base900DigitCount(power);
    }
    return counts;
}

constexpr GroupCodewordCounts kGroupCodewords = buildGroupCodewordCounts();

// The largest group of n digits, 2 * 10^n - 1, needs as many codewords as
// the smallest.
constexpr bool groupCountsIgnoreTheDigits() {
    Base900Number power{};
    power[0] = 1;
    for (std::size_t n = 1; n < kGroupCodewords.size(); ++n) {
        multiplyBase900(power, 10);
        Base900Number largest = power;
        multiplyBase900(largest, 2);
        std::size_t i = 0;
        while (largest[i] == 0) largest[i++] = kCodewordBase - 1;  // subtract 1, borrowing
        --largest[i];
        if (base900DigitCount(largest) != kGroupCodewords[n]) return false;
    }
    return true;
}
static_assert(groupCountsIgnoreTheDigits(), "a numeric group's length depends on its digits");
static_assert(kGroupCodewords[NumericCompaction::kGroupDigits] == 15, "44 digits in 15 codewords");

// How a state was reached at one step: the state before it and what was
// written. For text the action also names the text state that the latches
// led to before the character or the byte shift.
enum ActionKind : std::uint8_t {
    kKeepState,                // a control unit that leaves the state as it is
    kWriteCharacter,           // the character in the sub-mode reached
    kWriteShiftedPunctuation,  // 29 and the character
    kWriteShiftedAlpha,        // 27 and the character
    kWriteByteShift,           // padding if the values are odd, 913 and the byte
    kStartBytes,               // a new byte segment
    kContinueBytes,
    kStartDigits,  // a new numeric segment
    kContinueDigits,
    kWriteDesignator,  // the open segment ends; the designator and its values
};
constexpr std::uint8_t kKindMask = 0x0F;
constexpr std::uint8_t kVia900 = 0x10;  // a 900 latch first, to Alpha
constexpr int kLatchedStateShift = 5;

constexpr std::uint8_t textAction(ActionKind kind, bool via900, int latchedState) {
    return static_cast<std::uint8_t>(kind | (via900 ? kVia900 : 0) |
                                     latchedState << kLatchedStateShift);
}

struct Choice {
    std::uint8_t from = 0;
    std::uint8_t action = kKeepState;
};

struct Step {
    std::size_t unit = 0;  // index of the unit the step consumed
    std::array<Choice, kStateCount> choices{};
};

using Costs = std::array<Cost, kStateCount>;

bool isDigit(std::uint8_t byte) { return byte >= '0' && byte <= '9'; }

class Search {
public:
    explicit Search(const UnitSequence& units) : units_(units) {
        costs_.fill(kUnreachable);
        costs_[kUntouchedState] = 0;
    }

    // Fills steps_ and finalState_; false on a control unit it cannot place.
    bool run() {
        steps_.reserve(units_.size());
        for (std::size_t i = 0; i < units_.size(); ++i) {
            const CompactionUnit& unit = units_[i];
            if (!unit.isControl) {
                dataStep(i, dataByte(unit));
                continue;
            }
            const auto codeword = static_cast<Codeword>(unit.value);
            if (isEciDesignator(codeword)) {
                std::size_t valueUnits = 0;
                while (valueUnits < static_cast<std::size_t>(eciValueCount(codeword)) &&
                       i + 1 + valueUnits < units_.size() && units_[i + 1 + valueUnits].isControl) {
                    ++valueUnits;
                }
                eciStep(i, kCodewordCost * static_cast<Cost>(1 + valueUnits));
                i += valueUnits;
            } else if (codeword == kReaderInit && i == 0) {
                keepStep(i, kCodewordCost);
            } else {
                return false;
            }
        }
        finalState_ = cheapestExit(finalCost_);
        return true;
    }

    const std::vector<Step>& steps() const { return steps_; }
    int finalState() const { return finalState_; }
    Cost finalCost() const { return finalCost_; }

private:
    void relax(Costs& next, Step& step, int state, Cost cost, int from, std::uint8_t action) {
        if (cost < next[static_cast<std::size_t>(state)]) {
            next[static_cast<std::size_t>(state)] = cost;
            step.choices[static_cast<std::size_t>(state)] =
                Choice{static_cast<std::uint8_t>(from), action};
        }
    }

    // The cheapest way to end whatever is open at a codeword boundary: a text
    // state with an odd value count pays for its padding value.
    int cheapestExit(Cost& cost) const {
        int best = kUntouchedState;
        cost = kUnreachable;
        auto consider = [&](int state, Cost aligned) {
            if (aligned < cost) {
                cost = aligned;
                best = state;
            }
        };
        for (int state = 0; state < kTextStateCount; ++state) {
            consider(state,
                     costs_[static_cast<std::size_t>(state)] + static_cast<Cost>(parityOf(state)));
        }
        // The numeric states are all unreachable away from digits, which is
        // most of the time; skipping them is most of this loop's cost.
        const int last = numericOpen_ ? kStateCount : kFirstNumericState;
        for (int state = kTextStateCount; state < last; ++state) {
            consider(state, costs_[static_cast<std::size_t>(state)]);
        }
        consider(kFreshState, costs_[kFreshState]);
        consider(kUntouchedState, costs_[kUntouchedState]);
        return best;
    }

    void keepStep(std::size_t unit, Cost cost) {
        Step& step = newStep(unit);
        for (int state = 0; state < kStateCount; ++state) {
            Cost& c = costs_[static_cast<std::size_t>(state)];
            if (c == kUnreachable) continue;
            c += cost;
            step.choices[static_cast<std::size_t>(state)] =
                Choice{static_cast<std::uint8_t>(state), kKeepState};
        }
    }

    void eciStep(std::size_t unit, Cost cost) {
        Cost exitCost = 0;
        const int exitFrom = cheapestExit(exitCost);
        const Cost untouched = costs_[kUntouchedState];
        Step& step = newStep(unit);
        costs_.fill(kUnreachable);
        numericOpen_ = false;
        costs_[kFreshState] = exitCost + cost;
        step.choices[kFreshState] = Choice{static_cast<std::uint8_t>(exitFrom), kWriteDesignator};
        // With no text, numeric or byte segment written the reader is still
        // where the symbol started, in text, Alpha.
        if (untouched != kUnreachable) {
            costs_[kUntouchedState] = untouched + cost;
            step.choices[kUntouchedState] = Choice{kUntouchedState, kKeepState};
        }
    }

    void dataStep(std::size_t unit, std::uint8_t byte) {
        Step& step = newStep(unit);
        Costs next;
        next.fill(kUnreachable);
        Exit exit;
        exit.from = cheapestExit(exit.cost);
        relaxText(next, step, enterText(exit), TextCompaction::classify(byte));
        relaxBytes(next, step, exit);
        if (isDigit(byte)) {
            relaxDigits(next, step, exit);
        }
        numericOpen_ = isDigit(byte);
        costs_ = next;
    }

    // The cheapest way to end what is open before a new segment, and the
    // state it ends from.
    struct Exit {
        Cost cost = 0;
        int from = 0;
    };

    // For each text state, the cheapest way into it before the next byte:
    // from the current text state by latches, or after a 900 (from any
    // state) in Alpha and then latches.
    struct TextEntries {
        std::array<Cost, kTextStateCount> cost{};
        std::array<std::uint8_t, kTextStateCount> from{};
        std::array<bool, kTextStateCount> via900{};
    };

    TextEntries enterText(const Exit& exit) const {
        TextEntries entries;
        for (int target = 0; target < kTextStateCount; ++target) {
            const auto t = static_cast<std::size_t>(target);
            Cost best = kUnreachable;
            int from = 0;
            bool via900 = false;
            for (int source = 0; source <= kTextStateCount; ++source) {
                // The last round stands for the untouched start.
                const int state = source == kTextStateCount ? kUntouchedState : source;
                const Cost c = costs_[static_cast<std::size_t>(state)];
                if (c == kUnreachable) continue;
                const Cost total =
                    c + kLatchPaths[static_cast<std::size_t>(asTextState(state))][t].length;
                if (total < best) {
                    best = total;
                    from = state;
                }
            }
            const Cost latched = exit.cost + kCodewordCost + kLatchPaths[kAlphaEven][t].length;
            if (latched < best) {
                best = latched;
                from = exit.from;
                via900 = true;
            }
            entries.cost[t] = best;
            entries.from[t] = static_cast<std::uint8_t>(from);
            entries.via900[t] = via900;
        }
        return entries;
    }

    void relaxText(Costs& next, Step& step, const TextEntries& entries, TextCharClass ch) {
        for (int state = 0; state < kTextStateCount; ++state) {
            const Cost c = entries.cost[static_cast<std::size_t>(state)];
            if (c >= kUnreachable) continue;
            const int from = entries.from[static_cast<std::size_t>(state)];
            const bool via900 = entries.via900[static_cast<std::size_t>(state)];
            const int subMode = subModeOf(state);
            const int parity = parityOf(state);
            if (ch.members & memberBit(subMode)) {
                relax(next, step, textState(subMode, 1 - parity), c + 1, from,
                      textAction(kWriteCharacter, via900, state));
            }
            if ((ch.members & memberBit(kPunctuation)) && subMode != kPunctuation) {
                relax(next, step, state, c + 2, from,
                      textAction(kWriteShiftedPunctuation, via900, state));
            }
            if ((ch.members & memberBit(kAlpha)) && subMode == kLower) {
                relax(next, step, state, c + 2, from,
                      textAction(kWriteShiftedAlpha, via900, state));
            }
            // Any byte may be shifted. Padding 29 closes a Punctuation latch,
            // so the reader resumes in Alpha then.
            const int resumed = subMode == kPunctuation && parity == 1 ? kAlpha : subMode;
            relax(next, step, textState(resumed, 0),
                  c + static_cast<Cost>(parity) + 2 * kCodewordCost, from,
                  textAction(kWriteByteShift, via900, state));
        }
        // A byte shift right at the start leaves it untouched.
        const Cost untouched = costs_[kUntouchedState];
        if (untouched != kUnreachable) {
            relax(next, step, kUntouchedState, untouched + 2 * kCodewordCost, kUntouchedState,
                  textAction(kWriteByteShift, false, kAlphaEven));
        }
    }

    // Bytes: a group of six costs five codewords, the bytes of an unfinished
    // group one each, and the latch one.
    void relaxBytes(Costs& next, Step& step, const Exit& exit) {
        relax(next, step, byteState(1), exit.cost + 2 * kCodewordCost, exit.from, kStartBytes);
        for (int filled = 0; filled < kByteGroupBytes; ++filled) {
            const Cost c = costs_[static_cast<std::size_t>(byteState(filled))];
            if (c == kUnreachable) continue;
            const int now = (filled + 1) % kByteGroupBytes;
            relax(next, step, byteState(now), c + (now == 0 ? 0 : kCodewordCost), byteState(filled),
                  kContinueBytes);
        }
    }

    void relaxDigits(Costs& next, Step& step, const Exit& exit) {
        relax(next, step, numericState(1), exit.cost + kCodewordCost * (1 + kGroupCodewords[1]),
              exit.from, kStartDigits);
        if (!numericOpen_) {
            return;
        }
        for (int digits = 1; digits <= kGroupDigits; ++digits) {
            const Cost c = costs_[static_cast<std::size_t>(numericState(digits))];
            if (c == kUnreachable) continue;
            if (digits == kGroupDigits) {
                relax(next, step, numericState(1), c + kCodewordCost * kGroupCodewords[1],
                      numericState(digits), kContinueDigits);
            } else {
                const Cost added =
                    kCodewordCost * (kGroupCodewords[digits + 1] - kGroupCodewords[digits]);
                relax(next, step, numericState(digits + 1), c + added, numericState(digits),
                      kContinueDigits);
            }
        }
    }

    Step& newStep(std::size_t unit) {
        steps_.emplace_back();
        steps_.back().unit = unit;
        return steps_.back();
    }

    const UnitSequence& units_;
    Costs costs_{};
    bool numericOpen_ = false;  // some numeric state may be reachable
    std::vector<Step> steps_;
    int finalState_ = kUntouchedState;
    Cost finalCost_ = 0;
};

// Writes the codewords of the chosen path, segment by segment, through the
// same primitives as the other compaction modes.
class Writer {
public:
    Writer(const UnitSequence& units, CodewordStream& out) : units_(units), out_(out) {}

    void write(const Step& step, const Choice& choice) {
        const CompactionUnit& unit = units_[step.unit];
        const auto kind = static_cast<ActionKind>(choice.action & kKindMask);
        switch (kind) {
            case kKeepState:
                writeControl(step.unit);
                break;
            case kWriteDesignator:
                closeSegment();
                writeControl(step.unit);
                segment_ = Segment::kNone;
                break;
            case kStartBytes:
                closeSegment();
                segment_ = Segment::kByte;
                byteFirst_ = step.unit;
                byteLast_ = step.unit + 1;
                break;
            case kContinueBytes:
                assert(segment_ == Segment::kByte && byteLast_ == step.unit);
                byteLast_ = step.unit + 1;
                break;
            case kStartDigits:
                closeSegment();
                segment_ = Segment::kNumeric;
                digits_.assign(1, static_cast<char>(dataByte(unit)));
                break;
            case kContinueDigits:
                assert(segment_ == Segment::kNumeric);
                digits_.push_back(static_cast<char>(dataByte(unit)));
                break;
            default:
                writeText(kind, choice, dataByte(unit));
                break;
        }
    }

    void finish() { closeSegment(); }

private:
    enum class Segment { kNone, kText, kNumeric, kByte };

    void writeText(ActionKind kind, const Choice& choice, std::uint8_t byte) {
        int from = choice.from;
        if (choice.action & kVia900) {
            closeSegment();
            out_.push_back(kTextLatch);
            segment_ = Segment::kText;
            from = kAlphaEven;
        }
        assert(segment_ == Segment::kText);
        const int latched = choice.action >> kLatchedStateShift;
        const LatchPath& path = kLatchPaths[static_cast<std::size_t>(asTextState(from))]
                                           [static_cast<std::size_t>(latched)];
        values_.insert(values_.end(), path.values.begin(), path.values.begin() + path.length);
        const std::uint8_t value = TextCompaction::classify(byte).value;
        switch (kind) {
            case kWriteCharacter:
                values_.push_back(value);
                break;
            case kWriteShiftedPunctuation:
                values_.insert(values_.end(), {kShiftPunctuationValue, value});
                break;
            case kWriteShiftedAlpha:
                values_.insert(values_.end(), {kShiftAlphaValue, value});
                break;
            default:  // kWriteByteShift
                packValues();
                out_.push_back(kByteShift);
                out_.push_back(byte);
                break;
        }
    }

    void writeControl(std::size_t first) {
        const auto codeword = static_cast<Codeword>(units_[first].value);
        out_.push_back(codeword);
        if (!isEciDesignator(codeword)) return;
        for (int i = 0; i < eciValueCount(codeword) && first + 1 < units_.size() &&
                        units_[first + 1].isControl;
             ++i) {
            out_.push_back(static_cast<Codeword>(units_[++first].value));
        }
    }

    void packValues() {
        if (values_.size() % 2 != 0) values_.push_back(kPaddingValue);
        TextCompaction::packTextValues(values_, out_);
        values_.clear();
    }

    void closeSegment() {
        switch (segment_) {
            case Segment::kText:
                packValues();
                break;
            case Segment::kNumeric:
                out_.push_back(kNumericLatch);
                NumericCompaction::appendDigitGroups(digits_, out_);
                break;
            case Segment::kByte:
                ByteCompaction::compactBytes(units_.data() + byteFirst_, units_.data() + byteLast_,
                                             out_);
                break;
            case Segment::kNone:
                break;
        }
    }

    const UnitSequence& units_;
    CodewordStream& out_;
    // The symbol starts in text compaction, so text at its start needs no
    // latch.
    Segment segment_ = Segment::kText;
    std::vector<std::uint8_t> values_;
    std::string digits_;
    std::size_t byteFirst_ = 0;
    std::size_t byteLast_ = 0;
};

}  // namespace

Status ShortestCompaction::compact(const UnitSequence& units, CodewordStream& out) {
    try {
        Search search(units);
        if (!search.run()) return status::kInvalidArgument;
        const std::vector<Step>& steps = search.steps();

        // Back from the cheapest final state to the state after each step.
        std::vector<std::uint8_t> states(steps.size());
        int state = search.finalState();
        for (std::size_t k = steps.size(); k-- > 0;) {
            states[k] = static_cast<std::uint8_t>(state);
            state = steps[k].choices[static_cast<std::size_t>(state)].from;
        }

        const std::size_t sizeBefore = out.size();
        Writer writer(units, out);
        for (std::size_t k = 0; k < steps.size(); ++k) {
            writer.write(steps[k], steps[k].choices[states[k]]);
        }
        writer.finish();
        assert((out.size() - sizeBefore) * kCodewordCost == search.finalCost());
        (void)sizeBefore;
        return status::kOk;
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

}  // namespace barwright
