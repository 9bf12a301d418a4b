#include "render/PdfFile.h"

#include <cassert>
#include <charconv>
#include <utility>

#include "render/NumberText.h"
#include "render/UtcTime.h"

namespace barwright {
namespace {

// PDF 1.4: everything used here (Flate streams, the standard fonts,
// WinAnsiEncoding) is older, and every reader in use takes it. The comment
// after the version holds bytes above 127, as the format recommends for
// files that carry binary data, so that transfer programs treat the file
// as binary.
constexpr char kHeader[] = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
constexpr char kProducer[] = "barwright";

// The years a PDF date can hold: four digits.
constexpr int kFirstYear = 0;
constexpr int kLastYear = 9999;

// Each table entry is exactly 20 bytes: ten digits of offset, five of
// generation, the kind and a two-byte line end.
constexpr char kFreeHead[] = "0000000000 65535 f \n";
// Room for a stream's length, written once the stream is complete; the
// spaces that a shorter number leaves are white space to a reader.
constexpr std::size_t kLengthRoom = 20;
constexpr std::size_t kUsualObjects = 8;

// A number 0 or above, zero-padded to at least `digits` digits. (Not
// snprintf: in WebAssembly it would bring printf's whole machinery.)
void appendDigits(std::string& out, std::int64_t value, std::size_t digits) {
    char text[24];
    const char* end = std::to_chars(text, text + sizeof text, value).ptr;
    const auto length = static_cast<std::size_t>(end - text);
    if (length < digits) {
        out.append(digits - length, '0');
    }
    out.append(text, length);
}

}  // namespace

bool pdfDate(std::int64_t time, std::string& out) {
    out.clear();
    const UtcTime utc = utcTimeOf(time);
    if (utc.year < kFirstYear || utc.year > kLastYear) {
        return false;
    }
    out += "(D:";
    appendDigits(out, utc.year, 4);
    appendDigits(out, utc.month, 2);
    appendDigits(out, utc.day, 2);
    appendDigits(out, utc.hour, 2);
    appendDigits(out, utc.minute, 2);
    appendDigits(out, utc.second, 2);
    out += "Z)";
    return true;
}

PdfFile::PdfFile(std::string buffer) : text_(std::move(buffer)) {
    text_.clear();
    text_ += kHeader;
    // A symbol's file has five objects: room for them at once, rather than
    // growing four times.
    offsets_.reserve(kUsualObjects);
}

std::int32_t PdfFile::reserveObject() {
    offsets_.push_back(0);
    return static_cast<std::int32_t>(offsets_.size());
}

void PdfFile::beginObject(std::int32_t number) {
    assert(number >= 1 && static_cast<std::size_t>(number) <= offsets_.size());
    offsets_[static_cast<std::size_t>(number) - 1] = size();
    appendInteger(text_, number);
    text_ += " 0 obj\n";
}

void PdfFile::endObject() { text_ += "\nendobj\n"; }

void PdfFile::appendStream(std::int32_t number, std::string_view data, bool flateCompressed) {
    beginStream(number, flateCompressed);
    text_ += data;
    endStream();
}

void PdfFile::beginStream(std::int32_t number, bool flateCompressed) {
    beginObject(number);
    text_ += "<</Length ";
    lengthAt_ = text_.size();
    text_.append(kLengthRoom, ' ');
    if (flateCompressed) {
        text_ += "/Filter/FlateDecode";
    }
    text_ += ">>\nstream\n";
    streamAt_ = text_.size();
}

void PdfFile::endStream() {
    std::string length;
    appendInteger(length, static_cast<std::int64_t>(text_.size() - streamAt_));
    text_.replace(lengthAt_, length.size(), length);
    text_ += "\nendstream";
    endObject();
}

void PdfFile::appendInfo(std::int32_t number, const std::string& date) {
    beginObject(number);
    text_ += "<</Producer(";
    text_ += kProducer;
    text_ += ')';
    if (!date.empty()) {
        text_ += "/CreationDate" + date + "/ModDate" + date;
    }
    text_ += ">>";
    endObject();
}

void PdfFile::finish(std::int32_t root, std::int32_t info) {
    const std::uint64_t tableOffset = size();
    const auto entries = static_cast<std::int64_t>(offsets_.size()) + 1;
    text_.reserve(text_.size() + 128 + 20 * static_cast<std::size_t>(entries));
    text_ += "xref\n0 ";
    appendInteger(text_, entries);
    text_ += '\n';
    text_ += kFreeHead;
    char entry[] = "0000000000 00000 n \n";
    constexpr int kOffsetDigits = 10;
    for (std::uint64_t offset : offsets_) {
        for (int i = kOffsetDigits - 1; i >= 0; --i, offset /= 10) {
            entry[i] = static_cast<char>('0' + offset % 10);
        }
        text_.append(entry, sizeof entry - 1);
    }
    text_ += "trailer\n<</Size ";
    appendInteger(text_, entries);
    text_ += "/Root ";
    appendInteger(text_, root);
    text_ += " 0 R/Info ";
    appendInteger(text_, info);
    text_ += " 0 R>>\nstartxref\n";
    appendInteger(text_, static_cast<std::int64_t>(tableOffset));
    text_ += "\n%%EOF\n";
}

}  // namespace barwright
