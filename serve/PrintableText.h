#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace barwright::serve {

// Text from a request as it may appear in a reply or the access log: in
// double quotes when quoted, printable ASCII as it is, every other byte (and
// a quote or backslash) as \xhh, so that nothing a client sends reaches a
// terminal, a log reader or a browser unescaped. At most shownBytes of the
// text (then "..."); 0 shows it all. Unquoted, a space is escaped too, so
// that the text stays one field of a line. barwright-batch has its own,
// which leaves bytes above 127 as they are (both move to the hallway).
std::string printableText(std::string_view text, std::size_t shownBytes, bool quoted = true);

}  // namespace barwright::serve
