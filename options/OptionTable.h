#pragma once

#include <cstdint>
#include <string_view>

#include "options/OptionParser.h"

namespace barwright {

// Every option a front door takes by its long name: barwright's seventeen
// (the command line, and the CSV columns of barwright-batch), then those
// that every other front door shares beyond them (JavaScript and Python
// keys, barwright-serve's query keys, barwright-batch's own options).
enum class OptionId : std::int32_t {
    kHelp,
    kXsize,
    kYsize,
    kXdim,
    kData,
    kMode,
    kEcl,
    kCol,
    kRow,
    kCpdf,
    kOrient,
    kBcolor,
    kFcolor,
    kQzone,
    kAlignh,
    kAlignv,
    kY2x,
    kShortest,
    kEscapes,
    kDpi,
    kMacro,
    kFileId,
    kTime,
    kEci,
};

// What an option's value is, and so how it is read (see SymbolOptions.h for
// the lenient and strict rules).
enum class ValueKind : std::int32_t {
    kNone,     // no value (help)
    kInteger,  // a whole number, an optional sign and decimal digits
    kReal,     // a decimal number with an optional point and exponent
    kColour,   // 0xRRGGBB: rrggbb, #rrggbb or 0xrrggbb
    kText,     // any bytes
    kSwitch,   // 1 or 0 (barwright-batch's command line takes it as a bare flag)
    kCount,    // decimal digits alone, within the option's range
    kSeconds,  // seconds since 1970: an optional minus and decimal digits
};

struct OptionEntry {
    OptionId id;
    const char* name;  // the long name
    char letter;       // barwright's short letter; 0 for none
    ValueKind kind;
    // The values taken, for messages: "ecl takes 0..8, or 9 for automatic".
    const char* values;
};

// barwright's options come first, in the order of its long-option table.
constexpr int kProgramOptionCount = 17;
constexpr int kOptionCount = 24;
extern const OptionEntry kOptionEntries[kOptionCount];

// barwright's short options, "hx:y:..." (a letter with ':' takes a value).
const char* programOptionString();
// barwright's long options as its parser takes them (the codes are the
// short letters), ending with a null name: their order settles
// abbreviations ("--a" is alignh, "--c" col).
const LongOption* programLongOptions();

// The option of this long name (exactly, case and all); null for none.
[[nodiscard]] const OptionEntry* findOption(std::string_view name) noexcept;
// The option of barwright's short letter; null for none.
[[nodiscard]] const OptionEntry* findOptionByLetter(std::int32_t letter) noexcept;
const OptionEntry& optionEntry(OptionId id) noexcept;

}  // namespace barwright
