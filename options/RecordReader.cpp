#include "options/RecordReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace barwright {

// Collects one CSV row into a vector of cells, counting what it stores
// against the limit. Over the limit, the cells are let go and nothing more
// is stored, but the fields are still counted so that the row reads to its
// end like any other.
class RecordReader::RowBuilder {
public:
    RowBuilder(std::vector<std::string>& cells, std::size_t limit) : cells_(cells), limit_(limit) {}

    void start() {
        cells_.clear();
        storedBytes_ = 0;
        fieldCount_ = 0;
        dropped_ = false;
        problem_ = RecordProblem::kNone;
        startField();
    }
    void startField() {
        ++fieldCount_;
        if (reserve(kCellOverheadBytes)) {
            cells_.emplace_back();
        }
    }
    void append(const char* bytes, std::size_t count) {
        if (reserve(count)) {
            cells_.back().append(bytes, count);
        }
    }
    // Keeps the problem that spoils the most (see RecordProblem).
    void note(RecordProblem problem) { problem_ = std::max(problem_, problem); }

    std::uint64_t fieldCount() const { return fieldCount_; }
    RecordProblem problem() const { return problem_; }

private:
    // False once the row is over the limit.
    bool reserve(std::size_t count) {
        if (dropped_) {
            return false;
        }
        if (count > limit_ - storedBytes_) {
            dropped_ = true;
            note(RecordProblem::kTooLong);
            std::vector<std::string>().swap(cells_);  // gives the memory back
            return false;
        }
        storedBytes_ += count;
        return true;
    }

    std::vector<std::string>& cells_;
    std::size_t limit_;
    std::size_t storedBytes_ = 0;  // never over limit_
    std::uint64_t fieldCount_ = 0;
    bool dropped_ = false;
    RecordProblem problem_ = RecordProblem::kNone;
};

RecordReader::RecordReader(ByteSource& source, RecordFormat format,
                           std::size_t recordLimit) noexcept
    : source_(source), format_(format), recordLimit_(recordLimit) {}

RecordReader::~RecordReader() = default;

bool RecordReader::fill() noexcept {
    if (begin_ != end_) {
        return true;
    }
    if (inputEnded_) {
        return false;
    }
    if (!buffer_) {
        buffer_.reset(new (std::nothrow) char[kChunkBytes]);
        if (!buffer_) {
            error_ = ENOMEM;
            inputEnded_ = true;
            return false;
        }
    }
    const std::size_t count = std::min(source_.read(buffer_.get(), kChunkBytes), kChunkBytes);
    if (count == 0) {
        error_ = source_.error();
        inputEnded_ = true;
        return false;
    }
    begin_ = buffer_.get();
    end_ = begin_ + count;
    return true;
}

bool RecordReader::next(Record& record) noexcept {
    if (finished_) {
        return false;
    }
    bool found = false;
    try {
        switch (format_) {
            case RecordFormat::kLines:
            case RecordFormat::kRawLines:
                found = nextLine(record, '\n');
                break;
            case RecordFormat::kNulSeparated:
                found = nextLine(record, '\0');
                break;
            case RecordFormat::kBinary:
                found = nextBinary(record);
                break;
            case RecordFormat::kCsv:
                found = nextCsv(record);
                break;
        }
    } catch (const std::bad_alloc&) {
        // A record under the limit did not fit in memory: reading cannot go
        // on without losing it, so it stops here, as on a failed read.
        error_ = ENOMEM;
        inputEnded_ = true;
        found = false;
    }
    if (!found) {
        finished_ = true;
        record.data.clear();
        record.cells.clear();
        record.problem = RecordProblem::kNone;
    }
    return found;
}

