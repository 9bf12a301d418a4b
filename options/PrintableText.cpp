#include "options/PrintableText.h"

namespace barwright {

std::string printableText(std::string_view text, bool quotes, std::size_t shownBytes) {
    static const char* const kHex = "0123456789abcdef";
    const bool cut = shownBytes > 0 && text.size() > shownBytes;
    if (cut) {
        text = text.substr(0, shownBytes);
    }
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || (quotes && (c == '"' || c == '\\'))) {
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
    return out;
}

}  // namespace barwright
