#pragma once

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"

namespace barwright {

// Encodes the settings' data into symbol, replacing what it held. On
// failure symbol is left empty and the status says why:
// kInvalidArgument (a level outside 0..9), kInvalidCompactionMode,
// kTextModeCharacters or kNumericModeCharacters (data the forced mode cannot
// hold), kDataCountAbove928 or kDataTooLarge (too much data),
// kColumnsOutOfRange, kRowsOutOfRange, kColumnsAndRowsNull or kGridTooSmall
// (a bad or too small shape), a Macro status (a bad Macro field), kFail
// (out of memory).
[[nodiscard]] Status encode(const SymbolSettings& settings, EncodedSymbol& symbol);

}  // namespace barwright
