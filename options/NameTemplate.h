#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options/OutputFormat.h"

namespace barwright {

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
    std::optional<OutputFormat> format(FormatSet offered = kAllFormats) const noexcept {
        return outputFormatOf(text_, offered);
    }

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
    // One placeholder, braces included, found at position; false with a
    // message when it is unknown or its width is not one.
    static bool parsePlaceholder(std::string_view placeholder, std::size_t position, Piece& piece,
                                 std::string& message);

    std::string text_;
    std::vector<Piece> pieces_;
    bool usesRecordNumber_ = false;
    bool usesSegmentNumber_ = false;
};

}  // namespace barwright
