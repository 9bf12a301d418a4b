#include "encoder/CodewordMatrix.h"

// Placeholder until the matrix lands.
namespace barwright {

bool CodewordMatrix::build(std::uint8_t, std::uint8_t, bool, std::uint8_t, const CodewordStream&) {
    release();
    return false;
}

void CodewordMatrix::release() {
    data_.reset();
    rowStride_ = 0;
    rowCount_ = 0;
}

Codeword CodewordMatrix::leftRowIndicator(int, int) const { return 0; }

Codeword CodewordMatrix::rightRowIndicator(int, int) const { return 0; }

}  // namespace barwright
