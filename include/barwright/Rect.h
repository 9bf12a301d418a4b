#pragma once

#include <cstdint>

namespace barwright {

// A pixel rectangle; right and bottom are exclusive.
struct Rect {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
};

}  // namespace barwright
