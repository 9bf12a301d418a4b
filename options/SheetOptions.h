#pragma once

#include <cstdint>
#include <string_view>

#include "barwright/SheetSettings.h"

namespace barwright {

// The values of the label-sheet options, read strictly: the whole text must
// be a value, and nothing is changed when it is not.

// Paper: "a4" or "letter" (in any case), or "WxH" in millimetres ("100x50",
// "101.6X152.4"), each side 1..kMaxPaperMm.
[[nodiscard]] bool readPaperSize(std::string_view text, double& widthMm, double& heightMm);

// A grid "COLSxROWS" ("3x8"), each 1..kMaxGridSide.
[[nodiscard]] bool readGrid(std::string_view text, std::int32_t& columns, std::int32_t& rows);

// A length in millimetres, 0..kMaxPaperMm: a decimal number without sign.
[[nodiscard]] bool readMillimetres(std::string_view text, double& mm);

}  // namespace barwright
