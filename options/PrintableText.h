#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace barwright {

// Which bytes besides the control bytes a text shows as \xhh.
enum class Escaping : std::int32_t {
    kControls,  // no others: UTF-8 reaches a terminal as the characters it writes
    // Bytes above 127 too, so that a reply or a log line stays ASCII whatever
    // a stranger sent: no byte of it reaches a browser or a log reader raw.
    kNonAscii,
    // And spaces, so that the text stays one field of a space-separated line.
    kNonAsciiAndSpaces,
};

// Text from the input (a cell, a file name, a request) as a message shows
// it: control bytes, with quotes on also '"' and '\', and what escaping
// adds, written as \xhh, so that a stray byte can neither garble the
// terminal nor end the quoted text; cut after `shownBytes` bytes with "..."
// (0: never cut).
std::string printableText(std::string_view text, bool quotes, std::size_t shownBytes = 0,
                          Escaping escaping = Escaping::kControls);

}  // namespace barwright
