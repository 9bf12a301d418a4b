#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barwright/EncodedSymbol.h"
#include "barwright/Status.h"
#include "options/SymbolFile.h"
#include "options/SymbolOptions.h"

namespace barwright::js {

// What a call of the JavaScript package makes of each symbol. The numbers
// are the ones the package passes.
enum class Target : std::int32_t {
    kModules = 0,  // the module grid as text, one line a row (the txt format)
    kPng = 1,      // the RGB picture as a PNG file
    kRgba = 2,     // the RGB picture as RGBA pixels, opaque, for a canvas
    kSvg = 3,      // the SVG document
    kPdf = 4,      // the PDF file (the package offers no function for it yet)
};

// One symbol's facts and output as the package reads them from the
// WebAssembly memory: ten 32-bit words in this order, addresses as offsets
// into that memory.
struct SymbolResult {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t errorCorrectionLevel = 0;
    std::int32_t codewordCount = 0;
    std::uint32_t codewords = 0;  // address of codewordCount uint16 values
    std::int32_t width = 0;       // picture size in pixels (kPng, kRgba)
    std::int32_t height = 0;
    std::uint32_t output = 0;  // address of outputSize bytes
    std::int32_t outputSize = 0;
    std::int32_t reserved = 0;
};

// The package's one piece of state: the options of the call under way, set
// one by one by their names, then one run that encodes and draws, then the
// results, read before the next call resets everything. JavaScript is single
// threaded, so one job serves a whole module instance. The options, their
// value rules, the encoding and the files are the hallway's.
class WasmJob {
public:
    WasmJob() { reset(); }

    // The bindings' defaults: barwright's options, but no data, the data
    // taken as it is (no escapes) and no time recorded.
    void reset();

    // A scratch buffer of size bytes that the package fills before
    // setOption; null when memory runs out.
    char* input(std::size_t size);

    // Applies the option whose long name is the first nameLength bytes of
    // the input buffer, its value the rest, by the hallway's strict rules
    // (setOption): kInvalidArgument for an unknown name or a value that is
    // not the option's, which then keeps its earlier value.
    [[nodiscard]] Status setOption(std::size_t nameLength);

    // Encodes the data (into one symbol, or one per Macro segment) and makes
    // each symbol's output. The first failing status, with no results.
    [[nodiscard]] Status run(Target target);

    // The option that the last failure of run is due to, when it is one
    // the package can name (blamedOption): "macro", "fcolor", "xdim"; else "".
    const char* blame() const { return blame_; }

    std::int32_t symbolCount() const { return static_cast<std::int32_t>(results_.size()); }
    const SymbolResult* result(std::int32_t index) const;

private:
    [[nodiscard]] Status makeOutput(Target target, const EncodedSymbol& symbol, std::string& output,
                                    SymbolResult& result);
    [[nodiscard]] Status makeRgba(const EncodedSymbol& symbol, std::string& output,
                                  SymbolResult& result) const;

    SymbolOptions options_;
    std::string input_;
    const char* blame_ = "";
    std::vector<EncodedSymbol> symbols_;
    SymbolFile file_;
    std::vector<std::string> outputs_;
    std::vector<SymbolResult> results_;
};

}  // namespace barwright::js
