#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/BitImage.h"
#include "barwright/EncodedSymbol.h"
#include "barwright/PdfRenderer.h"
#include "barwright/PictureSettings.h"
#include "barwright/PngWriter.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"
#include "options/OutputFormat.h"
#include "options/SymbolOptions.h"

namespace barwright {

// png1 is made for many small files fast: zlib's fastest level does a 1-bit
// barcode in a third less time than its default level, for files about a
// tenth larger (png keeps barwright's level: its files are barwright's).
constexpr std::int32_t kBitPngCompressionLevel = 1;

// A PDF's options from the output options. A PDF records a date only when
// one is given: without, the same symbol always makes the same file.
PdfOptions pdfOptions(const OutputOptions& output);

// The bytes of one symbol's file in a format: every front door's one way
// from an encoded symbol to a file, so that the same options give the same
// bytes everywhere. An object keeps its buffers from one file to the next,
// so that a worker making many files allocates little once it has made the
// largest.
class SymbolFile {
public:
    // Makes the file: png (barwright's file, zlib level 6) and png1 (1-bit,
    // kBitPngCompressionLevel) with the time and resolution of output, svg
    // and eps with its resolution, pdf with both, txt the module grid (no
    // picture setting nor output option applies). The renderers' and the PNG
    // writer's statuses; kInvalidArgument for output values outside their
    // ranges or, for pdf, a time after the year 9999. The bytes are empty
    // after a failure.
    [[nodiscard]] Status make(const EncodedSymbol& symbol, const PictureSettings& picture,
                              OutputFormat format, const OutputOptions& output);
    // What make made, until the next make or draw.
    std::string_view bytes() const noexcept;

    // The same in two steps, for a file written as it is made: draw does
    // all that can fail but the writing (a PNG's picture is drawn, the other
    // formats made whole), write then writes the file to a stream open for
    // binary writing, a PNG compressed as it goes, and flushes it:
    // kCantCloseOutput when the stream reports an error.
    [[nodiscard]] Status draw(const EncodedSymbol& symbol, const PictureSettings& picture,
                              OutputFormat format, const OutputOptions& output);
    [[nodiscard]] Status write(std::FILE* stream) const;

    // Gives back buffers that a large picture left large (over
    // kKeptBufferBytes), so that one large file does not decide a long-lived
    // worker's memory for good; smaller ones stay for the next file.
    void trim();
    static constexpr std::size_t kKeptBufferBytes = std::size_t{1} << 20;

private:
    bool isPng() const;

    OutputFormat format_ = OutputFormat::kPng;
    PngOptions png_;
    RgbImage rgb_;
    BitImage bits_;
    std::vector<std::uint8_t> pngBytes_;  // the PNG formats' file, made by make
    std::string text_;                    // every other format's file
};

// The same in one call, into bytes.
[[nodiscard]] Status makeSymbolFile(const EncodedSymbol& symbol, const PictureSettings& picture,
                                    OutputFormat format, const OutputOptions& output,
                                    std::string& bytes);

}  // namespace barwright
