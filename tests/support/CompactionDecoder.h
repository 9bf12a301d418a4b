#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "compaction/Codeword.h"

namespace barwright::test {

// One item of decoded content: a byte, or an ECI designator's number.
struct DecodedItem {
    bool isEci = false;
    std::uint32_t value = 0;
    bool operator==(const DecodedItem& other) const {
        return isEci == other.isEci && value == other.value;
    }
    bool operator!=(const DecodedItem& other) const { return !(*this == other); }
};

struct DecodeResult {
    bool ok = true;
    std::string error;
    bool readerInit = false;
    std::vector<DecodedItem> items;
};

inline std::string describeItems(const std::vector<DecodedItem>& items) {
    std::string text;
    for (const DecodedItem& item : items) {
        if (item.isEci) {
            text += "<ECI " + std::to_string(item.value) + ">";
        } else if (item.value >= 32 && item.value < 127 && item.value != '\\') {
            text += static_cast<char>(item.value);
        } else {
            text += "\\" + std::to_string(item.value) + ";";
        }
    }
    return text;
}

// Reads data codewords back the way readers do: the symbol starts in text,
// Alpha; 900 returns to text in Alpha; 901, 924 and 902 end text; within
// text the sub-mode survives a 913 byte shift and an ECI designator; a shift
// to Punctuation (29) just before a 913 is padding, so it is dropped and the
// sub-mode before it goes on after the byte; after a designator in numeric
// or byte compaction, data without a latch is text from Alpha. A text value
// that would depend on any other shift pending across a 913, or on one
// pending across a designator, is an error here rather than a guess: the
// compaction never relies on either.
class CompactionDecoder {
public:
    static DecodeResult decode(const CodewordStream& codewords) {
        CompactionDecoder decoder(codewords);
        decoder.run();
        return decoder.result_;
    }

private:
    enum class Mode { kText, kNumeric, kByte, kByteSixes };
    enum SubMode { kAlpha, kLower, kMixed, kPunctuation, kNoShift };

    // Each sub-mode's 30 values; values below 7 switch: 1..4 latch to the
    // sub-mode of that number + 1 minus one (Alpha, Lower, Mixed,
    // Punctuation), 5 shifts to Punctuation, 6 shifts to Alpha.
    static const char* subModeValues(int subMode) {
        static const char* const kValues[] = {
            "ABCDEFGHIJKLMNOPQRSTUVWXYZ \2\3\5",
            "abcdefghijklmnopqrstuvwxyz \6\3\5",
            "0123456789&\r\t,:#-.$/+%*=^\4 \2\1\5",
            ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'\1",
        };
        return kValues[subMode];
    }

    explicit CompactionDecoder(const CodewordStream& codewords) : codewords_(codewords) {}

    void fail(const std::string& why) {
        if (!result_.ok) return;
        result_.ok = false;
        result_.error = why + " at codeword " + std::to_string(index_);
    }
    void emit(std::uint32_t byte) { result_.items.push_back({false, byte}); }
    void resetText() {
        mode_ = Mode::kText;
        subMode_ = kAlpha;
        shift_ = kNoShift;
    }

    void run() {
        if (!codewords_.empty() && codewords_[0] == 921) {
            result_.readerInit = true;
            index_ = 1;
        }
        for (; index_ < codewords_.size() && result_.ok; ++index_) {
            const Codeword cw = codewords_[index_];
            if (cw < 900 && mode_ == Mode::kText) {
                textValue(cw / 30);
                textValue(cw % 30);
                continue;
            }
            if (cw < 900) {
                pending_.push_back(cw);
                continue;
            }
            flushPending();
            if (cw == 900) {
                resetText();
            } else if (cw == 901 || cw == 902 || cw == 924) {
                mode_ = cw == 902 ? Mode::kNumeric : cw == 901 ? Mode::kByte : Mode::kByteSixes;
            } else if (cw == 913 && mode_ == Mode::kText && index_ + 1 < codewords_.size() &&
                       codewords_[index_ + 1] < 256) {
                // A shift to Punctuation just before it is padding: the
                // reader goes on in the sub-mode it was latched in. After
                // a shift to Alpha readers lose the byte.
                if (shift_ == kPunctuation && !shiftCrossed_) shift_ = kNoShift;
                if (shift_ == kAlpha && !shiftCrossed_) return fail("byte shift after a shift");
                emit(codewords_[++index_]);
                shiftCrossed_ = true;
            } else if (cw >= 925 && cw <= 927) {
                eci(cw);
            } else {
                fail("misplaced codeword " + std::to_string(cw));
            }
        }
        flushPending();
    }

