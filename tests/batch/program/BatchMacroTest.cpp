// Macro PDF417 from barwright-batch: each record's data spread over --macro
// symbols, read back by zxing-cpp and joined again to the record's data.
// Records have file IDs of their own unless --file-id gives one for all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"

namespace barwright::test {
namespace {

struct MacroCase {
    const char* name;
    std::vector<std::string> arguments;  // before the TEMPLATE
    std::string names;                   // TEMPLATE, with {n} and {s}
    std::string format;                  // the files' extension
    int segments;
    std::vector<std::string> expectedIds;  // per record, as zxing-cpp shows them
};

void PrintTo(const MacroCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::string> kData = {
    "Invoice 2024-117: 3 items, 42.00 GBP; deliver to 42 Harbour Road, Leeds.",
    "0123456789012345678901234567890123456789",
    std::string("bytes\0\x01\x02\xff and text", 18),
};
// The input lines that give kData.
const std::string kInput =
    "Invoice 2024-117: 3 items, 42.00 GBP; deliver to 42 Harbour Road, Leeds.\n"
    "0123456789012345678901234567890123456789\n"
    "bytes~X00~X01~X02~XFF and text\n";

const MacroCase kMacroCases[] = {
    {"ThreeSegmentsOwnIds", {}, "{n}-{s}.png", "png", 3, {"001", "002", "003"}},
    {"TwoSegmentsSharedId", {"--file-id", "#123456"}, "{n}-{s:2}.png", "png", 2,
     {"123456", "123456", "123456"}},
    {"CompactTurnedBits", {"-t", "1", "-o", "270", "--format", "png1"}, "m{s}-{n}.png", "png", 4,
     {"001", "002", "003"}},
    {"OneSegment", {}, "{n}.png", "png", 1, {"001", "002", "003"}},
    {"SvgSegments", {"-c", "4"}, "{n}-{s}.svg", "svg", 2, {"001", "002", "003"}},
};

std::string fileName(const std::string& names, int record, int segment) {
    std::string name = names;
    const auto put = [&](const std::string& placeholder, const std::string& value) {
        const std::size_t at = name.find(placeholder);
        if (at != std::string::npos) name.replace(at, placeholder.size(), value);
    };
    put("{n}", std::to_string(record));
    put("{s}", std::to_string(segment));
    put("{s:2}", (segment < 10 ? "0" : "") + std::to_string(segment));
    return name;
}

class BatchMacro : public testing::TestWithParam<MacroCase> {};

TEST_P(BatchMacro, SegmentsJoinToTheRecord) {
    const MacroCase& c = GetParam();
    TemporaryDirectory directory;
    writeFile(directory.path() / "records.txt", kInput);
    std::vector<std::string> arguments = {"--macro", std::to_string(c.segments), "--input",
                                          "records.txt"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.push_back(c.names);
    const ProgramRun run = runBatch(arguments, directory.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(directory.entries().size(), 1 + kData.size() * static_cast<std::size_t>(c.segments));

    for (std::size_t record = 0; record < kData.size(); ++record) {
        SCOPED_TRACE("record " + std::to_string(record + 1));
        ZXing::Results results;
        for (int segment = 1; segment <= c.segments; ++segment) {
            std::filesystem::path file =
                directory.path() / fileName(c.names, static_cast<int>(record) + 1, segment);
            if (c.format == "svg") {
                const std::filesystem::path drawn = file.string() + ".png";
                ASSERT_EQ(rasteriseSvg(file, drawn), "");
                file = drawn;
            }
            const PngImage image = readPngAsRgb(file);
            ASSERT_TRUE(image.valid) << file << ": " << image.error;
            ZXing::Result result = decodeImage(image);
            ASSERT_TRUE(result.isValid()) << file << ": " << ZXing::ToString(result.error());
            EXPECT_EQ(result.sequenceIndex(), segment - 1);
            EXPECT_EQ(result.sequenceSize(), c.segments);
            EXPECT_EQ(result.sequenceId(), c.expectedIds[record]);
            results.push_back(std::move(result));
        }
        // A reader joins by index, whatever order the symbols come in.
        std::swap(results.front(), results.back());
        const ZXing::Result joined = ZXing::MergeStructuredAppendSequence(results);
        ASSERT_TRUE(joined.isValid());
        EXPECT_EQ(std::string(joined.bytes().begin(), joined.bytes().end()), kData[record]);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BatchMacro, testing::ValuesIn(kMacroCases),
                         [](const testing::TestParamInfo<MacroCase>& info) {
                             return std::string(info.param.name);
                         });

// A record with fewer bytes than symbols asked for fails alone.
TEST(BatchMacroRecord, TooShortForTheSegmentsFails) {
    TemporaryDirectory directory;
    writeFile(directory.path() / "records.txt", "ab\nabcd\n");
    const ProgramRun run =
        runBatch({"--macro", "3", "--input", "records.txt", "{n}-{s}.png"}, directory.path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError,
              "barwright-batch: line 1: 1-1.png: Error: Invalid argument. (the data has fewer "
              "bytes than --macro asks for symbols)\n");
    EXPECT_EQ(directory.entries(),
              (std::vector<std::string>{"2-1.png", "2-2.png", "2-3.png", "records.txt"}));
}

}  // namespace
}  // namespace barwright::test
