#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "barwright/Status.h"
#include "options/SymbolOptions.h"
#include "python/NativeSymbol.h"

namespace barwright::python {

// (long option name, value text) pairs, as the Python half turns keywords
// into them.
using OptionTexts = std::vector<std::pair<std::string, std::string>>;

// Sets each option in order by its long name, with the hallway's strict
// rules. kInvalidArgument for the first that the hallway refuses (an unknown
// name, or a value the option does not take), with optionRefusal's words in
// reason; the options set before it stay.
[[nodiscard]] Status applyOptionTexts(const OptionTexts& texts, SymbolOptions& options,
                                      std::string& reason);

// What one call of barwright.encode asks for: the hallway's options for a
// binding, set by their long names with the hallway's strict rules, then
// encoded. Python values never reach it, so that encode may run with the
// interpreter lock released.
class SymbolRequest {
public:
    SymbolRequest() : options_(bindingDefaults()) {}

    // The bytes to encode, as they are unless the "escapes" option says so.
    void setData(std::string data) { options_.symbol.data = std::move(data); }

    // Applies the options in order, as applyOptionTexts does.
    [[nodiscard]] Status apply(const OptionTexts& texts, std::string& reason) {
        return applyOptionTexts(texts, options_, reason);
    }

    // Whether encoding takes long enough to repay releasing the interpreter
    // lock around it.
    bool isLongWork() const;

    // One symbol, or the options' Macro PDF417 segments, each with the
    // picture options. The encoder's statuses, with a reason where the
    // hallway can give one: the option at fault, or the change that makes
    // the data fit.
    [[nodiscard]] Status encode(std::vector<NativeSymbol>& symbols, std::string& reason) const;

private:
    SymbolOptions options_;
};

}  // namespace barwright::python
