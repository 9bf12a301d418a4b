// The record reader: lines, binary input and CSV cut into records, with the
// same result wherever the chunk boundaries fall; read failures; and a long
// stream read in bounded memory. (Reading a file: tests/batch.)
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "options/MemorySource.h"
#include "options/RecordReader.h"

namespace barwright {
namespace {

using P = RecordProblem;

// 0: the reader's own chunk size; the others put boundaries everywhere.
constexpr std::size_t kChunkSizes[] = {0, 1, 2, 3, 7};

struct Expected {
    std::uint64_t line;
    std::string data = {};                // lines and binary
    std::vector<std::string> cells = {};  // CSV
    RecordProblem problem = P::kNone;
};

struct Outcome {
    std::vector<Record> records;
    std::vector<std::string> header;
    HeaderState headerState;
    int error;
};

Outcome readAll(const std::string& input, RecordFormat format, std::size_t chunkBytes,
                std::size_t limit) {
    MemorySource source(input, chunkBytes);
    RecordReader reader(source, format, limit);
    Outcome outcome;
    Record record;
    while (reader.next(record)) {
        outcome.records.push_back(record);
    }
    EXPECT_FALSE(reader.next(record)) << "an ended reader stays ended";
    outcome.header = reader.header();
    outcome.headerState = reader.headerState();
    outcome.error = reader.error();
    return outcome;
}

void expectRecords(const Outcome& outcome, const std::vector<Expected>& expected) {
    EXPECT_EQ(outcome.error, 0);
    ASSERT_EQ(outcome.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const Record& record = outcome.records[i];
        EXPECT_EQ(record.number, i + 1);
        EXPECT_EQ(record.line, expected[i].line);
        EXPECT_EQ(record.data, expected[i].data);
        EXPECT_EQ(record.cells, expected[i].cells);
        EXPECT_EQ(record.problem, expected[i].problem);
    }
}

const std::string kMegabyte(1'000'000, 'x');

struct LinesCase {
    const char* name;
    std::string input;
    std::vector<Expected> records;
    std::size_t limit = RecordReader::kDefaultRecordLimit;
};

const LinesCase kLinesCases[] = {
    {"LineFeeds", "a\nb\n", {{1, "a"}, {2, "b"}}},
    {"CrLf", "a\r\nb\r\n", {{1, "a"}, {2, "b"}}},
    {"LoneCarriageReturnIsData", "a\rb\n\r\nc\r", {{1, "a\rb"}, {3, "c\r"}}},
    {"EmptyLinesSkippedButCounted", "\n\na\n\r\n\nb\n\n", {{3, "a"}, {6, "b"}}},
    {"LastLineWithoutLineFeed", "a\nb", {{1, "a"}, {2, "b"}}},
    {"NothingButLineBreaks", "\n\r\n\n", {}},
    {"EmptyInput", "", {}},
    {"Nul", std::string("a\0b\n\0", 5), {{1, std::string("a\0b", 3)}, {2, std::string(1, '\0')}}},
    {"InvalidUtf8", "\xff\xfe\xc3\n\xc3\x28", {{1, "\xff\xfe\xc3"}, {2, "\xc3\x28"}}},
    {"OneMegabyteLine", kMegabyte + "\nnext", {{1, kMegabyte}, {2, "next"}}},
    {"OverTheLimitDroppedAndReadOn",
     "abcd\nabcde\nab",
     {{1, "abcd"}, {2, "", {}, P::kTooLong}, {3, "ab"}},
     4},
    // The CR of a CR LF is no data, so it does not count; a CR without LF does.
    {"CrLfAtTheLimit", "abcd\r\nabcd\r", {{1, "abcd"}, {2, "", {}, P::kTooLong}}, 4},
};

TEST(RecordReaderTest, Lines) {
    for (const LinesCase& c : kLinesCases) {
        for (const RecordFormat format : {RecordFormat::kLines, RecordFormat::kRawLines}) {
            for (const std::size_t chunk : kChunkSizes) {
                SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
                expectRecords(readAll(c.input, format, chunk, c.limit), c.records);
            }
        }
    }
}

// NUL-separated records: the same cutting, a NUL where the line feed was,
// and no byte dropped before it.
TEST(RecordReaderTest, NulSeparated) {
    const std::string nul(1, '\0');
    const LinesCase cases[] = {
        {"Separators", "a\nb" + nul + "c\r\n" + nul, {{1, "a\nb"}, {2, "c\r\n"}}},
        {"EmptyRecordsSkippedButCounted", nul + nul + "a" + nul + nul + "b", {{3, "a"}, {5, "b"}}},
        {"CarriageReturnCounts",
         "abcd\r" + nul + "abcd",
         {{1, "", {}, P::kTooLong}, {2, "abcd"}},
         4},
    };
    for (const LinesCase& c : cases) {
        for (const std::size_t chunk : kChunkSizes) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            expectRecords(readAll(c.input, RecordFormat::kNulSeparated, chunk, c.limit), c.records);
        }
    }
}

TEST(RecordReaderTest, Binary) {
    const struct {
        const char* name;
        std::string input;
        Expected record;
        std::size_t limit;
    } cases[] = {
        {"EmptyInputIsOneEmptyRecord", "", {1, ""}, 4},
        {"EveryByteIsData",
         std::string("a\0\r\n\n\xff", 6),
         {1, std::string("a\0\r\n\n\xff", 6)},
         6},
        {"OverTheLimit", "abcde", {1, "", {}, P::kTooLong}, 4},
    };
    for (const auto& c : cases) {
        for (const std::size_t chunk : kChunkSizes) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            expectRecords(readAll(c.input, RecordFormat::kBinary, chunk, c.limit), {c.record});
        }
    }
}

