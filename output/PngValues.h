#pragma once

#include <cstdint>

namespace barwright {

// The values of PNG chunks that both PNG writers (libpng's and the
// WebAssembly build's zlib-only one) write alike.

// A gamma this small cannot be meant; such an image gets a usual file
// gamma. Also catches NaN, which has no fixed-point gamma.
constexpr double pngFileGamma(double gamma) { return gamma >= 0.1 ? gamma : 0.7; }

// pHYs stores pixels per metre: round(dpi / 0.0254), halves up, in
// integers. An inch is 254 ten-thousandths of a metre; kMaxDpi keeps the
// result within the 31 bits PNG allows.
constexpr std::uint32_t pngPixelsPerMetre(std::int32_t dpi) {
    constexpr std::int64_t kTenThousandthsPerMetre = 10000;
    constexpr std::int64_t kTenThousandthsPerInch = 254;
    return static_cast<std::uint32_t>(
        (std::int64_t{dpi} * kTenThousandthsPerMetre + kTenThousandthsPerInch / 2) /
        kTenThousandthsPerInch);
}

}  // namespace barwright
