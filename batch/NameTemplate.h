#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barwright::batch {

// The picture formats of barwright-batch. An output name's extension can ask
// for all but kPng1 (the 1-bit palette PNG), which only --format names: its
// files end in .png like the others.
enum class OutputFormat { kPng, kPng1, kSvg, kEps, kTxt };

// The format that the extension of the path's last component names, in any
// case ("a/B.PNG" is PNG); none when there is no extension ("png1", a
// folder "x.svg/" or a hidden name such as ".png") or another one.
std::optional<OutputFormat> outputFormatOf(std::string_view path) noexcept;

// The format's name as --format takes it: "png", "png1", "svg", "eps", "txt".
const char* outputFormatName(OutputFormat format) noexcept;

// False when the path's extension names another format than this one, so
// that a file never holds a format its name contradicts; a .png name allows
// png and png1, a name without a known extension every format.
bool nameAllowsFormat(std::string_view path, OutputFormat format) noexcept;

// True when the path stays inside the folder it is taken from: not empty,
// not absolute, and without a ".." component anywhere ("a/..b" and "..." are
// names, not climbs). A NUL byte, which no file name can hold, makes it false
// as well, since the name opened would be cut short at it.
bool isContainedPath(std::string_view path) noexcept;

// The output file names of a run: parsed once, then expanded for each record.
//
//   {n}    the record number (1-based)       {n:W}  the same, zero-padded to W digits
//   {s}    the Macro PDF417 segment number   {s:W}  the same, zero-padded to W digits
//   {{ }}  a literal brace
//
// W is 1..20 (a 64-bit number has at most 20 digits); a number longer than W
// is written whole. Anything else in braces, or a brace without its partner,
// is an error.
class NameTemplate {
public:
    static constexpr int kMaxWidth = 20;

    // Parses `text`, replacing what was parsed before. On an error returns
    // false, leaves the template empty and says in `message` what is wrong,
    // naming the offending text and its position (an empty message: memory
    // ran out). An empty text is refused too: it can name no file.
    [[nodiscard]] bool parse(std::string_view text, std::string& message) noexcept;

    // The text as parsed.
    const std::string& text() const noexcept { return text_; }
    bool usesRecordNumber() const noexcept { return usesRecordNumber_; }
    bool usesSegmentNumber() const noexcept { return usesSegmentNumber_; }
    // "-": the one record goes to standard output.
    bool isStandardOutput() const noexcept { return text_ == "-"; }
    // The format that the template's extension asks for (see outputFormatOf).
    std::optional<OutputFormat> format() const noexcept { return outputFormatOf(text_); }

    // The file name for a record and segment. Empty only when memory ran
    // out (or nothing was parsed), which callers treat as a name refused.
    std::string expand(std::uint64_t recordNumber, std::uint64_t segmentNumber) const noexcept;

private:
    struct Piece {
        enum class Kind { kText, kRecordNumber, kSegmentNumber };
        Kind kind = Kind::kText;
        std::string text;  // kText
        int width = 0;     // the numbers: 0 for no padding, else 1..kMaxWidth
    };

    bool parsePieces(std::string_view text, std::string& message);

    std::string text_;
    std::vector<Piece> pieces_;
    bool usesRecordNumber_ = false;
    bool usesSegmentNumber_ = false;
};

}  // namespace barwright::batch
