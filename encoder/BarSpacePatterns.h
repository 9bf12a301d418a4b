#pragma once

#include <cstdint>

#include "barwright/EncodedSymbol.h"

namespace barwright {

// A symbol's rows cycle through three of the nine clusters, 0, 3 and 6; slot
// q of the table holds cluster 3q, and row r uses slot r mod 3.
constexpr int kClusterSlots = 3;
// Codeword values 0..928.
constexpr int kCodewordValues = 929;

// Element widths in modules (1..6) of every codeword value in each cluster
// slot, bar first. Generated from the data file by
// scripts/generate-bar-space-patterns.py (encoder/BarSpacePatterns.cpp).
extern const std::uint8_t kBarSpacePatterns[kClusterSlots][kCodewordValues][kElementsPerCodeword];

}  // namespace barwright
