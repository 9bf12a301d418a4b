#pragma once

#include <cstdint>
#include <vector>

namespace barwright {

// A PDF417 codeword, 0..928.
using Codeword = std::uint16_t;

// Growable array of codewords: compaction appends to it, the encoding
// driver completes it.
using CodewordStream = std::vector<Codeword>;

}  // namespace barwright
