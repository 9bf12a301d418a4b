#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/Encoder.h"
#include "barwright/PictureSettings.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright::python {

// Pictures without a time: the PNG formats then record none.
constexpr std::int64_t kNoTime = -1;

// What barwright.Symbol holds: one encoded symbol and the picture settings
// it was encoded with. Its drawing calls take no Python object, so the
// caller may release the interpreter lock around them.
struct NativeSymbol {
    EncodedSymbol symbol;
    PictureSettings picture;

    // The picture in a barwright-batch format ("png", "png1", "svg", "eps",
    // "txt"), the same bytes as that program's file: dpi 0 records none
    // (else 1..kMaxDpi), time is seconds since 1970 or kNoTime.
    // kInvalidArgument for another format, a dpi for "txt" or a bad dpi or
    // time; otherwise the renderers' and the PNG writer's statuses.
    [[nodiscard]] Status draw(std::string_view format, std::int32_t dpi, std::int64_t time,
                              std::string& bytes) const;

    // The picture as 24-bit RGB pixels, as draw's "png" holds them.
    [[nodiscard]] Status drawRgb(RgbImage& image) const;

    // The module grid, one string a row, byte 1 a bar module and 0 a space,
    // start and stop patterns included, no quiet zone.
    [[nodiscard]] Status modules(std::vector<std::string>& rows) const;
};

}  // namespace barwright::python
