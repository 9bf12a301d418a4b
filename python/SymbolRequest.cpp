#include "python/SymbolRequest.h"

#include <new>

#include "options/FailureReasons.h"
#include "python/LongWork.h"

namespace barwright::python {
namespace {

// Why encodeSymbols refused, in the hallway's words.
std::string encodeReason(const SymbolOptions& options, Status status) {
    if (status == status::kInvalidArgument && *blamedOption(options, false) != '\0') {
        return std::string(blamedOption(options, false)) +
               ": the data has fewer bytes than symbols";
    }
    if (!isFitStatus(status)) {
        return std::string();
    }
    return fitReason(options);
}

}  // namespace

Status applyOptionTexts(const OptionTexts& texts, SymbolOptions& options, std::string& reason) {
    for (const auto& [name, value] : texts) {
        if (setOption(options, name, value) != status::kOk) {
            reason = optionRefusal(name, value);
            return status::kInvalidArgument;
        }
    }
    return status::kOk;
}

bool SymbolRequest::isLongWork() const { return isLongEncode(options_); }

Status SymbolRequest::encode(std::vector<NativeSymbol>& symbols, std::string& reason) const {
    symbols.clear();
    try {
        std::vector<EncodedSymbol> encoded;
        const Status status = encodeSymbols(options_, encoded);
        if (status != status::kOk) {
            reason = encodeReason(options_, status);
            return status;
        }
        symbols.resize(encoded.size());
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            symbols[i].symbol = std::move(encoded[i]);
            symbols[i].picture = options_.picture;
        }
        return status::kOk;
    } catch (const std::bad_alloc&) {
        symbols.clear();
        return status::kFail;
    }
}

}  // namespace barwright::python
