#include "compaction/ModeSelector.h"

#include <cstdint>
#include <vector>

#include "compaction/ControlCodewords.h"
#include "compaction/TextCompaction.h"

namespace barwright {

namespace {

// Extra units reserved for the inserted control units.
constexpr std::size_t kReserveExtraUnits = 20;

bool isDigit(std::uint8_t byte) { return byte >= '0' && byte <= '9'; }

// The counters look at data units only; control units neither count nor end
// a run. They work on the data bytes alone so that a long stretch of control
// units is never walked again by every counter that starts before it.

std::size_t countDigitRun(const std::vector<std::uint8_t>& data, std::size_t from) {
    std::size_t count = 0;
    while (from + count < data.size() && isDigit(data[from + count])) ++count;
    return count;
}

// Text characters from `from`, ending just before the first 13 digits in a
// row so that numeric compaction gets them.
std::size_t countTextRun(const std::vector<std::uint8_t>& data, std::size_t from) {
    std::size_t count = 0;
    std::size_t digitStreak = 0;
    for (std::size_t i = from; i < data.size() && TextCompaction::isTextChar(data[i]); ++i) {
        ++count;
        digitStreak = isDigit(data[i]) ? digitStreak + 1 : 0;
        if (digitStreak == ModeSelector::kNumericRunDigits) return count - digitStreak;
    }
    return count;
}

// Non-text bytes from `from` until the fifth text character (counted in
// total, not in a row) or the end: a few text characters amid bytes are
// cheaper to leave in the byte run than to latch for.
std::size_t countByteRun(const std::vector<std::uint8_t>& data, std::size_t from) {
    std::size_t bytes = 0;
    std::size_t textChars = 0;
    for (std::size_t i = from; i < data.size(); ++i) {
        if (!TextCompaction::isTextChar(data[i])) {
            ++bytes;
        } else if (++textChars == ModeSelector::kTextCharsEndingByteRun) {
            break;
        }
    }
    return bytes;
}

CompactionUnit controlUnit(Codeword codeword) {
    return CompactionUnit{static_cast<std::int16_t>(codeword), 1};
}

}  // namespace

UnitSequence ModeSelector::selectModes(const UnitSequence& units) {
    std::vector<std::uint8_t> data;
    data.reserve(units.size());
    for (const CompactionUnit& unit : units) {
        if (!unit.isControl) data.push_back(dataByte(unit));
    }

    UnitSequence out;
    out.reserve(units.size() + kReserveExtraUnits);
    enum class Mode { kText, kNumeric, kByte } mode = Mode::kText;
    std::size_t position = 0;   // into units
    std::size_t dataIndex = 0;  // data units before `position`

    auto switchTo = [&](Mode wanted, Codeword latch) {
        if (mode != wanted) {
            out.push_back(controlUnit(latch));
            mode = wanted;
        }
    };
    // A count is of data units, but the run taken is that many units,
    // whatever they are: control units inside it act at their place in the
    // executor, and what the count leaves beyond the run is decided again.
    auto take = [&](std::size_t count) {
        for (std::size_t i = 0; i < count; ++i, ++position) {
            out.push_back(units[position]);
            if (!units[position].isControl) ++dataIndex;
        }
    };

    while (position < units.size()) {
        if (units[position].isControl) {
            take(1);
            continue;
        }
        const std::size_t digits = countDigitRun(data, dataIndex);
        if (digits >= kNumericRunDigits) {
            switchTo(Mode::kNumeric, kNumericLatch);
            take(digits);
            continue;
        }
        const std::size_t textChars = countTextRun(data, dataIndex);
        if (textChars > 0) {
            switchTo(Mode::kText, kTextLatch);
            take(textChars);
            continue;
        }
        const std::size_t bytes = countByteRun(data, dataIndex);
        if (bytes == 1 && mode == Mode::kText) {
            out.push_back(controlUnit(kByteShift));
            out.push_back(CompactionUnit{static_cast<std::int16_t>(data[dataIndex]), 0});
            ++position;
            ++dataIndex;
            continue;
        }
        switchTo(Mode::kByte, kByteLatchSixes);
        take(bytes);
    }
    return out;
}

}  // namespace barwright
