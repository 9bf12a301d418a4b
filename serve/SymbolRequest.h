#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/Encoder.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"
#include "cli/SymbolOptions.h"

namespace barwright::serve {

// The glue between a request and the library: the one place that turns a
// query's keys and values (and a POST body) into settings, and settings into
// the bytes of a file. The option table and value rules are barwright's own
// (cli/SymbolOptions); what is copied here from barwright-batch moves to the
// shared layer between the library and the programs once there is one.

// The formats served, by the name after "/pdf417." (moves to the hallway).
enum class ImageFormat { kPng, kPng1, kSvg, kEps, kTxt };

// The format a name stands for ("png", "png1", "svg", "eps", "txt").
std::optional<ImageFormat> formatNamed(std::string_view name);
// The Content-Type of a format's files.
const char* contentTypeOf(ImageFormat format);

// One key and value of a query, percent-decoded.
struct QueryPair {
    std::string key;
    std::string value;
};

// What a request asks for.
struct SymbolRequest {
    SymbolOptions options;  // barwright's defaults, escapes off
    ImageFormat format = ImageFormat::kPng;
    std::int32_t dpi = 0;  // 1..kMaxDpi, or 0 for none recorded
};

// The most data any symbol holds: 2,625 digits in numeric compaction,
// 1,793 characters in text, 1,074 bytes in byte compaction. With escapes on
// a byte may be written as "~Xhh", so no data for a symbol is longer than
// 4 x 1,074 characters. A longer body is refused unread (413).
constexpr std::size_t kMostBytesInASymbol = 1074;
constexpr std::size_t kMaxDataBytes = 4 * kMostBytesInASymbol;

// Reads the keys of a request: barwright's long option names (the same value
// rules as a CSV cell: a whole value or an error), "shortest" and "escapes"
// (1 or 0), "dpi" (1..kMaxDpi, not for txt). The data comes from the "data"
// key or, for a POST, from body (not both); one of them is required. Every
// key at most once; an unknown key or a bad value is an error, never
// dropped. kInvalidArgument with a short reason in problem (which never
// holds the request's bytes unescaped) when the request is refused.
[[nodiscard]] Status readSymbolRequest(ImageFormat format, const std::vector<QueryPair>& query,
                                       const std::string* body, SymbolRequest& request,
                                       std::string& problem);

// A worker's buffers, kept from one request to the next.
struct SymbolScratch {
    EncodedSymbol symbol;
    RgbImage rgb;
    BitImage bits;
    std::vector<std::uint8_t> png;
    std::string text;

    // Gives back buffers that a large picture left large.
    void trim();
};

// The raster formats are limited to this many pixels by default (a 4096 x
// 4096 image, 48 MiB of RGB): a request is answered in a worker's own time,
// so its size must be bounded. SVG and EPS describe any size in a few
// kilobytes.
constexpr std::int64_t kMaxRasterPixels = std::int64_t{4096} * 4096;

// Encodes and draws the request into bytes, which point into scratch until
// its next use. png gives the PNG chunks' time (or none); its level and dpi
// are set here per format, as barwright-batch sets them. The statuses of
// encode and the renderers; kCantAllocateImage with a reason in problem for
// a raster of more than maxRasterPixels.
[[nodiscard]] Status makeSymbolBytes(const SymbolRequest& request, const PngOptions& png,
                                     std::int64_t maxRasterPixels, SymbolScratch& scratch,
                                     std::string_view& bytes, std::string& problem);

}  // namespace barwright::serve