    void eci(Codeword designator) {
        const std::size_t values = designator == 926 ? 2 : 1;
        if (index_ + values >= codewords_.size()) return fail("ECI designator cut short");
        const std::uint32_t first = codewords_[index_ + 1];
        const std::uint32_t second = values == 2 ? codewords_[index_ + 2] : 0;
        if (first >= 900 || second >= 900) return fail("ECI value out of range");
        result_.items.push_back({true, designator == 927   ? first
                                       : designator == 926 ? (first + 1) * 900 + second
                                                           : 810900 + first});
        index_ += values;
        if (mode_ != Mode::kText) resetText();
        shiftCrossed_ = true;
    }

    void textValue(std::uint32_t v) {
        if (!result_.ok) return;
        const int subMode = shift_ != kNoShift ? shift_ : subMode_;
        if (shift_ != kNoShift && shiftCrossed_) {
            return fail("text value depends on a shift across a 913 or ECI");
        }
        shift_ = kNoShift;
        const auto value = static_cast<unsigned char>(subModeValues(subMode)[v]);
        if (value >= 7) return emit(value);
        if (value == 5 || value == 6) {
            shift_ = value == 5 ? kPunctuation : kAlpha;
            shiftCrossed_ = false;
        } else if (subMode == subMode_) {
            subMode_ = static_cast<SubMode>(value - 1);
        }  // else a switch right after a shift: readers ignore it
    }

    void flushPending() {
        if (mode_ == Mode::kNumeric) {
            for (std::size_t start = 0; start < pending_.size(); start += 15) {
                numericGroup(start, std::min(pending_.size(), start + 15));
            }
        } else if (mode_ == Mode::kByteSixes) {
            if (pending_.size() % 5 != 0) fail("924 segment not in groups of five");
            for (std::size_t start = 0; start + 5 <= pending_.size(); start += 5) byteGroup(start);
        } else if (mode_ == Mode::kByte && !pending_.empty()) {
            // 901: groups of five for six bytes, then 1..5 single bytes.
            const std::size_t groups = (pending_.size() - 1) / 5;
            for (std::size_t g = 0; g < groups; ++g) byteGroup(g * 5);
            for (std::size_t i = groups * 5; i < pending_.size(); ++i) {
                if (pending_[i] > 255) return fail("single byte above 255");
                emit(pending_[i]);
            }
        }
        pending_.clear();
    }

    void byteGroup(std::size_t start) {
        std::uint64_t value = 0;
        for (std::size_t i = start; i < start + 5; ++i) value = value * 900 + pending_[i];
        if (value >> 48 != 0) return fail("byte group above 2^48");
        for (int shift = 40; shift >= 0; shift -= 8) emit((value >> shift) & 0xFF);
    }

    // A group is "1" followed by its digits, written in base 900.
    void numericGroup(std::size_t start, std::size_t end) {
        std::vector<int> decimal;  // least significant digit first
        for (std::size_t i = start; i < end; ++i) {
            int carry = static_cast<int>(pending_[i]);
            for (int& digit : decimal) {
                const int t = digit * 900 + carry;
                digit = t % 10;
                carry = t / 10;
            }
            for (; carry > 0; carry /= 10) decimal.push_back(carry % 10);
        }
        if (decimal.empty() || decimal.back() != 1) return fail("numeric group without leading 1");
        for (std::size_t i = decimal.size() - 1; i-- > 0;) emit('0' + decimal[i]);
    }

    const CodewordStream& codewords_;
    std::size_t index_ = 0;
    Mode mode_ = Mode::kText;
    SubMode subMode_ = kAlpha;
    SubMode shift_ = kNoShift;
    bool shiftCrossed_ = false;  // a 913 or designator came after the shift
    std::vector<Codeword> pending_;
    DecodeResult result_;
};

}  // namespace barwright::test
