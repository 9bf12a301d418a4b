#pragma once

#include <string>
#include <string_view>

namespace barwright {

// Text from the input (a cell, a file name) as a message shows it: control
// bytes, and with quotes on also '"' and '\', written as \xhh, so that a
// stray byte can neither garble the terminal nor end the quoted text; cut
// after `shownBytes` bytes with "..." (0: never cut).
std::string printableText(std::string_view text, bool quotes, std::size_t shownBytes = 0);

}  // namespace barwright
