// The record reader over any bytes. The first byte picks the format, the
// chunk size and the record limit (as digits of mixed bases); the rest is the
// input. The reader must
// end, number its records 1, 2, ..., keep their lines rising, keep each within
// the limit, give CSV records as many cells as the header unless it names a
// problem, and give the same records wherever the chunk boundaries fall.
// Lines, NUL-separated records and binary input are checked against a plain
// reading of the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "options/MemorySource.h"
#include "options/RecordReader.h"

namespace {

using namespace barwright;

constexpr RecordFormat kFormats[] = {RecordFormat::kLines, RecordFormat::kRawLines,
                                     RecordFormat::kBinary, RecordFormat::kCsv,
                                     RecordFormat::kNulSeparated};
constexpr std::size_t kFormatCount = sizeof kFormats / sizeof kFormats[0];
// 0 is the reader's own chunk size.
constexpr std::size_t kChunkSizes[] = {0, 1, 2, 3, 5, 8, 13, 64};
// Small limits so that records over them are common; the last never bites.
// The first byte reaches the first seven (256 / (5 x 8) is 6.4).
constexpr std::size_t kLimits[] = {64, 80, 100, 256, 1024, 4096, RecordReader::kDefaultRecordLimit};

struct Reading {
    std::vector<Record> records;
    std::vector<std::string> header;
    HeaderState headerState = HeaderState::kNotRead;
    RecordProblem headerProblem = RecordProblem::kNone;
};

bool sameRecord(const Record& a, const Record& b) {
    return a.number == b.number && a.line == b.line && a.data == b.data && a.cells == b.cells &&
           a.problem == b.problem;
}

// Reads everything, checking what holds for every reading on the way.
Reading readAll(std::string_view input, RecordFormat format, std::size_t chunkBytes,
                std::size_t limit) {
    MemorySource source(input, chunkBytes);
    RecordReader reader(source, format, limit);
    Reading reading;
    Record record;
    const char separator = format == RecordFormat::kNulSeparated ? '\0' : '\n';
    std::uint64_t lineCount = 1;
    for (const char c : input) {
        lineCount += c == separator ? 1 : 0;
    }
    // Every record but binary input's uses up at least one byte.
    const std::size_t callLimit = input.size() + 2;
    for (std::size_t call = 0;; ++call) {
        if (call > callLimit) {
            abort();
        }
        if (!reader.next(record)) {
            break;
        }
        const Record* previous = reading.records.empty() ? nullptr : &reading.records.back();
        if (record.number != reading.records.size() + 1) {
            abort();
        }
        if (record.line < 1 || record.line > lineCount ||
            (previous != nullptr && record.line <= previous->line)) {
            abort();
        }
        std::size_t storedBytes = record.data.size();
        for (const std::string& cell : record.cells) {
            storedBytes += cell.size() + RecordReader::kCellOverheadBytes;
        }
        if (storedBytes > limit) {
            abort();
        }
        if (record.problem == RecordProblem::kTooLong && storedBytes != 0) {
            abort();  // the bytes of a record over the limit are dropped
        }
        if (format == RecordFormat::kCsv) {
            if (!record.data.empty() || reader.headerState() != HeaderState::kRead ||
                (record.problem == RecordProblem::kNone &&
                 record.cells.size() != reader.header().size())) {
                abort();
            }
        } else if (!record.cells.empty() || (record.problem != RecordProblem::kNone &&
                                             record.problem != RecordProblem::kTooLong)) {
            abort();
        }
        reading.records.push_back(record);
    }
    if (reader.next(record) || reader.error() != 0) {
        abort();  // an ended reader stays ended; memory cannot fail to be read
    }
    reading.header = reader.header();
    reading.headerState = reader.headerState();
    reading.headerProblem = reader.headerProblem();
    if (format == RecordFormat::kCsv) {
        if (reading.headerState == HeaderState::kNotRead ||
            (reading.headerState != HeaderState::kRead && !reading.records.empty())) {
            abort();
        }
    } else if (reading.headerState != HeaderState::kNotRead || !reading.header.empty()) {
        abort();
    }
    return reading;
}

// The lines of the input as the reader must give them: split at line feeds
// (or NUL bytes), a carriage return before a line feed dropped, empty lines
// left out.
std::vector<std::string> plainLines(std::string_view input, char separator) {
    std::vector<std::string> lines;
    while (!input.empty()) {
        const std::size_t lineFeed = input.find(separator);
        std::string_view line = input.substr(0, lineFeed);
        if (separator == '\n' && lineFeed != std::string_view::npos && !line.empty() &&
            line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        input.remove_prefix(lineFeed == std::string_view::npos ? input.size() : lineFeed + 1);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t choice = data[0];
    const RecordFormat format = kFormats[choice % kFormatCount];
    const std::size_t chunkBytes = kChunkSizes[choice / kFormatCount % 8];
    const std::size_t limit = kLimits[choice / kFormatCount / 8];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    const Reading reading = readAll(input, format, chunkBytes, limit);
    if (chunkBytes != 0) {
        const Reading whole = readAll(input, format, 0, limit);
        if (whole.records.size() != reading.records.size() || whole.header != reading.header ||
            whole.headerState != reading.headerState ||
            whole.headerProblem != reading.headerProblem) {
            abort();
        }
        for (std::size_t i = 0; i < whole.records.size(); ++i) {
            if (!sameRecord(whole.records[i], reading.records[i])) {
                abort();
            }
        }
    }

    if (format == RecordFormat::kBinary) {
        const bool fits = input.size() <= limit;
        if (reading.records.size() != 1 || (fits && reading.records[0].data != input) ||
            fits != (reading.records[0].problem == RecordProblem::kNone)) {
            abort();
        }
    } else if (format != RecordFormat::kCsv) {
        const std::vector<std::string> lines =
            plainLines(input, format == RecordFormat::kNulSeparated ? '\0' : '\n');
        if (lines.size() != reading.records.size()) {
            abort();
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Record& record = reading.records[i];
            const bool fits = lines[i].size() <= limit;
            if (fits != (record.problem == RecordProblem::kNone) ||
                (fits && record.data != lines[i])) {
                abort();
            }
        }
    }
    return 0;
}
