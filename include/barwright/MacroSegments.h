#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"

namespace barwright {

// Splits data into segmentCount parts for a Macro PDF417 file: about equal
// numbers of data bytes, each part at least one. With escapes on, no escape
// sequence is cut, reader initialisation stays at the start of the first
// part, an ECI designator opens the part whose bytes it governs, and a tilde
// that is data is written "~~" so that no part begins with an escape by
// accident. With wholeUtf8Characters, for UTF-8 text, a character's bytes
// (a well-formed sequence written as it is) stay in one part and count as
// one, so that every symbol holds whole characters. kMacroSegmentCount for
// a count outside 1..99999, kInvalidArgument when data holds fewer bytes
// (characters) than segmentCount.
[[nodiscard]] Status splitMacroData(std::string_view data, bool escapes, std::int32_t segmentCount,
                                    std::vector<std::string>& parts,
                                    bool wholeUtf8Characters = false);

// Encodes settings.data as a Macro PDF417 file of segmentCount symbols, one
// per part of splitMacroData (whole UTF-8 characters when settings.eci is
// kUtf8Eci), in order. Symbol i (1-based) is segment i of segmentCount with
// settings.macro's file ID and optional fields, its data behind the
// settings' ECI designator; the last carries the terminator. Every part must fit one symbol of the
// settings' shape; on the first failure symbols is emptied and that status returned.
[[nodiscard]] Status encodeMacroSegments(const SymbolSettings& settings, std::int32_t segmentCount,
                                         std::vector<EncodedSymbol>& symbols);

}  // namespace barwright
