#include "render/PdfText.h"

#include <cstddef>

namespace barwright {
namespace {

constexpr char kReplacement = '?';
constexpr std::uint8_t kFirstPrintable = 0x20;
constexpr std::uint8_t kDelete = 0x7F;

// Helvetica's advance widths for WinAnsiEncoding 0x20..0xFF, in thousandths
// of the font size: the metrics of the standard font, as URW's
// metric-compatible Nimbus Sans (fonts-urw-base35, NimbusSans-Regular.afm)
// gives them, looked up by the encoding's glyph names (Ghostscript's
// WinAnsiEncoding). Check values: 'A' 667, 'a' 556, '@' 1015, 'i' 222.
constexpr std::int16_t kHelveticaWidths[224] = {
    278,  278, 355, 556, 556, 889,  667,  191,  333, 333,  389, 584, 278,  333, 278, 278,  // 0x20
    556,  556, 556, 556, 556, 556,  556,  556,  556, 556,  278, 278, 584,  584, 584, 556,  // 0x30
    1015, 667, 667, 722, 722, 667,  611,  778,  722, 278,  500, 667, 556,  833, 722, 778,  // 0x40
    667,  778, 722, 667, 611, 722,  667,  944,  667, 667,  611, 278, 278,  278, 469, 556,  // 0x50
    333,  556, 556, 500, 556, 556,  278,  556,  556, 222,  222, 500, 222,  833, 556, 556,  // 0x60
    556,  556, 333, 500, 278, 556,  500,  722,  500, 500,  500, 334, 260,  334, 584, 350,  // 0x70
    556,  350, 222, 556, 333, 1000, 556,  556,  333, 1000, 667, 333, 1000, 350, 611, 350,  // 0x80
    350,  222, 222, 333, 333, 350,  556,  1000, 333, 1000, 500, 333, 944,  350, 500, 667,  // 0x90
    278,  333, 556, 556, 556, 556,  260,  556,  333, 737,  370, 556, 584,  333, 737, 333,  // 0xa0
    400,  584, 333, 333, 333, 556,  537,  278,  333, 333,  365, 556, 834,  834, 834, 611,  // 0xb0
    667,  667, 667, 667, 667, 667,  1000, 722,  667, 667,  667, 667, 278,  278, 278, 278,  // 0xc0
    722,  722, 778, 778, 778, 778,  778,  584,  778, 722,  722, 722, 722,  667, 667, 611,  // 0xd0
    556,  556, 556, 556, 556, 556,  889,  500,  556, 556,  556, 556, 278,  278, 278, 278,  // 0xe0
    556,  556, 556, 556, 556, 556,  556,  584,  611, 556,  556, 556, 556,  500, 556, 500,  // 0xf0
};

// The characters of code page 1252's 0x80..0x9F, 0 where it has none.
constexpr char32_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The WinAnsiEncoding byte of a character, or '?'.
char winAnsiByte(char32_t c) {
    if (c == '\t' || c == '\n' || c == '\r') {
        return ' ';
    }
    if ((c >= kFirstPrintable && c < kDelete) || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < sizeof kWindows1252High / sizeof kWindows1252High[0]; ++i) {
        if (kWindows1252High[i] == c && c != 0) {
            return static_cast<char>(0x80 + i);
        }
    }
    return kReplacement;
}

// The UTF-8 sequence at text[i]: its character and length, or length 0
// when the bytes there are not valid UTF-8 (overlong forms, surrogates and
// characters past U+10FFFF included).
std::size_t decodeUtf8(std::string_view text, std::size_t i, char32_t& c) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, least = 0x80, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, least = 0x800, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, least = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i < length) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<std::uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string winAnsiText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, i, c);
        if (length > 0) {
            out += winAnsiByte(c);
            i += length;
            continue;
        }
        // Not UTF-8: a code page 1252 byte.
        const auto byte = static_cast<std::uint8_t>(text[i]);
        const bool defined = byte >= 0xA0 || kWindows1252High[byte - 0x80] != 0;
        out += defined ? static_cast<char>(byte) : kReplacement;
        ++i;
    }
    return out;
}

std::int64_t helveticaWidth(std::string_view winAnsi) {
    std::int64_t width = 0;
    for (const char c : winAnsi) {
        const auto byte = static_cast<std::uint8_t>(c);
        width += byte >= kFirstPrintable ? kHelveticaWidths[byte - kFirstPrintable]
                                         : kHelveticaWidths[kReplacement - kFirstPrintable];
    }
    return width;
}

void appendPdfString(std::string& out, std::string_view bytes) {
    static const char kOctal[] = "01234567";
    out += '(';
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= kFirstPrintable && byte < kDelete) {
            out += c;
        } else {
            out += '\\';
            out += kOctal[byte >> 6];
            out += kOctal[(byte >> 3) & 7];
            out += kOctal[byte & 7];
        }
    }
    out += ')';
}

}  // namespace barwright
