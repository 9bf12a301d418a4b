#pragma once

#include <cstdint>
#include <string>

#include "barwright/PictureSettings.h"
#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"
#include "options/SymbolOptions.h"

namespace barwright {

// Whether a record failed for want of room: kDataCountAbove928,
// kDataTooLarge or kGridTooSmall.
bool isFitStatus(Status status) noexcept;

// What the record's data needs, what its shape holds and the smallest change
// that fits, in the options' own terms, for the message after such a status:
// "612 data codewords; 3 columns hold 205 at level 5: --col 8 fits". For
// segmentCount 0 one symbol of settings, else the Macro PDF417 file of that
// many. Empty when nothing can be said (memory ran out).
std::string fitReason(const SymbolSettings& settings, std::int32_t segmentCount);

// The same for what encodeSymbols makes of options: one symbol, or their
// Macro PDF417 segments, whose file ID takes room in every one.
std::string fitReason(const SymbolOptions& options);

// Why a picture was refused when its colours are the cause: "bars 000000 on
// 333333 differ in luma by 7 % of full scale; readers need 20 %". Empty when
// the colours have the contrast readers need.
std::string contrastReason(const PictureSettings& picture);

}  // namespace barwright
