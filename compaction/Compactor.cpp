#include "compaction/Compactor.h"

// Placeholder until compaction lands: compacts nothing.
namespace barwright {

void Compactor::startSymbol() { inInitialTextMode_ = true; }

UnitSequence Compactor::preprocessData(std::string_view, std::int32_t) { return {}; }

Status Compactor::compactAutomatic(const UnitSequence&, CodewordStream&) { return status::kFail; }

Status Compactor::compactFixed(const UnitSequence&, CodewordStream&) { return status::kFail; }

Status Compactor::compactTextString(std::string_view, CodewordStream&) { return status::kFail; }

Status Compactor::compactNumericDigits(std::string_view, CodewordStream&) { return status::kFail; }

}  // namespace barwright
