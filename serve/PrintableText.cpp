#include "serve/PrintableText.h"

namespace barwright::serve {

std::string printableText(std::string_view text, std::size_t shownBytes, bool quoted) {
    static constexpr char kHex[] = "0123456789abcdef";
    const bool cut = shownBytes > 0 && text.size() > shownBytes;
    if (cut) {
        text = text.substr(0, shownBytes);
    }
    std::string out;
    out.reserve(text.size() + 8);
    if (quoted) {
        out += '"';
    }
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || c == '"' || c == '\\' || (!quoted && c == ' ')) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    if (cut) {
        out += "...";
    }
    if (quoted) {
        out += '"';
    }
    return out;
}

}  // namespace barwright::serve
