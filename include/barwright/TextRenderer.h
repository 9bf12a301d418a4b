#pragma once

#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"

namespace barwright {

// The symbol's modules as text: one line per row, '1' for a bar module and
// '0' for a space, start and stop patterns included, no quiet zone, as at
// orientation 0. kInvalidArgument for a symbol that is not whole, kFail
// when memory runs out.
[[nodiscard]] Status renderText(const EncodedSymbol& symbol, std::string& text);

}  // namespace barwright
