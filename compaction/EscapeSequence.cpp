#include "compaction/EscapeSequence.h"

namespace barwright {
namespace {

constexpr std::size_t kShortEscapeLength = 2;  // ~N, ~R, ~T, ~~
constexpr std::size_t kHexEscapeLength = 4;    // ~Xhh

bool isDecimal(char ch) { return ch >= '0' && ch <= '9'; }

int hexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

EscapeSequence byteEscape(std::uint8_t byte, std::size_t length) {
    EscapeSequence escape;
    escape.kind = EscapeSequence::Kind::kByte;
    escape.length = length;
    escape.byte = byte;
    return escape;
}

EscapeSequence hexEscape(std::string_view data, std::size_t k) {
    if (k + 3 >= data.size()) return EscapeSequence{};
    const int high = hexValue(data[k + 2]);
    const int low = hexValue(data[k + 3]);
    if (high < 0 || low < 0) return EscapeSequence{};
    return byteEscape(static_cast<std::uint8_t>(high * 16 + low), kHexEscapeLength);
}

EscapeSequence eciEscape(std::string_view data, std::size_t k) {
    if (k + 1 + kEciEscapeDigits >= data.size()) return EscapeSequence{};
    EscapeSequence escape;
    for (std::size_t i = 0; i < kEciEscapeDigits; ++i) {
        const char ch = data[k + 2 + i];
        if (!isDecimal(ch)) return EscapeSequence{};
        escape.eci = escape.eci * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    escape.kind = EscapeSequence::Kind::kEci;
    escape.length = 2 + kEciEscapeDigits;
    return escape;
}

}  // namespace

EscapeSequence readEscapeSequence(std::string_view data, std::size_t position) {
    const std::size_t k = position;
    if (k + 1 >= data.size()) return EscapeSequence{};
    switch (data[k + 1]) {
        case 'N':
            return byteEscape('\n', kShortEscapeLength);
        case 'R':
            return byteEscape('\r', kShortEscapeLength);
        case 'T':
            return byteEscape('\t', kShortEscapeLength);
        case '~':
            return byteEscape('~', kShortEscapeLength);
        case 'X':
        case 'x':
            return hexEscape(data, k);
        case '7':
            return eciEscape(data, k);
        default:
            return EscapeSequence{};
    }
}

bool startsWithReaderInit(std::string_view data) {
    return data.size() >= 2 && data[0] == '~' && data[1] == '3';
}

}  // namespace barwright
