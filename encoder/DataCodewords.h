#pragma once

#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"
#include "compaction/Codeword.h"

namespace barwright {

// Appends the data codewords of settings.data to out, compacted as
// settings.compaction asks (escapes as settings.escapes): settings.eci's
// designator, the latches and shifts included, but no length descriptor,
// padding or Macro block. kInvalidArgument for an ECI number out of range;
// the compaction's status otherwise (kInvalidCompactionMode, a mode's
// characters). Throws std::bad_alloc when memory runs out.
[[nodiscard]] Status compactData(const SymbolSettings& settings, CodewordStream& out);

}  // namespace barwright
