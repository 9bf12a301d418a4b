#pragma once

#include <cstdint>
#include <string_view>

#include "barwright/PictureSettings.h"
#include "barwright/SymbolSettings.h"
#include "cli/OptionParser.h"

namespace barwright {

// The image size that -x or -y alone leaves for the other side.
constexpr std::int32_t kDefaultImageWidth = 200;
constexpr std::int32_t kDefaultImageHeight = 100;

// The symbol settings a run starts from: the library's, but for the data
// that a run without -d encodes ("1234567") and the ~ escapes, which the
// command line takes unless told otherwise.
SymbolSettings programSymbolDefaults();

// What the options of a symbol set: the library's own settings records,
// starting from the program's defaults.
struct SymbolOptions {
    SymbolSettings symbol = programSymbolDefaults();
    PictureSettings picture;
};

// The options of a symbol and its picture: the short letters ("x:" takes an
// argument) and the long names, which end with an all-zero entry. Both
// programs take them alike.
constexpr int kLongOptionCount = 17;
extern const char kOptionString[];
extern const LongOption kLongOptions[kLongOptionCount + 1];

// How an option's value is read. Lenient is the command line's way: as much
// of the text as forms a value, out-of-range values dropped. Strict, for
// values that come from data files and for barwright-batch's colours, also
// drops a text that is not wholly a value of the option's kind (trailing
// characters, no digits, a colour not written rrggbb, #rrggbb or 0xrrggbb).
enum class ValueCheck { kLenient, kStrict };

// Applies the value of the option with this letter (any letter of
// kOptionString but 'h') to options. False when the value is dropped, and
// options then keep their earlier value.
[[nodiscard]] bool applyOption(std::int32_t letter, std::string_view value, SymbolOptions& options,
                               ValueCheck check);

}  // namespace barwright
