#pragma once

#include "barwright/MacroSettings.h"
#include "barwright/Status.h"
#include "compaction/Codeword.h"

namespace barwright {

// Builds the Macro PDF417 control block of macro into block (emptied first;
// left empty when macro is off). Returns the status of the first bad field:
// kMacroSegmentCount, kMacroSegmentIndex, kMacroSegmentIndexAboveCount,
// kMacroFileId, kMacroFileName (also for the sender and addressee),
// kMacroTimeStamp, kMacroFileSize or kMacroChecksum. The block then holds
// what was appended so far. Throws std::bad_alloc when memory runs out.
[[nodiscard]] Status buildMacroControlBlock(const MacroSettings& macro, CodewordStream& block);

}  // namespace barwright
