#include "python/SymbolRequest.h"

#include <new>
#include <string_view>

#include "barwright/MacroSegments.h"
#include "cli/SymbolOptions.h"

namespace barwright::python {
namespace {

// The option's letter for its long name; 0 for "help" and unknown names.
std::int32_t letterOf(std::string_view name) {
    for (int i = 0; i < kLongOptionCount; ++i) {
        if (name == kLongOptions[i].name && kLongOptions[i].val != 'h') {
            return kLongOptions[i].val;
        }
    }
    return 0;
}

// Applies the options in order; the index of the one refused, or -1.
std::int32_t applyAll(const std::vector<std::pair<std::string, std::string>>& texts,
                      SymbolOptions& options) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& [name, text] = texts[i];
        const std::int32_t letter = letterOf(name);
        if (letter == 0 || !applyOption(letter, text, options, ValueCheck::kStrict)) {
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

Status encodeAll(const SymbolRequest& request, const SymbolOptions& options,
                 std::vector<NativeSymbol>& symbols) {
    if (request.macroSegments == 0) {
        symbols.resize(1);
        symbols[0].picture = options.picture;
        return encode(options.symbol, symbols[0].symbol);
    }
    SymbolSettings settings = options.symbol;
    settings.macro.enabled = true;
    settings.macro.fileId = request.fileId;
    std::vector<EncodedSymbol> segments;
    const Status status = encodeMacroSegments(settings, request.macroSegments, segments);
    if (status != status::kOk) {
        return status;
    }
    symbols.resize(segments.size());
    for (std::size_t i = 0; i < segments.size(); ++i) {
        symbols[i].symbol = std::move(segments[i]);
        symbols[i].picture = options.picture;
    }
    return status::kOk;
}

}  // namespace

std::int32_t refusedOption(const std::vector<std::pair<std::string, std::string>>& options) {
    SymbolOptions applied;
    return applyAll(options, applied);
}

std::vector<std::string> optionNames() {
    std::vector<std::string> names;
    for (int i = 0; i < kLongOptionCount; ++i) {
        if (kLongOptions[i].val != 'h') {
            names.emplace_back(kLongOptions[i].name);
        }
    }
    return names;
}

Status makeSymbols(const SymbolRequest& request, std::vector<NativeSymbol>& symbols,
                   std::int32_t& refusedOption) {
    symbols.clear();
    refusedOption = -1;
    try {
        // The command line's defaults for everything but the data and the
        // escapes, which a library caller gives.
        SymbolOptions options;
        options.symbol.data = request.data;
        options.symbol.escapes = request.escapes;
        refusedOption = applyAll(request.options, options);
        if (refusedOption >= 0) {
            return status::kInvalidArgument;
        }
        if (request.shortest) {
            options.symbol.compaction = CompactionMode::kShortest;
        }
        options.symbol.eci = request.eci;
        const Status status = encodeAll(request, options, symbols);
        if (status != status::kOk) {
            symbols.clear();
        }
        return status;
    } catch (const std::bad_alloc&) {
        symbols.clear();
        return status::kFail;
    }
}

}  // namespace barwright::python
