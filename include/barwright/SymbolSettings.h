#pragma once

#include <cstdint>
#include <string>

#include "barwright/EncodedSymbol.h"
#include "barwright/MacroSettings.h"

namespace barwright {

// Columns or rows given as 0 are chosen to fit the data (not both); the
// shapes a symbol may take are in EncodedSymbol.h.
constexpr std::int32_t kAutomaticDimension = 0;

// Level 9 picks the error correction level (0..kMaxErrorCorrectionLevel)
// from the amount of data.
constexpr std::int32_t kAutomaticErrorCorrection = 9;

// Extended Channel Interpretation numbers: an ECI designator tells a reader
// how to read the bytes that follow (000026 is UTF-8, 000003 ISO-8859-1).
constexpr std::int32_t kNoEci = -1;
constexpr std::int32_t kUtf8Eci = 26;
constexpr std::int32_t kMaxEci = 811799;

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

// Everything that decides the codewords of one symbol. The defaults make
// the data's bytes, taken as they are, into a symbol of three data columns;
// the programs start from defaults of their own.
struct SymbolSettings {
    // The bytes to encode. With escapes on, "~" starts an escape: ~N ~R ~T
    // (line feed, carriage return, tab), ~Xhh or ~xhh (a byte), ~~ (a
    // tilde), ~3 at the very start (reader initialisation) and ~7nnnnnn (an
    // ECI designator, 000000..811799; a larger number is dropped with its
    // escape); any other tilde is data. With escapes off every byte is data.
    std::string data;
    bool escapes = false;
    // An ECI designator put before the data (after reader initialisation),
    // so that readers know how to read all of its bytes: 0..kMaxEci, or
    // kNoEci for none. Text beyond ISO-8859-1, for example, goes as its
    // UTF-8 bytes behind ECI 26, with no escape needed.
    std::int32_t eci = kNoEci;
    CompactionMode compaction = CompactionMode::kAutomatic;
    std::int32_t errorCorrectionLevel = kAutomaticErrorCorrection;  // 0..8, or 9
    std::int32_t columns = 3;  // data columns 1..30, or 0 = automatic
    std::int32_t rows = 0;     // rows 3..90, or 0 = automatic (not both 0)
    bool compact = false;      // Compact PDF417: no right row indicator, one-bar stop
    MacroSettings macro;       // a Macro PDF417 control block when macro.enabled
};

}  // namespace barwright
