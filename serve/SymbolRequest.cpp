#include "serve/SymbolRequest.h"

#include <new>

#include "barwright/Picture.h"
#include "options/FailureReasons.h"
#include "options/PrintableText.h"

namespace barwright::serve {

namespace {

// A key's value is shown in a reason up to this many bytes.
constexpr std::size_t kShownBytes = 40;

constexpr std::string_view kDataKey = "data";
constexpr std::string_view kDpiKey = "dpi";

// A request's bytes as a reason shows them: quoted, cut, and ASCII only.
std::string shown(std::string_view text) {
    return "\"" + printableText(text, true, kShownBytes, Escaping::kNonAscii) + "\"";
}

// The hallway's options that a reply cannot answer: it is one file of one
// symbol, where these ask for several.
bool asksForSeveralSymbols(std::string_view key) { return key == "macro" || key == "file-id"; }

bool seenBefore(const std::vector<QueryPair>& query, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        if (query[i].key == query[index].key) {
            return true;
        }
    }
    return false;
}

// Applies the keys in order; false with a reason at the first bad one.
bool applyKeys(const std::vector<QueryPair>& query, SymbolOptions& options, std::string& problem) {
    for (std::size_t i = 0; i < query.size(); ++i) {
        const QueryPair& pair = query[i];
        if (seenBefore(query, i)) {
            problem = shown(pair.key) + " is given twice";
            return false;
        }
        if (asksForSeveralSymbols(pair.key)) {
            problem = pair.key +
                      " is not served: a reply is one symbol (barwright-batch and the "
                      "libraries make Macro PDF417 files)";
            return false;
        }
        if (setOption(options, pair.key, pair.value) != status::kOk) {
            problem = optionRefusal(pair.key, pair.value, Escaping::kNonAscii);
            return false;
        }
    }
    return true;
}

bool hasKey(const std::vector<QueryPair>& query, std::string_view key) {
    for (const QueryPair& pair : query) {
        if (pair.key == key) {
            return true;
        }
    }
    return false;
}

}  // namespace

Status readSymbolRequest(OutputFormat format, const std::vector<QueryPair>& query,
                         const std::string* body, const SymbolOptions& defaults,
                         SymbolRequest& request, std::string& problem) {
    request.options = defaults;
    request.format = format;
    if (!applyKeys(query, request.options, problem)) {
        return status::kInvalidArgument;
    }
    const bool dataGiven = hasKey(query, kDataKey);
    if (body != nullptr) {
        if (dataGiven) {
            problem = "the data comes from the body or from data=, not both";
            return status::kInvalidArgument;
        }
        request.options.symbol.data = *body;
    } else if (!dataGiven) {
        problem = "no data: give data=... (or POST it as the body)";
        return status::kInvalidArgument;
    }
    // As barwright-batch refuses --dpi with --format txt: a module grid has
    // no resolution to record.
    if (format == OutputFormat::kTxt && hasKey(query, kDpiKey)) {
        problem = "dpi has no meaning for the txt format";
        return status::kInvalidArgument;
    }
    return status::kOk;
}

namespace {

bool isRaster(OutputFormat format) {
    return format == OutputFormat::kPng || format == OutputFormat::kPng1;
}

Status checkRasterSize(const SymbolRequest& request, const EncodedSymbol& symbol,
                       std::int64_t maxRasterPixels, std::string& problem) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const Status status = imageSize(symbol, request.options.picture, width, height);
    if (status != status::kOk) {
        return status;
    }
    if (std::int64_t{width} * height > maxRasterPixels) {
        problem = "the picture would be " + std::to_string(width) + " x " + std::to_string(height) +
                  " pixels; at most " + std::to_string(maxRasterPixels) +
                  " are served (svg, eps and pdf have no such limit)";
        return status::kCantAllocateImage;
    }
    return status::kOk;
}

Status encodeAndMake(const SymbolRequest& request, std::int64_t maxRasterPixels,
                     SymbolScratch& scratch, std::string& problem) {
    const SymbolOptions& options = request.options;
    Status status = encodeSymbols(options, scratch.symbols);
    if (status != status::kOk) {
        if (isFitStatus(status)) {
            problem = fitReason(options);
        }
        return status;
    }
    const EncodedSymbol& symbol = scratch.symbols.front();
    if (isRaster(request.format)) {
        status = checkRasterSize(request, symbol, maxRasterPixels, problem);
    }
    if (status == status::kOk) {
        status = scratch.file.make(symbol, options.picture, request.format, options.output);
    }
    if (status == status::kInvalidArgument && problem.empty()) {
        const std::string_view blamed = blamedOption(options, true);
        problem = blamed == "fcolor" ? contrastReason(options.picture)
                  : blamed == "xdim" ? "xdim is under half a pixel, so a module would be none"
                                     : std::string();
    }
    return status;
}

}  // namespace

Status makeSymbolBytes(const SymbolRequest& request, std::int64_t maxRasterPixels,
                       SymbolScratch& scratch, std::string_view& bytes, std::string& problem) {
    bytes = std::string_view();
    Status status = status::kOk;
    try {
        status = encodeAndMake(request, maxRasterPixels, scratch, problem);
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
    if (status == status::kOk) {
        bytes = scratch.file.bytes();
    }
    return status;
}

}  // namespace barwright::serve
