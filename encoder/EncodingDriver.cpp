#include "encoder/Pdf417Encoder.h"

// Placeholder until the encoding driver lands: no symbol is made, and the
// encoder keeps reporting "Fail".
namespace barwright {

Status Pdf417Encoder::encode() { return status::kFail; }

std::uint32_t Pdf417Encoder::autoErrorCorrectionLevel(std::uint32_t) { return 2; }

std::uint32_t Pdf417Encoder::errorCorrectionCount(std::uint32_t) { return 0; }

Status Pdf417Encoder::chooseDimensions(std::uint32_t) { return status::kFail; }

Status Pdf417Encoder::buildMacroControlBlock(CodewordStream& block) {
    block.clear();
    return status::kOk;
}

}  // namespace barwright
