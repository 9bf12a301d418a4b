#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace barwright {

// The frame of a PDF file: the header, numbered objects, the
// cross-reference table and the trailer. The bytes gather in text(), which
// the owner may hand on and empty whenever it likes (markWritten): the file
// keeps counting, so that every object's offset is known for the table.
// Each object costs 8 bytes here (its offset) until the table is written:
// 100,000 objects hold 0.8 MB.
// A time as a PDF date string, "(D:YYYYMMDDHHmmSSZ)" in UTC. false for a
// time outside the years 0..9999 that a PDF date can hold.
[[nodiscard]] bool pdfDate(std::int64_t time, std::string& date);

class PdfFile {
public:
    // Starts the file with its header; objects are numbered from 1. The
    // text is written into buffer's storage, which a caller that makes
    // file after file hands back to save growing a new one each time.
    explicit PdfFile(std::string buffer = std::string());

    // Reserves the next object number; the object may be written later.
    std::int32_t reserveObject();
    // Starts object number (reserved before): its offset is the current one.
    void beginObject(std::int32_t number);
    void endObject();
    // A whole stream object: its dictionary (Length added, and the Flate
    // filter when compressed) and its data.
    void appendStream(std::int32_t number, std::string_view data, bool flateCompressed);
    // The same in two steps, the data appended to text() between them; the
    // whole stream must still be in text() at endStream.
    void beginStream(std::int32_t number, bool flateCompressed);
    void endStream();
    // The document information: the producer, and the creation and
    // modification dates when date (made by pdfDate) is not empty.
    void appendInfo(std::int32_t number, const std::string& date);
    // The cross-reference table and the trailer, which end the file. Every
    // reserved object must have been written.
    void finish(std::int32_t root, std::int32_t info);

    std::string& text() { return text_; }
    // The owner has written text() out: it starts again empty.
    void markWritten() {
        written_ += text_.size();
        text_.clear();
    }
    std::uint64_t size() const { return written_ + text_.size(); }

private:
    std::string text_;
    std::uint64_t written_ = 0;
    std::vector<std::uint64_t> offsets_;  // of object n at n - 1
    std::size_t lengthAt_ = 0;            // in text_, of the open stream's length
    std::size_t streamAt_ = 0;            // in text_, where its data starts
};

}  // namespace barwright
