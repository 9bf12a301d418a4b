#include "options/NameTemplate.h"

#include <array>
#include <charconv>
#include <new>

namespace barwright {

namespace {

constexpr char kSeparator = '/';
constexpr std::string_view kParent = "..";

// "1".."20" -> 1..20; 0 for anything else.
int parseWidth(std::string_view digits) {
    if (digits.empty() || digits.size() > 2) {
        return 0;
    }
    int width = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        width = width * 10 + (c - '0');
    }
    return width <= NameTemplate::kMaxWidth ? width : 0;
}

// Position for messages: 1-based, as a person counts characters.
std::string positionOf(std::size_t index) { return std::to_string(index + 1); }

}  // namespace

bool isContainedPath(std::string_view path) noexcept {
    if (path.empty() || path.front() == kSeparator || path.find('\0') != std::string_view::npos) {
        return false;
    }
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find(kSeparator, start);
        if (path.substr(start, slash - start) == kParent) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        start = slash + 1;
    }
}

bool NameTemplate::parse(std::string_view text, std::string& message) noexcept {
    text_.clear();
    pieces_.clear();
    usesRecordNumber_ = false;
    usesSegmentNumber_ = false;
    try {
        message.clear();
        if (parsePieces(text, message)) {
            text_ = text;
            return true;
        }
    } catch (const std::bad_alloc&) {
        message.clear();
    }
    pieces_.clear();
    usesRecordNumber_ = false;
    usesSegmentNumber_ = false;
    return false;
}

bool NameTemplate::parsePlaceholder(std::string_view placeholder, std::size_t position,
                                    Piece& piece, std::string& message) {
    const std::string_view inside = placeholder.substr(1, placeholder.size() - 2);
    if (inside.empty() || (inside[0] != 'n' && inside[0] != 's') ||
        (inside.size() > 1 && inside[1] != ':')) {
        message = "unknown placeholder \"" + std::string(placeholder) + "\" at character " +
                  positionOf(position) + " (known: {n}, {n:W}, {s}, {s:W})";
        return false;
    }
    piece.kind = inside[0] == 'n' ? Piece::Kind::kRecordNumber : Piece::Kind::kSegmentNumber;
    if (inside.size() > 1) {
        piece.width = parseWidth(inside.substr(2));
        if (piece.width == 0) {
            message = "the width in \"" + std::string(placeholder) + "\" at character " +
                      positionOf(position) + " must be a number from 1 to " +
                      std::to_string(kMaxWidth);
            return false;
        }
    }
    return true;
}

bool NameTemplate::parsePieces(std::string_view text, std::string& message) {
    if (text.empty()) {
        message = "the output name is empty";
        return false;
    }
    std::string literal;
    const auto flushLiteral = [&] {
        if (!literal.empty()) {
            pieces_.push_back({Piece::Kind::kText, literal, 0});
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '}') {
            if (i + 1 < text.size() && text[i + 1] == '}') {
                literal.push_back('}');
                ++i;
                continue;
            }
            message = "\"}\" at character " + positionOf(i) +
                      " closes no \"{\" (a literal brace is written \"}}\")";
            return false;
        }
        if (c != '{') {
            literal.push_back(c);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            literal.push_back('{');
            ++i;
            continue;
        }
        const std::size_t close = text.find('}', i + 1);
        if (close == std::string_view::npos) {
            message = "\"{\" at character " + positionOf(i) +
                      " is never closed (a literal brace is written \"{{\")";
            return false;
        }
        Piece piece;
        if (!parsePlaceholder(text.substr(i, close - i + 1), i, piece, message)) {
            return false;
        }
        flushLiteral();
        (piece.kind == Piece::Kind::kRecordNumber ? usesRecordNumber_ : usesSegmentNumber_) = true;
        pieces_.push_back(std::move(piece));
        i = close;
    }
    flushLiteral();
    return true;
}

std::string NameTemplate::expand(std::uint64_t recordNumber,
                                 std::uint64_t segmentNumber) const noexcept {
    try {
        std::string name;
        for (const Piece& piece : pieces_) {
            if (piece.kind == Piece::Kind::kText) {
                name += piece.text;
                continue;
            }
            const std::uint64_t number =
                piece.kind == Piece::Kind::kRecordNumber ? recordNumber : segmentNumber;
            std::array<char, kMaxWidth> digits{};  // 2^64 - 1 has 20 digits
            const char* end =
                std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
            const auto digitCount = static_cast<std::size_t>(end - digits.data());
            const auto width = static_cast<std::size_t>(piece.width);
            if (width > digitCount) {
                name.append(width - digitCount, '0');
            }
            name.append(digits.data(), digitCount);
        }
        return name;
    } catch (const std::bad_alloc&) {
        return std::string();
    }
}

}  // namespace barwright
