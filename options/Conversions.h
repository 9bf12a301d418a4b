#pragma once

#include <cstdint>
#include <string_view>

#include "barwright/PictureSettings.h"

namespace barwright {

// Readers of option values. The lenient ones, barwright's, never fail: they
// read as much of the text as forms a number and ignore the rest. The strict
// ones, for everyone else, take a text only when it is wholly a value.

// Optional leading white space, an optional sign, then decimal digits up to
// the first other character; no digits reads as 0. Values beyond the int32
// range saturate to INT32_MIN or INT32_MAX, so that a huge size still asks
// for something huge (and is refused later) instead of wrapping.
std::int32_t readDecimalInteger(std::string_view text);

// Optional leading white space, an optional sign, digits with an optional
// decimal point (at least one digit), and an optional exponent ('e' or 'E',
// an optional sign, at least one digit). Nothing else is a number: "inf",
// "nan" and hexadecimal forms read as 0.0. Overflow gives an infinity and
// "-0" gives -0.0, both left for the caller's range checks.
double readDecimalReal(std::string_view text);

// The hexadecimal digits at the start of the text, each shifted in from the
// right in 32 bits (only the last eight digits count). Stops at the first
// other character, so "0x..." reads as 0.
std::uint32_t parseHex(std::string_view text);

// 0..15 for a hexadecimal digit (either case), -1 for anything else.
int hexDigitValue(char c) noexcept;

// Whether text is lowerCase but for the case of its ASCII letters.
[[nodiscard]] bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) noexcept;

// A colour as the command line writes it: parseHex's value, of which the
// low 24 bits are 0xRRGGBB (a seventh digit and beyond are dropped).
Color readColor(std::string_view text);

// A colour written wholly and unmistakably, as data files and barwright-batch
// take it: rrggbb, #rrggbb or 0xrrggbb (0X too), exactly six hexadecimal
// digits in either case. False for anything else ("white", "fff", a seventh
// digit), and colour is then unchanged.
[[nodiscard]] bool readStrictColor(std::string_view text, Color& colour);

// An optional sign and at least one decimal digit, nothing else.
[[nodiscard]] bool isWholeInteger(std::string_view text);

// What readDecimalReal reads when it reads the whole text: an optional sign,
// digits with an optional point (at least one digit), an optional exponent.
[[nodiscard]] bool isWholeReal(std::string_view text);

// Decimal digits alone (no sign, no space) of a number within low..high
// (low >= 0); false, and value unchanged, for anything else.
[[nodiscard]] bool readCount(std::string_view text, std::int64_t low, std::int64_t high,
                             std::int64_t& value);
// The same into a narrower whole number, which low..high must fit.
template <typename Number>
[[nodiscard]] bool readCount(std::string_view text, std::int64_t low, std::int64_t high,
                             Number& value) {
    std::int64_t number = 0;
    if (!readCount(text, low, high, number)) {
        return false;
    }
    value = static_cast<Number>(number);
    return true;
}

// An optional minus and decimal digits of a number within low..high; false,
// and value unchanged, for anything else.
[[nodiscard]] bool readWholeNumber(std::string_view text, std::int64_t low, std::int64_t high,
                                   std::int64_t& value);

}  // namespace barwright
