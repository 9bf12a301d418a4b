#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "barwright/Status.h"
#include "python/NativeSymbol.h"

namespace barwright::python {

// No ECI designator before the data.
constexpr std::int32_t kNoEci = -1;

// What one call of barwright.encode asks for, every Python value already
// turned into the text the option table reads.
struct SymbolRequest {
    std::string data;           // bytes as they are (with escapes: ~ sequences resolved)
    std::int32_t eci = kNoEci;  // an ECI designator before the data, 0..811799
    bool escapes = false;
    bool shortest = false;  // the fewest data codewords, in place of `mode`
    // (long option name, value text), applied in order after the data, each
    // as strictly as a CSV cell; a "data" entry replaces the data.
    std::vector<std::pair<std::string, std::string>> options;
    std::int32_t macroSegments = 0;  // 0: one plain symbol; 1..99999: a Macro PDF417 file
    std::string fileId;              // the Macro file ID, as MacroSettings takes it
};

// Encodes the request into one symbol (or macroSegments of them), replacing
// what symbols held. kInvalidArgument with refusedOption set to the index
// of the option whose name or value the table refuses; otherwise the
// encoder's statuses, refusedOption -1. Takes no Python object, so the
// caller may run it with the interpreter lock released.
[[nodiscard]] Status makeSymbols(const SymbolRequest& request, std::vector<NativeSymbol>& symbols,
                                 std::int32_t& refusedOption);

// The index of the first of the options that the table refuses (an
// unknown name, or a value it does not take), -1 when it takes them all.
std::int32_t refusedOption(const std::vector<std::pair<std::string, std::string>>& options);

// The long names that SymbolRequest::options takes, in the option table's
// order: every symbol and picture option of the command line but "help".
std::vector<std::string> optionNames();

}  // namespace barwright::python