bool RecordReader::nextLine(Record& record, char separator) {
    // Only a line may end in CR LF.
    const bool lines = separator == '\n';
    record.cells.clear();
    for (;;) {
        record.data.clear();
        const std::uint64_t startLine = line_;
        std::uint64_t lineBytes = 0;  // before the separator, a carriage return included
        char lastByte = 0;
        bool terminated = false;
        bool dropped = false;
        while (!terminated && fill()) {
            const std::size_t available = static_cast<std::size_t>(end_ - begin_);
            const char* separatorAt =
                static_cast<const char*>(std::memchr(begin_, separator, available));
            const std::size_t count =
                separatorAt != nullptr ? static_cast<std::size_t>(separatorAt - begin_) : available;
            if (count > 0) {
                lineBytes += count;
                lastByte = begin_[count - 1];
                // One byte over the limit may still be the carriage return
                // of a CR LF, which is no data.
                if (!dropped && lineBytes - (lines ? 1 : 0) > recordLimit_) {
                    dropped = true;
                    std::string().swap(record.data);
                }
                if (!dropped) {
                    record.data.append(begin_, count);
                }
            }
            begin_ += count;
            if (separatorAt != nullptr) {
                ++begin_;
                terminated = true;
            }
        }
        if (error_ != 0 || (!terminated && lineBytes == 0)) {
            return false;  // a failed read loses the line it was in
        }
        if (terminated) {
            ++line_;
        }
        const bool crLf = lines && terminated && lastByte == '\r';
        const std::uint64_t dataBytes = lineBytes - (crLf ? 1 : 0);
        if (dataBytes == 0) {
            continue;  // an empty line
        }
        record.problem = RecordProblem::kNone;
        if (dataBytes > recordLimit_) {
            std::string().swap(record.data);
            record.problem = RecordProblem::kTooLong;
        } else if (crLf) {
            record.data.pop_back();
        }
        record.number = ++recordCount_;
        record.line = startLine;
        return true;
    }
}

bool RecordReader::nextBinary(Record& record) {
    if (recordCount_ > 0) {
        return false;
    }
    record.cells.clear();
    record.data.clear();
    record.problem = RecordProblem::kNone;
    std::uint64_t totalBytes = 0;
    // Over the limit the input is still read to its end, so that a failed
    // read is noticed and a writer into a pipe is not cut off.
    while (fill()) {
        const std::size_t count = static_cast<std::size_t>(end_ - begin_);
        totalBytes += count;
        if (record.problem == RecordProblem::kNone && totalBytes > recordLimit_) {
            record.problem = RecordProblem::kTooLong;
            std::string().swap(record.data);
        }
        if (record.problem == RecordProblem::kNone) {
            record.data.append(begin_, count);
        }
        begin_ = end_;
    }
    if (error_ != 0) {
        return false;
    }
    record.number = ++recordCount_;
    record.line = 1;
    return true;
}

bool RecordReader::readHeader() noexcept {
    if (format_ != RecordFormat::kCsv) {
        return true;
    }
    if (headerState_ == HeaderState::kNotRead && !finished_) {
        try {
            readHeaderRow();
        } catch (const std::bad_alloc&) {
            error_ = ENOMEM;
            inputEnded_ = true;
            header_.clear();
        }
    }
    return headerState_ == HeaderState::kRead;
}

void RecordReader::readHeaderRow() {
    RowBuilder row(header_, recordLimit_);
    std::uint64_t startLine = 0;
    if (!readRow(row, startLine)) {
        header_.clear();
        if (error_ == 0) {
            headerState_ = HeaderState::kMissing;
        }
        return;
    }
    headerProblem_ = row.problem();
    headerState_ =
        headerProblem_ == RecordProblem::kNone ? HeaderState::kRead : HeaderState::kFaulty;
}

bool RecordReader::nextCsv(Record& record) {
    if (!readHeader()) {
        return false;
    }
    record.data.clear();
    RowBuilder row(record.cells, recordLimit_);
    std::uint64_t startLine = 0;
    if (!readRow(row, startLine)) {
        return false;
    }
    if (row.fieldCount() != header_.size()) {
        row.note(RecordProblem::kWrongCellCount);
    }
    record.problem = row.problem();
    record.number = ++recordCount_;
    record.line = startLine;
    return true;
}

namespace {

// Bytes that end a run of plain text outside quotes.
bool endsUnquotedRun(char c) { return c == ',' || c == '\n' || c == '\r' || c == '"'; }

}  // namespace

// What readRow knows of the row so far, from one chunk of input to the next.
struct RecordReader::RowScan {
    enum class State {
        kFieldStart,  // nothing of the field read yet
        kUnquoted,
        kQuoted,
        kQuoteSeen,  // a quote inside a quoted field: "" or the closing one
    };
    State state = State::kFieldStart;
    // A carriage return outside quotes: the next byte tells whether it ends
    // the row (CR LF) or is data. It may lie in the next chunk.
    bool pendingCarriageReturn = false;
    bool hasContent = false;  // anything besides a line ending; false for a blank line
    std::uint64_t startLine = 0;
};