struct CsvCase {
    const char* name;
    std::string input;
    HeaderState headerState;
    std::vector<std::string> header;
    std::vector<Expected> records;
    std::size_t limit = RecordReader::kDefaultRecordLimit;
};

const std::vector<std::string> kAb = {"a", "b"};
constexpr HeaderState kRead = HeaderState::kRead;

const CsvCase kCsvCases[] = {
    {"Plain", "a,b\n1,2\n3,4", kRead, kAb, {{2, "", {"1", "2"}}, {3, "", {"3", "4"}}}},
    {"QuotesAndCommas",
     "a,b\n\"x,y\",\"say \"\"hi\"\"\"\n",
     kRead,
     kAb,
     {{2, "", {"x,y", "say \"hi\""}}}},
    {"LineBreaksInQuotesKeptAsTheyAre",
     "a,b\n\"l1\nl2\",\"c\r\nd\"\n5,6\n",
     kRead,
     kAb,
     {{2, "", {"l1\nl2", "c\r\nd"}}, {5, "", {"5", "6"}}}},
    {"CrLf", "a,b\r\n1,2\r\n\"3\",4\r\n", kRead, kAb, {{2, "", {"1", "2"}}, {3, "", {"3", "4"}}}},
    {"BlankLinesSkippedButCounted",
     "\r\na,b\n\n1,2\n\r\n\n3,4\n\n",
     kRead,
     kAb,
     {{4, "", {"1", "2"}}, {7, "", {"3", "4"}}}},
    {"EmptyCells", "a,b\n,\n\"\",x\n", kRead, kAb, {{2, "", {"", ""}}, {3, "", {"", "x"}}}},
    {"LoneCarriageReturnIsData", "a,b\nx\ry,\r\n", kRead, kAb, {{2, "", {"x\ry", ""}}}},
    {"WrongCellCounts",
     "a,b\n1\n1,2,3\n",
     kRead,
     kAb,
     {{2, "", {"1"}, P::kWrongCellCount}, {3, "", {"1", "2", "3"}, P::kWrongCellCount}}},
    {"UnterminatedQuote",
     "a,b\n1,\"open\nrest",
     kRead,
     kAb,
     {{2, "", {"1", "open\nrest"}, P::kUnterminatedQuote}}},
    {"StrayQuoteInUnquotedField",
     "a,b\nx\"y,2\n3,4\n",
     kRead,
     kAb,
     {{2, "", {"x\"y", "2"}, P::kStrayQuote}, {3, "", {"3", "4"}}}},
    {"TextAfterClosingQuote",
     "a,b\n\"x\"y,2\n\"x\"\r,2\n",
     kRead,
     kAb,
     {{2, "", {"xy", "2"}, P::kStrayQuote}, {3, "", {"x\r", "2"}, P::kStrayQuote}}},
    {"HeaderOnly", "a,b\n", kRead, kAb, {}},
    {"EmptyInputHasNoHeader", "", HeaderState::kMissing, {}, {}},
    {"BlankLinesOnlyHaveNoHeader", "\n\r\n", HeaderState::kMissing, {}, {}},
    {"FaultyHeaderEndsTheInput", "a\"x,b\n1,2\n", HeaderState::kFaulty, {"a\"x", "b"}, {}},
    {"OneMegabyteCell", "a,b\n\"" + kMegabyte + "\",1\n", kRead, kAb, {{2, "", {kMegabyte, "1"}}}},
    // 2 cells of 32 bytes' overhead each: 100 bytes leave 36 for the text.
    {"OverTheLimitDroppedAndReadOn",
     "a,b\n" + std::string(37, 'x') + ",\"\n\"\n3,4\n",
     kRead,
     kAb,
     {{2, "", {}, P::kTooLong}, {4, "", {"3", "4"}}},
     2 * RecordReader::kCellOverheadBytes + 36},
};

TEST(RecordReaderTest, Csv) {
    for (const CsvCase& c : kCsvCases) {
        for (const std::size_t chunk : kChunkSizes) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            const Outcome outcome = readAll(c.input, RecordFormat::kCsv, chunk, c.limit);
            EXPECT_EQ(outcome.headerState, c.headerState);
            EXPECT_EQ(outcome.header, c.header);
            expectRecords(outcome, c.records);
        }
    }
}

