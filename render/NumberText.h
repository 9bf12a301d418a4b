#pragma once

#include <charconv>
#include <cstdint>
#include <string>

#include "barwright/PictureSettings.h"

namespace barwright {

// Numbers written into the text of vector pictures. Integer arithmetic
// throughout: printf's %f would follow the locale's decimal separator, and
// the values here are exact fractions anyway.

// (append with a length, not a range: libstdc++ takes a range through the
// general replace, several times slower for a few characters.)
inline void appendInteger(std::string& out, std::int64_t value) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(end.ptr - digits));
}

// numerator / denominator (numerator >= 0, denominator 1 .. 2^31 - 1) with at most maxDecimals
// decimals, rounded half up, without trailing zeros: 486 / 300 is "1.62", 2 / 3 with 9 decimals
// "0.666666667".
inline void appendDecimal(std::string& out, std::int64_t numerator, std::int64_t denominator,
                          int maxDecimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < maxDecimals; ++i) {
        scale *= 10;
    }
    // Whole part and the fraction scaled to maxDecimals digits, kept apart
    // so that nothing overflows for any int32 numerator.
    std::int64_t whole = numerator / denominator;
    const std::int64_t remainder = numerator % denominator;
    std::int64_t fraction = (remainder * scale + denominator / 2) / denominator;
    if (fraction == scale) {
        ++whole;
        fraction = 0;
    }
    appendInteger(out, whole);
    if (fraction == 0) {
        return;
    }
    int decimals = maxDecimals;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    out += '.';
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, fraction);
    out.append(static_cast<std::size_t>(decimals - (end.ptr - digits)), '0');
    out.append(digits, static_cast<std::size_t>(end.ptr - digits));
}

// A count of half units (>= 0): 25 is "12.5", 24 is "12".
inline void appendHalves(std::string& out, std::int64_t halves) {
    appendInteger(out, halves / 2);
    if (halves % 2 != 0) {
        out += ".5";
    }
}

// "#rrggbb", lower case.
inline void appendHexColor(std::string& out, Color color) {
    static const char kHexDigits[] = "0123456789abcdef";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4) {
        out += kHexDigits[(color >> shift) & 0xF];
    }
}

}  // namespace barwright
