#include "compaction/Compactor.h"

#include <new>
#include <string>

#include "compaction/ByteCompaction.h"
#include "compaction/ControlCodewords.h"
#include "compaction/EscapeSequence.h"
#include "compaction/ModeSelector.h"
#include "compaction/ShortestCompaction.h"

namespace barwright {

namespace {

// ECI numbers above this have no designator; their escape is dropped.
constexpr std::uint32_t kEciMiddleFirst = 900;
constexpr std::uint32_t kEciHighFirst = 810900;
constexpr std::uint32_t kEciLast = 811799;
// Room for the control units that escapes and the mode add.
constexpr std::size_t kReserveExtraUnits = 100;

CompactionUnit controlUnit(std::uint32_t codeword) {
    return CompactionUnit{static_cast<std::int16_t>(codeword), 1};
}

// Bytes of the data string keep their sign (0x80..0xFF become negative), as
// the unit layout records; only the low 8 bits are ever read back.
CompactionUnit stringDataUnit(char ch) {
    int value = static_cast<unsigned char>(ch);
    if (value >= 0x80) value -= 0x100;
    return CompactionUnit{static_cast<std::int16_t>(value), 0};
}

CompactionUnit escapeDataUnit(std::uint8_t byte) {
    return CompactionUnit{static_cast<std::int16_t>(byte), 0};
}

bool isDecimal(char ch) { return ch >= '0' && ch <= '9'; }

void appendEciCodewords(std::uint32_t eci, UnitSequence& units) {
    if (eci < kEciMiddleFirst) {
        units.push_back(controlUnit(kEciLow));
        units.push_back(controlUnit(eci));
    } else if (eci < kEciHighFirst) {
        units.push_back(controlUnit(kEciMiddle));
        units.push_back(controlUnit(eci / kCodewordBase - 1));
        units.push_back(controlUnit(eci % kCodewordBase));
    } else if (eci <= kEciLast) {
        units.push_back(controlUnit(kEciHigh));
        units.push_back(controlUnit(eci - kEciHighFirst));
    }
}

// Length of the escape at data[k] ('~'), appending its units; 0 when it is
// not a well-formed escape, so the tilde is plain data.
std::size_t resolveEscape(std::string_view data, std::size_t k, UnitSequence& units) {
    const EscapeSequence escape = readEscapeSequence(data, k);
    switch (escape.kind) {
        case EscapeSequence::Kind::kByte:
            units.push_back(escapeDataUnit(escape.byte));
            break;
        case EscapeSequence::Kind::kEci:
            appendEciCodewords(escape.eci, units);
            break;
        case EscapeSequence::Kind::kNone:
            break;
    }
    return escape.length;
}

}  // namespace

void Compactor::startSymbol() {
    inInitialTextMode_ = true;
    textWritten_ = false;
    textNeedsLatch_ = false;
    resumeSubMode_ = TextSubMode::kAlpha;
}

UnitSequence Compactor::preprocessData(std::string_view data, std::int32_t mode, bool escapes,
                                       std::int32_t eci) {
    UnitSequence units;
    if (data.empty()) return units;
    units.reserve(data.size() + kReserveExtraUnits);

    std::size_t k = 0;
    // Readers accept reader initialisation only as the very first codeword,
    // so it goes ahead of the forced mode's latch.
    if (escapes && startsWithReaderInit(data)) {
        units.push_back(controlUnit(kReaderInit));
        k = 2;
    }
    // An ECI for the whole data goes before the latch too: after it, the
    // data's own segment would need a second latch.
    if (eci >= 0 && eci <= kMaxEci) {
        appendEciCodewords(static_cast<std::uint32_t>(eci), units);
    }
    if (mode == kModeNumeric) units.push_back(controlUnit(kNumericLatch));
    if (mode == kModeByte) units.push_back(controlUnit(kByteLatchSixes));

    while (k < data.size()) {
        if (escapes && data[k] == '~') {
            const std::size_t length = resolveEscape(data, k, units);
            if (length > 0) {
                k += length;
                continue;
            }
        }
        units.push_back(stringDataUnit(data[k]));
        ++k;
    }
    return units;
}

Status Compactor::compactAutomatic(const UnitSequence& units, CodewordStream& out) {
    try {
        return runExecutor(ModeSelector::selectModes(units), out);
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

Status Compactor::compactShortest(const UnitSequence& units, CodewordStream& out) {
    // The search keeps a record of its choices for every unit, so data far
    // beyond what a symbol holds would cost memory for nothing. No unit
    // costs less than numeric compaction's 15 codewords per 44 digits, so
    // beyond this many units no encodation fits in a symbol; the greedy
    // choice, which needs no record, gives codewords just as sure to be
    // refused.
    constexpr std::size_t kCodewordsPerFullGroup = 15;
    constexpr std::size_t kUnitsBeyondAnySymbol =
        kMaxSymbolCodewords * NumericCompaction::kGroupDigits / kCodewordsPerFullGroup + 1;
    if (units.size() > kUnitsBeyondAnySymbol) {
        return compactAutomatic(units, out);
    }
    // Its segments are its own: nothing after it in this symbol asks
    // Compactor where text stands.
    return ShortestCompaction::compact(units, out);
}

Status Compactor::compactFixed(const UnitSequence& units, CodewordStream& out) {
    try {
        return runExecutor(units, out);
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

Status Compactor::runExecutor(const UnitSequence& units, CodewordStream& out) {
    std::int32_t mode = kModeText;
    const CompactionUnit* const begin = units.data();
    const std::size_t count = units.size();
    std::size_t runStart = 0;

    for (std::size_t p = 0; p < count; ++p) {
        if (!units[p].isControl) continue;
        // Every control unit ends the pending run of data units.
        const Status runStatus = compactSegment(mode, begin + runStart, begin + p, out);
        if (runStatus != status::kOk) return runStatus;
        const Codeword codeword = static_cast<Codeword>(units[p].value);

        if (mode == kModeText && codeword == kByteShift) {
            // A shift without its byte would swallow the next codeword, so
            // it is written only together with the byte.
            if (p + 1 < count && !units[p + 1].isControl) {
                out.push_back(kByteShift);
                out.push_back(dataByte(units[p + 1]));
                ++p;
            }
        } else if (codeword == kTextLatch || codeword == kNumericLatch ||
                   codeword == kByteLatchSixes) {
            mode = codeword == kTextLatch      ? kModeText
                   : codeword == kNumericLatch ? kModeNumeric
                                               : kModeByte;
            out.push_back(codeword);
            if (codeword == kTextLatch) {
                textNeedsLatch_ = false;
                resumeSubMode_ = TextSubMode::kAlpha;
            }
        } else if (isEciDesignator(codeword)) {
            out.push_back(codeword);
            for (int i = 0; i < eciValueCount(codeword) && p + 1 < count && units[p + 1].isControl;
                 ++i) {
                out.push_back(static_cast<Codeword>(units[++p].value));
            }
            // Readers keep the text sub-mode, and a pending shift, across a
            // designator; rather than track that, text after it restarts
            // with a latch once text has been written.
            if (textWritten_) textNeedsLatch_ = true;
        } else {
            out.push_back(codeword);
        }
        runStart = p + 1;
    }
    return compactSegment(mode, begin + runStart, begin + count, out);
}

Status Compactor::compactSegment(std::int32_t mode, const CompactionUnit* first,
                                 const CompactionUnit* last, CodewordStream& out) {
    if (first == last) return status::kOk;
    switch (mode) {
        case kModeText:
            return compactTextSegment(first, last, out);
        case kModeNumeric:
            return compactNumericSegment(first, last, out);
        case kModeByte:
            compactByteSegment(first, last, out);
            return status::kOk;
        default:
            return status::kInvalidArgument;
    }
}

Status Compactor::compactTextSegment(const CompactionUnit* first, const CompactionUnit* last,
                                     CodewordStream& out) {
    for (const CompactionUnit* unit = first; unit != last; ++unit) {
        if (!unit->isControl && !TextCompaction::isTextChar(dataByte(*unit))) {
            return status::kTextModeCharacters;
        }
    }
    if (first == last) return status::kOk;

    // Text right after a byte shift continues without a latch in the
    // sub-mode the reader is in: a padding 29 just before the 913 is
    // padding to readers, not a pending shift. After an ECI designator the
    // reader's state is uncertain, so a latch restarts in Alpha.
    const bool latch = !inInitialTextMode_ || textNeedsLatch_;
    const TextSubMode startSubMode = latch ? TextSubMode::kAlpha : resumeSubMode_;
    const std::size_t sizeBefore = out.size();
    if (latch) out.push_back(kTextLatch);
    if (!TextCompaction::compactText(first, last, startSubMode, out, resumeSubMode_)) {
        out.resize(sizeBefore);
        return status::kFail;
    }
    textWritten_ = true;
    textNeedsLatch_ = false;
    return status::kOk;
}

Status Compactor::compactNumericSegment(const CompactionUnit* first, const CompactionUnit* last,
                                        CodewordStream& out) {
    std::string digits;
    digits.reserve(static_cast<std::size_t>(last - first));
    for (const CompactionUnit* unit = first; unit != last; ++unit) {
        if (unit->isControl) continue;
        const char ch = static_cast<char>(dataByte(*unit));
        if (!isDecimal(ch)) return status::kNumericModeCharacters;
        digits.push_back(ch);
    }
    if (digits.empty()) return status::kOk;
    inInitialTextMode_ = false;
    out.push_back(kNumericLatch);
    NumericCompaction::appendDigitGroups(digits, out);
    return status::kOk;
}

void Compactor::compactByteSegment(const CompactionUnit* first, const CompactionUnit* last,
                                   CodewordStream& out) {
    if (first == last) return;
    inInitialTextMode_ = false;
    ByteCompaction::compactBytes(first, last, out);
}

Status Compactor::compactTextString(std::string_view text, CodewordStream& out) {
    try {
        const UnitSequence units = preprocessData(text, kModeAutomatic);
        bool anyCharacter = false;
        for (const CompactionUnit& unit : units) {
            if (unit.isControl) continue;
            if (!TextCompaction::isTextChar(dataByte(unit))) return status::kFail;
            anyCharacter = true;
        }
        if (!anyCharacter) return status::kFail;
        TextSubMode endSubMode = TextSubMode::kAlpha;
        if (!TextCompaction::compactText(units.data(), units.data() + units.size(),
                                         TextSubMode::kAlpha, out, endSubMode)) {
            return status::kFail;
        }
        return status::kOk;
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

Status Compactor::compactNumericDigits(std::string_view digits, CodewordStream& out) {
    for (char ch : digits) {
        if (!isDecimal(ch)) return status::kFail;
    }
    try {
        NumericCompaction::appendDigitGroups(digits.empty() ? std::string_view("0") : digits, out);
        return status::kOk;
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
}

}  // namespace barwright
