#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace barwright {

// The files a symbol can be made into (see SymbolFile).
enum class OutputFormat : std::int32_t {
    kPng,   // 8-bit RGB PNG, barwright's own file
    kPng1,  // 1-bit palette PNG of the two colours, written fast
    kSvg,
    kEps,
    kTxt,  // the module grid as text: no picture setting applies
    kPdf,
};

// A set of formats, for a front door that offers only some of them.
using FormatSet = std::uint32_t;
constexpr FormatSet formatBit(OutputFormat format) {
    return FormatSet{1} << static_cast<std::uint32_t>(format);
}
constexpr FormatSet kAllFormats = formatBit(OutputFormat::kPng) | formatBit(OutputFormat::kPng1) |
                                  formatBit(OutputFormat::kSvg) | formatBit(OutputFormat::kEps) |
                                  formatBit(OutputFormat::kTxt) | formatBit(OutputFormat::kPdf);
// The formats of bulk runs (barwright-batch, and whatever writes the same
// files from the same records): every one.
constexpr FormatSet kBatchFormats = kAllFormats;

// The format of this name ("png", "png1", "svg", "eps", "txt", "pdf") among
// those offered; none for any other text.
std::optional<OutputFormat> formatNamed(std::string_view name,
                                        FormatSet offered = kAllFormats) noexcept;
// The format's name as formatNamed takes it.
const char* formatName(OutputFormat format) noexcept;
// The extension of its files, without the dot: png1's files end in .png.
const char* fileExtension(OutputFormat format) noexcept;
// The media type of its files, as HTTP's Content-Type names it.
const char* mediaType(OutputFormat format) noexcept;
// The names of the formats offered, in the order above, joined by ", " but
// for the last two, joined by lastSeparator: "png, png1, svg, eps or txt".
std::string formatNames(FormatSet offered, const char* lastSeparator);

// The format that the extension of the path's last component names, in any
// case ("a/B.PNG" is PNG), among those offered; none when there is no
// extension ("png1", a folder "x.svg/" or a hidden name such as ".png") or
// another one. An extension names every format but png1, which only its
// name asks for: its files end in .png like the others.
std::optional<OutputFormat> outputFormatOf(std::string_view path,
                                           FormatSet offered = kAllFormats) noexcept;

// False when the path's extension names another format (of those offered)
// than this one, so that a file never holds a format its name contradicts;
// a .png name allows png and png1, a name without a known extension every
// format.
bool nameAllowsFormat(std::string_view path, OutputFormat format,
                      FormatSet offered = kAllFormats) noexcept;

}  // namespace barwright
