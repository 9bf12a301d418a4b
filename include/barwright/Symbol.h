#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/MacroSettings.h"
#include "barwright/Rect.h"
#include "barwright/RgbImage.h"
#include "barwright/Status.h"

namespace barwright {

class Pdf417Encoder;

// Everything that decides one PDF417 symbol and its picture. The defaults
// are the command line's.
struct SymbolSettings {
    // Compaction modes.
    static constexpr std::int32_t kModeAutomatic = 0;
    static constexpr std::int32_t kModeText = 1;
    static constexpr std::int32_t kModeNumeric = 2;
    static constexpr std::int32_t kModeByte = 3;
    // The fewest data codewords for the data, chosen exactly over every mix
    // of text, numeric and byte compaction (the command line has no such
    // mode: its codewords stay as they are).
    static constexpr std::int32_t kModeShortest = 4;
    // The error correction level that is chosen from the data length.
    static constexpr std::int32_t kAutomaticLevel = 9;

    // The bytes to encode, with the command line's "~" escapes: ~N ~R ~T
    // (line feed, carriage return, tab), ~Xhh or ~xhh (a byte), ~~ (a
    // tilde), ~3 at the very start (reader initialisation) and ~7nnnnnn (an
    // ECI designator). Any other tilde is data.
    std::string data = "1234567";
    std::int32_t compactionMode = kModeAutomatic;         // 0..4
    std::int32_t errorCorrectionLevel = kAutomaticLevel;  // 0..8, or 9 = automatic
    std::int32_t columns = 3;                             // data columns 1..30, or 0 = automatic
    std::int32_t rows = 0;  // rows 3..90, or 0 = automatic (not both 0)
    bool compact = false;   // Compact PDF417: no right row indicator, short stop
    MacroSettings macro;    // a Macro PDF417 control block when macro.enabled

    // The picture; none of these changes the codewords.
    std::int32_t orientation = 0;              // degrees counter-clockwise: 0, 90, 180 or 270
    bool quietZone = true;                     // two modules of background on every side
    std::int32_t alignH = 1;                   // 0 left, 1 centre, 2 right
    std::int32_t alignV = 1;                   // 0 top, 1 centre, 2 bottom
    std::uint32_t backgroundColor = 0xFFFFFF;  // 0x00BBGGRR: red in the lowest byte
    std::uint32_t foregroundColor = 0x000000;  // bar colour, same byte order
    double yToXRatio = 4.0;                    // row height in module widths, > 0
};

// The symbol's rows as element widths in modules (1..6): bar, space, bar,
// ... eight per codeword, for the left row indicator, the data columns and
// (unless compact) the right row indicator. The start and stop patterns,
// the same in every row, are not included.
struct SymbolMatrix {
    std::int32_t rowCount = 0;
    std::int32_t elementsPerRow = 0;
    std::vector<std::uint8_t> widths;  // rowCount x elementsPerRow, top row first

    std::uint8_t width(std::int32_t row, std::int32_t element) const {
        return widths[static_cast<std::size_t>(row) * static_cast<std::size_t>(elementsPerRow) +
                      static_cast<std::size_t>(element)];
    }
};

// One encoded PDF417 symbol, ready to draw. Move-only.
//
//     barwright::Symbol symbol;
//     barwright::SymbolSettings settings;
//     settings.data = "Hello";
//     if (symbol.encode(settings) == barwright::status::kOk) ...
class Symbol {
public:
    // Holds nothing until encode succeeds; status() is then 2 ("Fail").
    Symbol();
    ~Symbol();
    Symbol(Symbol&& other) noexcept;
    Symbol& operator=(Symbol&& other) noexcept;
    Symbol(const Symbol&) = delete;
    Symbol& operator=(const Symbol&) = delete;

    // Encodes the settings' data. A picture setting out of its range gives
    // 1; a bad compaction mode 3; data the mode cannot hold 5 or 6; too much
    // data 7 or 11; a bad or too small shape 8, 9, 10 or 12; a bad Macro
    // field 17..23 or 0xC0050219. On failure nothing is drawable.
    [[nodiscard]] Status encode(const SymbolSettings& settings);

    // The status of the last encode.
    Status status() const { return status_; }
    const SymbolSettings& settings() const { return settings_; }

    // Results of the last successful encode (empty or 0 otherwise).
    // Every codeword (0..928) in reading order: the length descriptor, the
    // data, the padding, the Macro block and the error correction,
    // columns() x rows() in all.
    const std::vector<std::uint16_t>& codewords() const { return codewords_; }
    std::int32_t columns() const { return columns_; }  // data columns, 1..30
    std::int32_t rows() const { return rows_; }        // 3..90
    // The level used, 0..8, the automatic choice resolved.
    std::int32_t errorCorrectionLevel() const { return errorCorrectionLevel_; }
    const SymbolMatrix& matrix() const { return matrix_; }

    // The image size in pixels that the symbol needs (quiet zones included
    // when on) with modules moduleWidth pixels wide (rounded half up).
    // 1 when that rounds to 0 pixels or the size would not fit an int32.
    [[nodiscard]] Status imageSize(double moduleWidth, std::int32_t& width,
                                   std::int32_t& height) const;
    // Draws the symbol into area of the image with the largest whole-pixel
    // module that fits; area must lie inside the image, whose rows must be
    // allocated. 14 or 15 when the symbol does not fit.
    [[nodiscard]] Status draw(RgbImage& image, const Rect& area) const;
    [[nodiscard]] Status draw(RgbImage& image) const;
    // Sizes an image for moduleWidth, draws into it and writes it as PNG;
    // 28 when the image cannot be allocated, 26 when writing fails.
    [[nodiscard]] Status writePng(double moduleWidth, std::vector<std::uint8_t>& png) const;
    [[nodiscard]] Status writePng(double moduleWidth, std::FILE* file) const;

private:
    [[nodiscard]] Status renderImage(double moduleWidth, std::unique_ptr<RgbImage>& image) const;

    std::unique_ptr<Pdf417Encoder> encoder_;
    SymbolSettings settings_;
    Status status_ = status::kFail;
    std::vector<std::uint16_t> codewords_;
    std::int32_t columns_ = 0;
    std::int32_t rows_ = 0;
    std::int32_t errorCorrectionLevel_ = 0;
    SymbolMatrix matrix_;
};

// Splits data into segmentCount parts for a Macro PDF417 file: about equal
// numbers of data bytes, never a cut inside an escape sequence, reader
// initialisation kept at the start of the first part and an ECI designator
// at the start of the part whose bytes it governs. A tilde that is data is
// written "~~", so that no part can begin with an escape by accident.
// 0xC0050219 for a count outside 1..99999, 1 when data holds fewer bytes
// than segmentCount (each part must hold at least one).
[[nodiscard]] Status splitMacroData(std::string_view data, std::int32_t segmentCount,
                                    std::vector<std::string>& parts);

// Encodes settings.data as a Macro PDF417 file of segmentCount symbols, one
// per part of splitMacroData, in order. Symbol i (1-based) is segment i of
// segmentCount with settings.macro.fileId; the last carries the terminator.
// The optional fields of settings.macro go into every symbol. Every part
// must fit one symbol of the settings' shape; on the first failure,
// symbols is emptied and that status returned.
[[nodiscard]] Status encodeMacroSegments(const SymbolSettings& settings, std::int32_t segmentCount,
                                         std::vector<Symbol>& symbols);

}  // namespace barwright
