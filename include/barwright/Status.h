#pragma once

#include <cstdint>

namespace barwright {

// Every operation that can fail returns one of these; 0 is success, and
// statusMessage gives the one-line text for each.
using Status = std::int32_t;

// The numbers are fixed: they are the exit statuses of the barwright program.
// Three codes are never returned (kInvalidData, kSizeTooSmall,
// kUnknownException): they keep their number and message so that the table
// of texts, which scripts may match on, stays whole, and so that no later
// failure is given a number that once meant something else.
namespace status {
constexpr Status kOk = 0;
constexpr Status kInvalidArgument = 1;
constexpr Status kFail = 2;
constexpr Status kInvalidCompactionMode = 3;
constexpr Status kInvalidData = 4;  // never returned (see above)
constexpr Status kTextModeCharacters = 5;
constexpr Status kNumericModeCharacters = 6;
constexpr Status kDataCountAbove928 = 7;
constexpr Status kColumnsOutOfRange = 8;
constexpr Status kRowsOutOfRange = 9;
constexpr Status kColumnsAndRowsNull = 10;
constexpr Status kDataTooLarge = 11;
constexpr Status kGridTooSmall = 12;
constexpr Status kSizeTooSmall = 13;  // never returned
constexpr Status kColumnsTooLarge = 14;
constexpr Status kRowsTooLarge = 15;
constexpr Status kMacroSegmentIndex = 17;
constexpr Status kMacroSegmentIndexAboveCount = 18;
constexpr Status kMacroFileId = 19;
constexpr Status kMacroFileName = 20;
constexpr Status kMacroFileSize = 21;
constexpr Status kMacroChecksum = 22;
constexpr Status kMacroTimeStamp = 23;
constexpr Status kEmptyFileName = 24;
constexpr Status kCantOpenOutput = 25;
constexpr Status kCantCloseOutput = 26;
constexpr Status kUnknownException = 27;  // never returned
constexpr Status kCantAllocateImage = 28;
// Deliberately not 16: this exact 32-bit pattern is the code callers see for
// a bad segment count, and 16 has no message of its own.
constexpr Status kMacroSegmentCount = static_cast<Status>(0xC0050219u);
}  // namespace status

// The one-line message of a status code, as the program prints it ("Ok." for
// 0, "Error: ..." otherwise); "Error: Unknown error." for codes without one.
// The text is a constant that the caller must not free.
const char* statusMessage(Status code);

}  // namespace barwright
