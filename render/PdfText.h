#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace barwright {

// Lines of text in Helvetica, one of the standard fonts that every PDF
// reader has, so that nothing is embedded. The font is used with
// WinAnsiEncoding: a byte a character, ASCII and the Western European
// letters and signs (Windows code page 1252).

// The text as WinAnsiEncoding bytes. UTF-8 is decoded; a character that
// the encoding lacks (Greek, Cyrillic, CJK, emoji...) becomes '?'. A byte
// that is not part of valid UTF-8 is taken as a code page 1252 byte, as
// spreadsheet exports of that code page write them; the five undefined
// ones become '?'. Tabs and line ends become spaces (a caption is one
// line), other control characters '?'.
std::string winAnsiText(std::string_view text);

// The advance width of WinAnsiEncoding bytes in Helvetica, in thousandths
// of the font size.
std::int64_t helveticaWidth(std::string_view winAnsi);

// A PDF literal string of the bytes: "(...)" with backslash, parentheses
// and every byte outside printable ASCII escaped (the last as three octal
// digits), so that the content stays plain ASCII text.
void appendPdfString(std::string& out, std::string_view bytes);

}  // namespace barwright
