#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace barwright::serve {

// One line of the access log: the method, the path without its query (the
// data stays out of logs), the status, the body's bytes and the time from
// the request line to the last byte sent, in microseconds:
//   GET /pdf417.png 200 1843 97
// What the client sent is shown escaped (printableText).
std::string accessLine(std::string_view method, std::string_view target, unsigned status,
                       std::size_t bytes, std::int64_t microseconds);

// Writes a line to standard error in one write, so that lines from several
// workers never interleave. A failed write is dropped: serving goes on.
void writeAccessLine(const std::string& line);

}  // namespace barwright::serve
