#include "options/PrintableText.h"

namespace barwright {

namespace {

bool isEscaped(unsigned char byte, bool quotes, Escaping escaping) {
    if (byte < 0x20 || byte == 0x7F) {
        return true;
    }
    if (quotes && (byte == '"' || byte == '\\')) {
        return true;
    }
    if (escaping == Escaping::kControls) {
        return false;
    }
    return byte > 0x7F || (escaping == Escaping::kNonAsciiAndSpaces && byte == ' ');
}

}  // namespace

std::string printableText(std::string_view text, bool quotes, std::size_t shownBytes,
                          Escaping escaping) {
    static const char* const kHex = "0123456789abcdef";
    const bool cut = shownBytes > 0 && text.size() > shownBytes;
    if (cut) {
        text = text.substr(0, shownBytes);
    }
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (isEscaped(byte, quotes, escaping)) {
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
