#include "serve/WholeNumber.h"

namespace barwright::serve {

bool readWholeNumber(std::string_view text, std::int32_t low, std::int32_t high,
                     std::int32_t& value) {
    std::int64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        number = number * 10 + (c - '0');
        if (number > high) {
            return false;
        }
    }
    if (text.empty() || number < low) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

}  // namespace barwright::serve
