#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "options/ByteSource.h"

namespace barwright {

// How the input is cut into records.
enum class RecordFormat {
    kLines,         // one record per line, its data written with the ~ escapes
    kRawLines,      // one record per line, its bytes taken as they are
    kBinary,        // the whole input is one record
    kCsv,           // RFC 4180 rows under a header row
    kNulSeparated,  // one record per NUL-terminated field, its bytes taken as they are
};

// What is wrong with a record. When several things are, the record carries
// the one listed last here: the more of the record it spoils, the later.
enum class RecordProblem {
    kNone,
    // CSV: the row has more or fewer cells than the header; the cells are
    // kept as read.
    kWrongCellCount,
    // CSV: a quote inside an unquoted field, or text after a closing quote.
    // The cells hold the common lenient reading (the stray quote or text is
    // taken as data, and the row ends where that reading ends it), but the
    // record must be refused: the writer most likely meant something else.
    kStrayQuote,
    // CSV: the input ended inside a quoted field; the cells hold everything
    // up to the end.
    kUnterminatedQuote,
    // The record was over the reader's limit: its bytes were dropped (data
    // and cells are empty) and reading went on after it.
    kTooLong,
};

struct Record {
    std::uint64_t number = 0;  // 1, 2, ... in input order; the CSV header is no record
    // The input line where the record begins, 1-based: blank lines and
    // line breaks inside quoted CSV fields count.
    std::uint64_t line = 0;
    std::string data;                // lines and binary input
    std::vector<std::string> cells;  // CSV, in the header's order
    RecordProblem problem = RecordProblem::kNone;
};

// Whether the CSV header row is there.
enum class HeaderState {
    kNotRead,  // not read yet, or reading the input failed (see error())
    kRead,
    kMissing,  // the input holds no row at all
    kFaulty,   // the header row has a problem (see headerProblem())
};

// Cuts a stream of bytes into records, one at a time. It holds one chunk of
// input and the record being read, never more, so that an input of any
// length streams through in bounded memory.
//
// Lines: a line feed ends a line, and a carriage return right before it is
// dropped; any other carriage return, a NUL, and every other byte are data
// (there are no UTF-8 checks). A last line without a line feed is a record.
// Empty lines are skipped but counted in the line numbers.
//
// NUL-separated: as lines, with a NUL byte where a line feed would be, and
// no carriage return dropped: every other byte, line feeds included, is
// data. Record.line counts the fields, empty ones included.
//
// Binary: the whole input is one record, an empty input one empty record.
//
// CSV: the first row is the header. A line feed, or a carriage return and a
// line feed, ends a row outside quotes; a lone carriage return is data, as
// in lines. Inside quotes everything is data, line breaks as they are, and
// "" is one quote. Blank lines are skipped, so a row of a single empty cell
// must be written "".
//
// Failures are returned, never thrown: when memory runs out, next() returns
// false and error() gives ENOMEM.
class RecordReader {
public:
    // How much is asked of the source at a time.
    static constexpr std::size_t kChunkBytes = 64 * 1024;
    // The default limit on one record. It only guards memory: a record
    // under it (a 1 MB line, say) reads whole, whatever becomes of it after.
    static constexpr std::size_t kDefaultRecordLimit = 16 * 1024 * 1024;
    // What each CSV cell counts against the limit besides its bytes, so that
    // a row of nothing but commas is bounded as well as a long cell.
    static constexpr std::size_t kCellOverheadBytes = sizeof(std::string);

    // `source` must outlive the reader. A record is too long when its data
    // (for CSV: its cells' bytes plus kCellOverheadBytes for each cell) is
    // over `recordLimit` bytes.
    RecordReader(ByteSource& source, RecordFormat format,
                 std::size_t recordLimit = kDefaultRecordLimit) noexcept;
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // Reads the next record into `record` (its storage is reused). False at
    // the end of the input, when reading failed (error() != 0), and for CSV
    // when the header is missing or faulty; then `record` is cleared, and
    // every later call returns false too.
    [[nodiscard]] bool next(Record& record) noexcept;

    // CSV: reads the header row unless it was read already; next() calls it
    // itself. True when the header is there and sound. Other formats have no
    // header: true, and nothing is read.
    [[nodiscard]] bool readHeader() noexcept;
    HeaderState headerState() const noexcept { return headerState_; }
    // What is wrong with a faulty header.
    RecordProblem headerProblem() const noexcept { return headerProblem_; }
    // The column names, as read (empty before readHeader()).
    const std::vector<std::string>& header() const noexcept { return header_; }

    // The errno of the failed read (ENOMEM when memory ran out); 0 while
    // nothing failed, and so at a clean end.
    int error() const noexcept { return error_; }
    RecordFormat format() const noexcept { return format_; }
    std::size_t recordLimit() const noexcept { return recordLimit_; }

private:
    class RowBuilder;
    struct RowScan;

    // Makes input available at begin_ when none is left; false at the end
    // of the input or when the read failed.
    bool fill() noexcept;
    // Lines and NUL-separated fields: the bytes up to the separator.
    bool nextLine(Record& record, char separator);
    bool nextBinary(Record& record);
    bool nextCsv(Record& record);
    void readHeaderRow();
    // One CSV row, blank lines skipped; false when no row is left or the
    // read failed. `startLine` is where it begins.
    bool readRow(RowBuilder& row, std::uint64_t& startLine);
    // The steps of readRow: each takes what it can of the chunk, and those
    // that return bool say whether the row has ended.
    bool scanUnquoted(RowBuilder& row, RowScan& scan);
    void scanQuoted(RowBuilder& row, RowScan& scan);
    bool scanAfterQuote(RowBuilder& row, RowScan& scan);
    bool endLine(RowBuilder& row, RowScan& scan);
    // Outside quotes: a line feed ends the line (ended: and the row), a
    // carriage return waits for the next byte. False for any other byte.
    bool takeLineBreak(char c, RowBuilder& row, RowScan& scan, bool& ended);
    void takeCarriageReturnAsData(RowBuilder& row, RowScan& scan);

    ByteSource& source_;
    RecordFormat format_;
    std::size_t recordLimit_;

    std::unique_ptr<char[]> buffer_;  // kChunkBytes, allocated at the first read
    const char* begin_ = nullptr;     // the input not used yet
    const char* end_ = nullptr;
    bool inputEnded_ = false;  // the source said end, or failed
    bool finished_ = false;    // next() has returned false
    int error_ = 0;

    std::uint64_t line_ = 1;  // the line that begin_ is on
    std::uint64_t recordCount_ = 0;

    HeaderState headerState_ = HeaderState::kNotRead;
    RecordProblem headerProblem_ = RecordProblem::kNone;
    std::vector<std::string> header_;
};

}  // namespace barwright
