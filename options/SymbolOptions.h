#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/PictureSettings.h"
#include "barwright/Status.h"
#include "barwright/SymbolSettings.h"
#include "options/OptionTable.h"
#include "options/PrintableText.h"

namespace barwright {

// Which time a file records (PNG's tIME chunk and text, PDF's dates).
enum class FileTime {
    kNone,   // none: the same options always make the same bytes
    kClock,  // the clock's when a PNG is written (barwright's own files); a PDF records none
    kGiven,  // OutputOptions::time
};

// The years a file's time may name, 0..65535 (a PNG time stamp's), in
// seconds since 1970. PDF dates end with the year 9999.
constexpr std::int64_t kFirstFileTime = -62167219200;
constexpr std::int64_t kLastFileTime = 2005949145599;

// How a symbol's file is made, beside the picture: what the format records.
struct OutputOptions {
    std::int32_t dpi = 0;  // 1..kMaxDpi pixels per inch, or 0 to record none (txt never does)
    FileTime timeSource = FileTime::kNone;
    std::int64_t time = 0;  // seconds since 1970, kFirstFileTime..kLastFileTime
};

// Everything the options of a front door set: the library's settings
// records, and what the front doors share beyond barwright's options.
struct SymbolOptions {
    SymbolSettings symbol;
    PictureSettings picture;
    bool shortest = false;           // the fewest data codewords, in place of the mode
    std::int32_t macroSegments = 0;  // 1..kMaxMacroSegments symbols of a Macro PDF417 file; 0 none
    // The Macro PDF417 file ID (see isMacroFileId, which encode applies);
    // empty for the library's default (barwright-batch: each record's own).
    std::string fileId;
    OutputOptions output;
};

// The programs' defaults, set here once: the data that a run without -d
// encodes ("1234567"), the ~ escapes on, and files that record the clock's
// time. Every other front door starts from bindingDefaults(): the library's
// settings (no data, no escapes) and files that record no time.
SymbolOptions programDefaults();
SymbolOptions bindingDefaults();

// How an option's value is read. Lenient is barwright's command line: as
// much of the text as forms a value, out-of-range values dropped. Strict,
// for everyone else, also drops a text that is not wholly a value of the
// option's kind (trailing characters, no digits, a colour not written
// rrggbb, #rrggbb or 0xrrggbb). The shared options beyond barwright's are
// always read strictly.
enum class ValueCheck { kLenient, kStrict };

// Applies the value of an option (any but help) to options. False when the
// value is dropped, and options then keep their earlier value.
[[nodiscard]] bool applyOption(OptionId id, std::string_view value, SymbolOptions& options,
                               ValueCheck check);

// The same for a binding or a service, by the option's long name and with
// the strict rules: kInvalidArgument for an unknown name (or help) or a value
// the option does not take; optionRefusal says why in words.
[[nodiscard]] Status setOption(SymbolOptions& options, std::string_view name,
                               std::string_view value);

// Why setOption refused: "unknown option \"foo\"" or "ecl takes 0..8, or 9
// for automatic, not \"12\"" (the value cut, and its control bytes and what
// escaping adds escaped).
std::string optionRefusal(std::string_view name, std::string_view value,
                          Escaping escaping = Escaping::kControls);

// The settings to encode: options.symbol, with the shortest encodation when
// options.shortest asks for it.
SymbolSettings symbolSettings(const SymbolOptions& options);

// Encodes what the options ask for into symbols: one symbol, or with
// macroSegments that many symbols of a Macro PDF417 file with fileId (when
// not empty). A plain symbol is encoded from options.symbol itself, without
// a copy of its data. The statuses of encode and encodeMacroSegments.
[[nodiscard]] Status encodeSymbols(const SymbolOptions& options,
                                   std::vector<EncodedSymbol>& symbols);

// The option that a kInvalidArgument is due to, where one can be named:
// from encodeSymbols "macro" (fewer data bytes than symbols); from drawing
// (drawing true) "fcolor" (bars too close to the background in brightness)
// or "xdim" (a module width that rounds to 0 pixels). Else "".
const char* blamedOption(const SymbolOptions& options, bool drawing);

}  // namespace barwright