void RecordReader::takeCarriageReturnAsData(RowBuilder& row, RowScan& scan) {
    scan.pendingCarriageReturn = false;
    scan.hasContent = true;
    if (scan.state == RowScan::State::kQuoteSeen) {
        row.note(RecordProblem::kStrayQuote);
    }
    row.append("\r", 1);
    scan.state = RowScan::State::kUnquoted;
}

bool RecordReader::endLine(RowBuilder& row, RowScan& scan) {
    ++line_;
    if (scan.hasContent) {
        return true;
    }
    // A blank line: skipped, and the row starts on the next.
    scan.startLine = line_;
    row.start();
    scan.state = RowScan::State::kFieldStart;
    return false;
}

bool RecordReader::takeLineBreak(char c, RowBuilder& row, RowScan& scan, bool& ended) {
    if (c == '\n') {
        ended = endLine(row, scan);
        return true;
    }
    if (c == '\r') {
        scan.pendingCarriageReturn = true;
        return true;
    }
    return false;
}

bool RecordReader::scanUnquoted(RowBuilder& row, RowScan& scan) {
    const char* stop = std::find_if(begin_, end_, endsUnquotedRun);
    if (stop != begin_) {
        row.append(begin_, static_cast<std::size_t>(stop - begin_));
        begin_ = stop;
        scan.hasContent = true;
        scan.state = RowScan::State::kUnquoted;
        return false;
    }
    const char c = *begin_++;
    bool ended = false;
    if (takeLineBreak(c, row, scan, ended)) {
        return ended;
    }
    if (c == ',') {
        scan.hasContent = true;
        row.startField();
        scan.state = RowScan::State::kFieldStart;
    } else if (scan.state == RowScan::State::kFieldStart) {  // c is a quote
        scan.hasContent = true;
        scan.state = RowScan::State::kQuoted;
    } else {
        row.note(RecordProblem::kStrayQuote);
        row.append(&c, 1);
    }
    return false;
}

void RecordReader::scanQuoted(RowBuilder& row, RowScan& scan) {
    const char* stop = std::find_if(begin_, end_, [](char c) { return c == '"' || c == '\n'; });
    if (stop != begin_) {
        row.append(begin_, static_cast<std::size_t>(stop - begin_));
        begin_ = stop;
        return;
    }
    const char c = *begin_++;
    if (c == '\n') {
        ++line_;  // a line break inside quotes is data
        row.append(&c, 1);
    } else {
        scan.state = RowScan::State::kQuoteSeen;
    }
}

bool RecordReader::scanAfterQuote(RowBuilder& row, RowScan& scan) {
    const char c = *begin_++;
    bool ended = false;
    if (takeLineBreak(c, row, scan, ended)) {
        return ended;
    }
    if (c == '"') {
        row.append(&c, 1);
        scan.state = RowScan::State::kQuoted;
    } else if (c == ',') {
        row.startField();
        scan.state = RowScan::State::kFieldStart;
    } else {
        row.note(RecordProblem::kStrayQuote);
        row.append(&c, 1);
        scan.state = RowScan::State::kUnquoted;
    }
    return false;
}

bool RecordReader::readRow(RowBuilder& row, std::uint64_t& startLine) {
    RowScan scan;
    scan.startLine = line_;
    row.start();
    for (;;) {
        startLine = scan.startLine;
        if (!fill()) {
            if (error_ != 0) {
                return false;
            }
            if (scan.pendingCarriageReturn) {
                takeCarriageReturnAsData(row, scan);
            }
            if (scan.state == RowScan::State::kQuoted && scan.hasContent) {
                row.note(RecordProblem::kUnterminatedQuote);
            }
            return scan.hasContent;
        }
        if (scan.pendingCarriageReturn) {
            if (*begin_ != '\n') {
                takeCarriageReturnAsData(row, scan);
                continue;
            }
            scan.pendingCarriageReturn = false;
            ++begin_;
            if (endLine(row, scan)) {
                return true;
            }
            continue;
        }
        bool ended = false;
        switch (scan.state) {
            case RowScan::State::kFieldStart:
            case RowScan::State::kUnquoted:
                ended = scanUnquoted(row, scan);
                break;
            case RowScan::State::kQuoted:
                scanQuoted(row, scan);
                break;
            case RowScan::State::kQuoteSeen:
                ended = scanAfterQuote(row, scan);
                break;
        }
        if (ended) {
            return true;
        }
    }
}

}  // namespace barwright