// Hands out its bytes, then fails with EIO.
class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* buffer, std::size_t capacity) noexcept override {
        const std::size_t count = std::min(capacity, bytes_.size() - position_);
        bytes_.copy(buffer, count, position_);
        position_ += count;
        if (count == 0) {
            error_ = EIO;
        }
        return count;
    }
    int error() const noexcept override { return error_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
    int error_ = 0;
};

TEST(RecordReaderTest, ReadFailuresEndReadingWithTheirErrno) {
    FailingSource failing("a\nb");  // "b" is cut off by the failure
    RecordReader lines(failing, RecordFormat::kLines);
    Record record;
    ASSERT_TRUE(lines.next(record));
    EXPECT_EQ(record.data, "a");
    EXPECT_FALSE(lines.next(record));
    EXPECT_EQ(lines.error(), EIO);

    FailingSource failingBeforeHeader("");
    RecordReader csv(failingBeforeHeader, RecordFormat::kCsv);
    EXPECT_FALSE(csv.next(record));
    EXPECT_EQ(csv.error(), EIO);
    EXPECT_EQ(csv.headerState(), HeaderState::kNotRead);
}

// Makes records as they are asked for, and at every read looks at how much
// memory the record being filled holds: the reader must never let it grow
// past the limit, however long the input or its records.
class GeneratingSource final : public ByteSource {
public:
    static constexpr std::uint64_t kRecordCount = 100'000;
    static constexpr std::uint64_t kLongEvery = 10'000;  // then a 1 MB record
    static constexpr std::size_t kLongBytes = 1'000'000;

    GeneratingSource(bool csv, const Record& watched) : csv_(csv), watched_(watched) {
        if (csv_) {
            pending_ = "data,output\n";
        }
    }

    std::size_t read(char* buffer, std::size_t capacity) noexcept override {
        std::size_t heldBytes =
            watched_.data.capacity() + watched_.cells.capacity() * sizeof(std::string);
        for (const std::string& cell : watched_.cells) {
            heldBytes += cell.capacity();
        }
        mostHeldBytes_ = std::max(mostHeldBytes_, heldBytes);

        std::size_t count = 0;
        while (count < capacity) {
            if (position_ == pending_.size()) {
                if (made_ == kRecordCount) {
                    break;
                }
                makeRecord();
            }
            const std::size_t part = std::min(capacity - count, pending_.size() - position_);
            pending_.copy(buffer + count, part, position_);
            position_ += part;
            count += part;
        }
        return count;
    }

    std::size_t mostHeldBytes() const { return mostHeldBytes_; }
    static std::string dataOf(std::uint64_t number) { return "record " + std::to_string(number); }
    static bool isLong(std::uint64_t number) { return number % kLongEvery == 0; }

private:
    void makeRecord() {
        ++made_;
        const std::string data = isLong(made_) ? std::string(kLongBytes, 'x') : dataOf(made_);
        pending_ = csv_ ? data + "," + std::to_string(made_) + ".png\r\n" : data + "\n";
        position_ = 0;
    }

    bool csv_;
    const Record& watched_;
    std::string pending_;
    std::size_t position_ = 0;
    std::uint64_t made_ = 0;
    std::size_t mostHeldBytes_ = 0;
};

TEST(RecordReaderTest, LongStreamInBoundedMemory) {
    constexpr std::size_t kLimit = 64 * 1024;
    for (const RecordFormat format : {RecordFormat::kLines, RecordFormat::kCsv}) {
        SCOPED_TRACE(format == RecordFormat::kCsv ? "CSV" : "lines");
        Record record;
        GeneratingSource source(format == RecordFormat::kCsv, record);
        RecordReader reader(source, format, kLimit);
        std::uint64_t count = 0;
        std::uint64_t mismatches = 0;
        while (reader.next(record)) {
            ++count;
            const bool isLong = GeneratingSource::isLong(count);
            const std::string expected = isLong ? "" : GeneratingSource::dataOf(count);
            const std::string data = format != RecordFormat::kCsv ? record.data
                                     : record.cells.empty()       ? ""
                                                                  : record.cells[0];
            if (record.number != count || record.line != count + (format == RecordFormat::kCsv) ||
                (record.problem == P::kTooLong) != isLong || data != expected) {
                ++mismatches;
            }
        }
        EXPECT_EQ(reader.error(), 0);
        EXPECT_EQ(count, GeneratingSource::kRecordCount);
        EXPECT_EQ(mismatches, 0u);
        // A string may double its room as it grows, so twice the limit (and
        // the CR LF's byte) bounds it; a 1 MB record kept would be far above.
        EXPECT_LE(source.mostHeldBytes(), 2 * (kLimit + 1));
    }
}

}  // namespace
}  // namespace barwright
