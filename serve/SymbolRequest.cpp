#include "serve/SymbolRequest.h"

#include <new>

#include "barwright/Render.h"
#include "serve/PrintableText.h"
#include "serve/WholeNumber.h"

namespace barwright::serve {

namespace {

struct FormatEntry {
    const char* name;
    ImageFormat format;
    const char* contentType;
};
constexpr FormatEntry kFormats[] = {
    {"png", ImageFormat::kPng, "image/png"},
    {"png1", ImageFormat::kPng1, "image/png"},
    {"svg", ImageFormat::kSvg, "image/svg+xml"},
    {"eps", ImageFormat::kEps, "application/postscript"},
    {"txt", ImageFormat::kTxt, "text/plain; charset=us-ascii"},
};

// png1 is barwright-batch's fast 1-bit PNG: zlib's fastest level (moves to
// the hallway with the rest of the format routine).
constexpr std::int32_t kBitPngCompressionLevel = 1;

// A key's value is shown in a reason up to this many bytes.
constexpr std::size_t kShownBytes = 40;

// The keys beside barwright's option names.
constexpr std::string_view kShortestKey = "shortest";
constexpr std::string_view kEscapesKey = "escapes";
constexpr std::string_view kDpiKey = "dpi";
constexpr std::string_view kDataKey = "data";

// barwright's letter for a long option name; 0 for none. "help" is no
// setting.
std::int32_t letterOf(std::string_view key) {
    for (int i = 0; i < kLongOptionCount; ++i) {
        if (kLongOptions[i].val != 'h' && key == kLongOptions[i].name) {
            return kLongOptions[i].val;
        }
    }
    return 0;
}

// "1" or "0", nothing else.
bool readSwitch(std::string_view text, bool& value) {
    if (text != "1" && text != "0") {
        return false;
    }
    value = text == "1";
    return true;
}

std::string badValue(std::string_view key, std::string_view value) {
    return std::string(key) + "=" + printableText(value, kShownBytes) + " is not a value of " +
           std::string(key);
}

// Applies one key; false with a reason when it is unknown or its value bad.
bool applyKey(const QueryPair& pair, SymbolRequest& request, bool& shortest, std::string& problem) {
    const std::string_view key = pair.key;
    const std::string_view value = pair.value;
    if (key == kShortestKey || key == kEscapesKey) {
        bool on = false;
        if (!readSwitch(value, on)) {
            problem = std::string(key) + " takes 1 or 0, not " + printableText(value, kShownBytes);
            return false;
        }
        (key == kShortestKey ? shortest : request.options.symbol.escapes) = on;
        return true;
    }
    if (key == kDpiKey) {
        if (!readWholeNumber(value, 1, kMaxDpi, request.dpi)) {
            problem = "dpi takes a whole number from 1 to " + std::to_string(kMaxDpi) + ", not " +
                      printableText(value, kShownBytes);
            return false;
        }
        return true;
    }
    const std::int32_t letter = letterOf(key);
    if (letter == 0) {
        problem = "unknown key " + printableText(key, kShownBytes);
        return false;
    }
    if (!applyOption(letter, value, request.options, ValueCheck::kStrict)) {
        problem = badValue(key, value);
        return false;
    }
    return true;
}

bool seenBefore(const std::vector<QueryPair>& query, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        if (query[i].key == query[index].key) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<ImageFormat> formatNamed(std::string_view name) {
    for (const FormatEntry& entry : kFormats) {
        if (name == entry.name) {
            return entry.format;
        }
    }
    return std::nullopt;
}

const char* contentTypeOf(ImageFormat format) {
    for (const FormatEntry& entry : kFormats) {
        if (entry.format == format) {
            return entry.contentType;
        }
    }
    return "application/octet-stream";
}

Status readSymbolRequest(ImageFormat format, const std::vector<QueryPair>& query,
                         const std::string* body, SymbolRequest& request, std::string& problem) {
    request = SymbolRequest();
    request.format = format;
    // The data is taken as it is: percent-escapes and a body carry any byte.
    request.options.symbol.escapes = false;
    bool shortest = false;
    bool dataGiven = false;
    for (std::size_t i = 0; i < query.size(); ++i) {
        if (seenBefore(query, i)) {
            problem = printableText(query[i].key, kShownBytes) + " is given twice";
            return status::kInvalidArgument;
        }
        if (!applyKey(query[i], request, shortest, problem)) {
            return status::kInvalidArgument;
        }
        dataGiven = dataGiven || query[i].key == kDataKey;
    }
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
    if (request.dpi != 0 && format == ImageFormat::kTxt) {
        problem = "dpi has no meaning for the txt format";
        return status::kInvalidArgument;
    }
    // As in barwright-batch, the fewest codewords take the place of the mode.
    if (shortest) {
        request.options.symbol.compaction = CompactionMode::kShortest;
    }
    return status::kOk;
}

void SymbolScratch::trim() {
    // A megabyte of pixels is a large barcode; keeping more for the next
    // request would let one request decide the worker's memory for good.
    constexpr std::size_t kKeptBytes = std::size_t{1} << 20;
    if (rgb.pixels().capacity() > kKeptBytes) {
        rgb = RgbImage();
    }
    if (bits.pixels().capacity() > kKeptBytes) {
        bits = BitImage();
    }
    if (png.capacity() > kKeptBytes) {
        std::vector<std::uint8_t>().swap(png);
    }
    if (text.capacity() > kKeptBytes) {
        std::string().swap(text);
    }
}

namespace {

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
                  " are served (svg and eps have no such limit)";
        return status::kCantAllocateImage;
    }
    return status::kOk;
}

// barwright-batch's drawing of one symbol in one format (moves to the
// hallway).
Status draw(const SymbolRequest& request, PngOptions png, SymbolScratch& scratch) {
    const EncodedSymbol& symbol = scratch.symbol;
    const PictureSettings& picture = request.options.picture;
    png.dpi = request.dpi;
    Status status = status::kOk;
    switch (request.format) {
        case ImageFormat::kPng:
            status = renderRgb(symbol, picture, scratch.rgb);
            return status != status::kOk ? status : writePng(scratch.rgb, png, scratch.png);
        case ImageFormat::kPng1:
            png.compressionLevel = kBitPngCompressionLevel;
            status = renderBits(symbol, picture, scratch.bits);
            return status != status::kOk ? status : writePng(scratch.bits, png, scratch.png);
        case ImageFormat::kSvg:
            return renderSvg(symbol, picture, request.dpi, scratch.text);
        case ImageFormat::kEps:
            return renderEps(symbol, picture, request.dpi, scratch.text);
        case ImageFormat::kTxt:
            return renderText(symbol, scratch.text);
    }
    return status::kFail;
}

}  // namespace

Status makeSymbolBytes(const SymbolRequest& request, const PngOptions& png,
                       std::int64_t maxRasterPixels, SymbolScratch& scratch,
                       std::string_view& bytes, std::string& problem) {
    bytes = std::string_view();
    try {
        Status status = encode(request.options.symbol, scratch.symbol);
        const bool raster =
            request.format == ImageFormat::kPng || request.format == ImageFormat::kPng1;
        if (status == status::kOk && raster) {
            status = checkRasterSize(request, scratch.symbol, maxRasterPixels, problem);
        }
        if (status == status::kOk) {
            status = draw(request, png, scratch);
        }
        if (status != status::kOk) {
            return status;
        }
    } catch (const std::bad_alloc&) {
        return status::kFail;
    }
    if (request.format == ImageFormat::kPng || request.format == ImageFormat::kPng1) {
        bytes =
            std::string_view(reinterpret_cast<const char*>(scratch.png.data()), scratch.png.size());
    } else {
        bytes = scratch.text;
    }
    return status::kOk;
}

}  // namespace barwright::serve
