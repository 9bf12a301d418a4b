#pragma once

#include <cstdint>
#include <string_view>

namespace barwright::serve {

// A count as the service's options and keys take it: decimal digits only (no
// sign, space or point), within low..high. False, value untouched, for
// anything else. Like barwright-batch's (moves to the hallway).
[[nodiscard]] bool readWholeNumber(std::string_view text, std::int32_t low, std::int32_t high,
                                   std::int32_t& value);

}  // namespace barwright::serve
