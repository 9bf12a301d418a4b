// Splitting one data string over the symbols of a Macro PDF417 file.

#include "barwright/MacroSegments.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "barwright/Encoder.h"
#include "compaction/EscapeSequence.h"

namespace barwright {

namespace {

// One indivisible piece of the data string: an escape sequence or one byte,
// with the number of data bytes it stands for (0 for reader initialisation
// and ECI designators, 1 for everything else).
struct Piece {
    std::string_view text;
    std::size_t byteCount;
};

// The length of the well-formed UTF-8 sequence at data[k], or 1 when there
// is none (an ASCII byte, or bytes that are not UTF-8). Overlong forms and
// surrogates are not told apart: they only need to stay together.
std::size_t utf8SequenceLength(std::string_view data, std::size_t k) {
    const auto lead = static_cast<unsigned char>(data[k]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 1;
    if (k + length > data.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(data[k + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

// One byte of data, or a whole UTF-8 character when asked for.
Piece plainPiece(std::string_view data, std::size_t k, bool wholeUtf8Characters) {
    const std::size_t length = wholeUtf8Characters ? utf8SequenceLength(data, k) : 1;
    return Piece{data.substr(k, length), 1};
}

std::vector<Piece> cutIntoPieces(std::string_view data, bool escapes, bool wholeUtf8Characters) {
    std::vector<Piece> pieces;
    pieces.reserve(data.size());
    std::size_t k = 0;
    if (escapes && startsWithReaderInit(data)) {
        pieces.push_back(Piece{data.substr(0, 2), 0});
        k = 2;
    }
    while (k < data.size()) {
        const EscapeSequence escape =
            escapes && data[k] == '~' ? readEscapeSequence(data, k) : EscapeSequence{};
        if (escape.kind == EscapeSequence::Kind::kNone) {
            pieces.push_back(plainPiece(data, k, wholeUtf8Characters));
            k += pieces.back().text.size();
        } else {
            const bool isEci = escape.kind == EscapeSequence::Kind::kEci;
            pieces.push_back(Piece{data.substr(k, escape.length), isEci ? 0u : 1u});
            k += escape.length;
        }
    }
    return pieces;
}

}  // namespace

Status splitMacroData(std::string_view data, bool escapes, std::int32_t segmentCount,
                      std::vector<std::string>& parts, bool wholeUtf8Characters) {
    parts.clear();
    if (segmentCount < 1 || segmentCount > kMaxMacroSegments) {
        return status::kMacroSegmentCount;
    }
    try {
        const std::vector<Piece> pieces = cutIntoPieces(data, escapes, wholeUtf8Characters);
        std::size_t totalBytes = 0;
        for (const Piece& piece : pieces) {
            totalBytes += piece.byteCount;
        }
        const auto count = static_cast<std::size_t>(segmentCount);
        if (totalBytes < count && count > 1) {
            return status::kInvalidArgument;
        }
        parts.assign(count, std::string());
        // A piece goes to the part in whose share its first byte falls: part
        // s holds the bytes s*total/count up to (s+1)*total/count, at least
        // one each. A piece without bytes (an ECI designator) therefore
        // opens the part of the bytes that follow it.
        std::size_t bytesBefore = 0;
        for (const Piece& piece : pieces) {
            const std::size_t part =
                totalBytes == 0 ? 0 : std::min(count - 1, bytesBefore * count / totalBytes);
            if (escapes && piece.text == "~") {
                parts[part] += "~~";
            } else {
                parts[part].append(piece.text.data(), piece.text.size());
            }
            bytesBefore += piece.byteCount;
        }
    } catch (const std::bad_alloc&) {
        parts.clear();
        return status::kFail;
    }
    return status::kOk;
}

Status encodeMacroSegments(const SymbolSettings& settings, std::int32_t segmentCount,
                           std::vector<EncodedSymbol>& symbols) {
    symbols.clear();
    std::vector<std::string> parts;
    Status result = splitMacroData(settings.data, settings.escapes, segmentCount, parts,
                                   settings.eci == kUtf8Eci);
    if (result != status::kOk) {
        return result;
    }
    try {
        symbols.reserve(parts.size());
        SymbolSettings segment = settings;
        segment.macro.enabled = true;
        segment.macro.segmentCount = segmentCount;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            segment.data = std::move(parts[i]);
            segment.macro.segmentIndex = static_cast<std::int32_t>(i) + 1;
            symbols.emplace_back();
            result = encode(segment, symbols.back());
            if (result != status::kOk) {
                symbols.clear();
                return result;
            }
        }
    } catch (const std::bad_alloc&) {
        symbols.clear();
        return status::kFail;
    }
    return status::kOk;
}

}  // namespace barwright
