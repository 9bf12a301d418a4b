#pragma once

#include <cstdint>
#include <string>

#include "barwright/MacroSettings.h"

namespace barwright {

// The shapes a PDF417 symbol may take.
constexpr std::int32_t kMinColumns = 1;
constexpr std::int32_t kMaxColumns = 30;
constexpr std::int32_t kMinRows = 3;
constexpr std::int32_t kMaxRows = 90;
// Columns or rows given as 0 are chosen to fit the data (not both).
constexpr std::int32_t kAutomaticDimension = 0;

// Error correction levels 0..8 give 2 << level error correction codewords;
// 9 picks the level from the amount of data.
constexpr std::int32_t kMaxErrorCorrectionLevel = 8;
constexpr std::int32_t kAutomaticErrorCorrection = 9;

// A reader accepts at most 928 codewords in a whole symbol (data, padding,
// Macro block and error correction together), whatever its shape.
constexpr std::int32_t kMaxSymbolCodewords = 928;

// How the data becomes data codewords. The numbers are the command line's
// -m values.
enum class CompactionMode : std::int32_t {
    kAutomatic = 0,  // text, numeric and byte runs chosen greedily
    kText = 1,       // text compaction only
    kNumeric = 2,    // numeric compaction only
    kByte = 3,       // byte compaction only
    // The fewest data codewords for the data, chosen exactly over every mix
    // of text, numeric and byte compaction. The command line has no such
    // mode: its codewords stay as they are.
    kShortest = 4,
};

// Everything that decides the codewords of one symbol. The defaults are the
// command line's.
struct SymbolSettings {
    // The bytes to encode. With escapes on, "~" starts an escape: ~N ~R ~T
    // (line feed, carriage return, tab), ~Xhh or ~xhh (a byte), ~~ (a
    // tilde), ~3 at the very start (reader initialisation) and ~7nnnnnn (an
    // ECI designator, 000000..811799; a larger number is dropped with its
    // escape); any other tilde is data. With escapes off every byte is data.
    std::string data = "1234567";
    bool escapes = true;
    CompactionMode compaction = CompactionMode::kAutomatic;
    std::int32_t errorCorrectionLevel = kAutomaticErrorCorrection;  // 0..8, or 9
    std::int32_t columns = 3;  // data columns 1..30, or 0 = automatic
    std::int32_t rows = 0;     // rows 3..90, or 0 = automatic (not both 0)
    bool compact = false;      // Compact PDF417: no right row indicator, one-bar stop
    MacroSettings macro;       // a Macro PDF417 control block when macro.enabled
};

}  // namespace barwright
