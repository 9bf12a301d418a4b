#include "serve/AccessLog.h"

#include <unistd.h>

#include <cerrno>

#include "options/PrintableText.h"
#include "serve/RequestHandler.h"

namespace barwright::serve {

namespace {
// A path is shown up to this many bytes; a long one is cut, with "...".
constexpr std::size_t kShownPathBytes = 200;
constexpr std::size_t kShownMethodBytes = 16;

// A field of the line as the client sent it, escaped so that it stays one
// ASCII field; a backslash is escaped too, so that every \xhh in the log is
// one the log wrote.
std::string shownField(std::string_view text, std::size_t shownBytes) {
    return printableText(text, true, shownBytes, Escaping::kNonAsciiAndSpaces);
}

}  // namespace

std::string accessLine(std::string_view method, std::string_view target, unsigned status,
                       std::size_t bytes, std::int64_t microseconds) {
    std::string_view path;
    std::string_view query;
    splitTarget(target, path, query);
    std::string line = shownField(method, kShownMethodBytes);
    line += ' ';
    line += shownField(path, kShownPathBytes);
    line += ' ';
    line += std::to_string(status);
    line += ' ';
    line += std::to_string(bytes);
    line += ' ';
    line += std::to_string(microseconds);
    line += '\n';
    return line;
}

void writeAccessLine(const std::string& line) {
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

}  // namespace barwright::serve
