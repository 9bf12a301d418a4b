#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace barwright {

// The escape sequences of a data string with escapes on (see
// SymbolSettings::data), read in this one place by compaction, which
// resolves them, and by the Macro splitter, which must not cut one.
struct EscapeSequence {
    enum class Kind : std::uint8_t {
        kNone,  // not a well-formed escape: the tilde is plain data
        kByte,  // ~N ~R ~T ~~ ~Xhh ~xhh: one data byte
        kEci,   // ~7nnnnnn: an ECI designator, no data byte
    };
    Kind kind = Kind::kNone;
    std::size_t length = 0;  // characters of the data string it spans; 0 for kNone
    std::uint8_t byte = 0;   // kByte: the byte it stands for
    std::uint32_t eci = 0;   // kEci: the number, 0..999999 (only 0..811799 have a designator)
};

// "~7" is followed by exactly this many decimal digits.
constexpr std::size_t kEciEscapeDigits = 6;

// The escape sequence that the tilde at data[position] starts.
EscapeSequence readEscapeSequence(std::string_view data, std::size_t position);

// Whether data starts with "~3", reader initialisation, which counts only
// there: elsewhere "~3" is two characters of data.
bool startsWithReaderInit(std::string_view data);

}  // namespace barwright
