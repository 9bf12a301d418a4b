#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "options/OutputFormat.h"
#include "options/SymbolFile.h"
#include "options/SymbolOptions.h"

namespace barwright::serve {

// The glue between a request and the hallway: a query's keys (and a POST
// body) become SymbolOptions through setOption, as every other front door
// sets them, and the symbol becomes a file's bytes through SymbolFile. The
// service itself reads no option value and writes no format.

// One key and value of a query, percent-decoded.
struct QueryPair {
    std::string key;
    std::string value;
};

// What a request asks for.
struct SymbolRequest {
    SymbolOptions options;  // the service's defaults, then the request's keys
    OutputFormat format = OutputFormat::kPng;
};

// The most data any symbol holds: 2,625 digits in numeric compaction,
// 1,793 characters in text, 1,074 bytes in byte compaction. With escapes on
// a byte may be written as "~Xhh", so no data for a symbol is longer than
// 4 x 1,074 characters. A longer body is refused unread (413).
constexpr std::size_t kMostBytesInASymbol = 1074;
constexpr std::size_t kMaxDataBytes = 4 * kMostBytesInASymbol;

// Reads the keys of a request into a copy of defaults: the hallway's long
// option names with its strict value rules (an unknown key or a bad value
// is an error, never dropped), but for macro and file-id, since a reply is
// one file of one symbol. The data comes from the "data" key or, for a POST,
// from body (not both); one of them is required. Every key at most once.
// kInvalidArgument with a short reason in problem (the request's bytes
// escaped to ASCII) when the request is refused.
[[nodiscard]] Status readSymbolRequest(OutputFormat format, const std::vector<QueryPair>& query,
                                       const std::string* body, const SymbolOptions& defaults,
                                       SymbolRequest& request, std::string& problem);

// A worker's buffers, kept from one request to the next.
struct SymbolScratch {
    std::vector<EncodedSymbol> symbols;
    SymbolFile file;
};

// The raster formats are limited to this many pixels by default (a 4096 x
// 4096 image, 48 MiB of RGB): a request is answered in a worker's own time,
// so its size must be bounded. SVG, EPS and PDF describe any size in a few
// kilobytes.
constexpr std::int64_t kMaxRasterPixels = std::int64_t{4096} * 4096;

// Encodes and draws the request into bytes, which point into scratch until
// its next use: the hallway's file, the same bytes as barwright-batch's. The
// statuses of encodeSymbols and SymbolFile, with a reason in problem where
// one can be given; kCantAllocateImage for a raster of more than
// maxRasterPixels.
[[nodiscard]] Status makeSymbolBytes(const SymbolRequest& request, std::int64_t maxRasterPixels,
                                     SymbolScratch& scratch, std::string_view& bytes,
                                     std::string& problem);

}  // namespace barwright::serve
