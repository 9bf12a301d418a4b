#include "files/SystemError.h"

#include <string.h>  // strerror_r

namespace barwright {

namespace {

// strerror_r comes in two kinds: GNU's returns the text, POSIX's fills the
// buffer. strerror itself need not be safe on several threads.
[[maybe_unused]] const char* errorText(int result, const char* buffer) {
    return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* errorText(const char* text, const char*) { return text; }

}  // namespace

std::string systemErrorText(int error) {
    if (error == 0) {
        return std::string();
    }
    char buffer[256] = {};
    return errorText(::strerror_r(error, buffer, sizeof buffer), buffer);
}

}  // namespace barwright
