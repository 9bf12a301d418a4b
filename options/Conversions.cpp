#include "options/Conversions.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace barwright {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// The white space of the "C" locale, independent of the current locale.
bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipWhiteSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    return i;
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    return i;
}

// The end of the decimal number at start: an optional sign, digits with an
// optional decimal point (at least one digit), and an exponent only when it
// has digits (otherwise the 'e' is the first character after the number).
// start itself when no number begins there.
std::size_t realNumberEnd(std::string_view text, std::size_t start) {
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t integerEnd = skipDigits(text, i);
    std::size_t digitCount = integerEnd - i;
    i = integerEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = skipDigits(text, i + 1);
        digitCount += fractionEnd - (i + 1);
        i = fractionEnd;
    }
    if (digitCount == 0) {
        return start;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        const std::size_t exponentEnd = skipDigits(text, j);
        if (exponentEnd > j) {
            i = exponentEnd;
        }
    }
    return i;
}

}  // namespace

std::int32_t readDecimalInteger(std::string_view text) {
    std::size_t i = skipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // The magnitude stops growing once past the int32 range, so it cannot
    // overflow however many digits follow.
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (magnitude <= kInt32Max + 1) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < kInt32Min) {
        return static_cast<std::int32_t>(kInt32Min);
    }
    if (value > kInt32Max) {
        return static_cast<std::int32_t>(kInt32Max);
    }
    return static_cast<std::int32_t>(value);
}

double readDecimalReal(std::string_view text) {
    const std::size_t start = skipWhiteSpace(text);
    const std::size_t end = realNumberEnd(text, start);
    if (end == start) {
        return 0.0;
    }
    // Only the prefix checked above reaches strtod, which would otherwise
    // also take "inf", "nan" and hexadecimal numbers. The program never
    // changes its locale, so the decimal point is '.'.
    const std::string number(text.substr(start, end - start));
    return std::strtod(number.c_str(), nullptr);
}

int hexDigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) noexcept {
    if (text.size() != lowerCase.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

std::uint32_t parseHex(std::string_view text) {
    std::uint32_t value = 0;
    for (const char c : text) {
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            break;
        }
        // Unsigned, so the digits above the eighth fall off the top.
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

Color readColor(std::string_view text) { return parseHex(text) & kColorBits; }

bool readStrictColor(std::string_view text, Color& colour) {
    constexpr std::size_t kColourDigits = 6;
    if (!text.empty() && text[0] == '#') {
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    if (text.size() != kColourDigits) {
        return false;
    }
    for (const char c : text) {
        if (hexDigitValue(c) < 0) {
            return false;
        }
    }
    colour = parseHex(text);
    return true;
}

bool isWholeInteger(std::string_view text) {
    const std::size_t start = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    return start < text.size() && skipDigits(text, start) == text.size();
}

bool isWholeReal(std::string_view text) {
    return !text.empty() && realNumberEnd(text, 0) == text.size();
}

bool readCount(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty() || skipDigits(text, 0) != text.size()) {
        return false;
    }
    // The number stops growing once past high, so no number of digits
    // overflows it.
    std::int64_t number = 0;
    for (const char c : text) {
        number = number * 10 + (c - '0');
        if (number > high) {
            return false;
        }
    }
    if (number < low) {
        return false;
    }
    value = number;
    return true;
}

bool readWholeNumber(std::string_view text, std::int64_t low, std::int64_t high,
                     std::int64_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    std::int64_t magnitude = 0;
    const std::int64_t largest = negative ? -low : high;
    if (largest < 0 || !readCount(text.substr(negative ? 1 : 0), 0, largest, magnitude)) {
        return false;
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    if (number < low || number > high) {
        return false;
    }
    value = number;
    return true;
}

}  // namespace barwright
