// Every format of barwright-batch against barwright's own PNG of the same
// options and data: png byte for byte (apart from the time of writing
// unless SOURCE_DATE_EPOCH fixes it), png1 pixel for pixel, SVG, EPS and PDF
// drawn by real renderers pixel for pixel and read back by zxing-cpp (PDF
// at 72 dpi and, with --dpi 300, at 300; checked by qpdf), txt module for
// module. Across the four orientations, colours, compact
// symbols, sized images and the quiet zone on and off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/program/BatchProgram.h"
#include "support/PngChunks.h"
#include "support/Renderers.h"

namespace barwright::test {
namespace {

struct FormatCase {
    const char* name;
    std::vector<std::string> options;  // symbol options, the same for both programs
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

const FormatCase kFormatCases[] = {
    {"Defaults", {}},
    {"Turned90Compact", {"-o", "90", "-t", "1", "-c", "4"}},
    {"Turned180WithoutQuietZone", {"-o", "180", "-q", "0", "-c", "2", "-e", "3"}},
    {"Turned270Coloured", {"-o", "270", "-b", "ffff00", "-f", "000080", "-n", "3", "-c", "5"}},
    {"SizedImageAligned", {"-x", "420", "-y", "260", "-z", "0", "-v", "2", "-c", "3"}},
    {"ThinModulesTallRows", {"-n", "1", "-a", "6", "-q", "0", "-f", "993300", "-c", "6"}},
};

// Three records each: text, bytes through escapes (a NUL among them) and
// digits.
const std::vector<std::string> kRecords = {"Hello 123", "~X00bytes~XFF~X1E end",
                                           "0123456789012345678901"};
const std::vector<std::string> kRecordBytes = {"Hello 123", std::string("\0bytes\xff\x1e end", 12),
                                               "0123456789012345678901"};
constexpr const char* kEpoch = "1700000000";

std::string lines(const std::vector<std::string>& records) {
    std::string text;
    for (const std::string& record : records) text += record + "\n";
    return text;
}

std::vector<std::string> with(std::vector<std::string> options,
                              const std::vector<std::string>& more) {
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

// Chunks with the time of writing taken out: tIME and the creation time.
std::vector<Chunk> timelessChunks(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> chunks = chunksOf(png);
    std::vector<Chunk> kept;
    for (const Chunk& chunk : chunks) {
        const std::string data(chunk.data.begin(), chunk.data.end());
        if (chunk.type == "tIME" || (chunk.type == "tEXt" && data.rfind("Creation Time", 0) == 0)) {
            continue;
        }
        kept.push_back(chunk);
    }
    return kept;
}

// The modules of an orientation-0 picture at one pixel per module and row,
// without quiet zone: one text line per pixel row, 1 where the bars are.
std::string modulesOf(const PngImage& image, const Rgb& bar) {
    std::string text;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            text += image.at(x, y) == bar ? '1' : '0';
        }
        text += '\n';
    }
    return text;
}

Rgb barColour(const std::vector<std::string>& options) {
    std::string colour = "000000";
    for (std::size_t i = 0; i + 1 < options.size(); ++i) {
        if (options[i] == "-f") colour = options[i + 1];
    }
    const unsigned long value = std::stoul(colour, nullptr, 16);
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

class BatchFormats : public testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        writeFile(directory_.path() / "records.txt", lines(kRecords));
        // barwright's files with the time fixed, one per record.
        const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", kEpoch);
        for (std::size_t i = 0; i < kRecords.size(); ++i) {
            const std::string name = "ref-" + std::to_string(i + 1) + ".png";
            const ProgramRun run = runBarwrightIn(
                with(GetParam().options, {"-d", kRecords[i], name}), directory_.path());
            ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        }
    }

    // barwright-batch over the three records in the format.
    void runFormat(const std::string& format, const std::string& names) {
        const ProgramRun run = runBatch(
            with(GetParam().options, {"--input", "records.txt", "--format", format, names}),
            directory_.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        ASSERT_EQ(run.standardError, "");
    }

    std::filesystem::path file(const std::string& name) const { return directory_.path() / name; }
    std::filesystem::path reference(std::size_t i) const {
        return file("ref-" + std::to_string(i + 1) + ".png");
    }

    // Times are written in UTC whatever the zone: a zone half an hour off
    // would show a local time at once.
    EnvironmentSetting timeZone_{"TZ", "America/St_Johns"};
    TemporaryDirectory directory_;
};

TEST_P(BatchFormats, PngIsBarwrightsFile) {
    {
        const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", kEpoch);
        runFormat("png", "fixed-{n}.png");
    }
    {
        const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", nullptr);
        runFormat("png", "now-{n}.png");
    }
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const std::vector<std::uint8_t> expected = readBytes(reference(i));
        EXPECT_EQ(readBytes(file("fixed-" + std::to_string(i + 1) + ".png")), expected);
        const std::vector<std::uint8_t> now =
            readBytes(file("now-" + std::to_string(i + 1) + ".png"));
        const std::vector<Chunk> nowChunks = timelessChunks(now);
        const std::vector<Chunk> expectedChunks = timelessChunks(expected);
        ASSERT_EQ(nowChunks.size(), expectedChunks.size());
        EXPECT_EQ(chunksOf(now).size(), chunksOf(expected).size());
        for (std::size_t c = 0; c < nowChunks.size(); ++c) {
            EXPECT_EQ(nowChunks[c].type, expectedChunks[c].type);
            EXPECT_TRUE(nowChunks[c].data == expectedChunks[c].data) << nowChunks[c].type;
        }
    }
}

TEST_P(BatchFormats, Png1HasThePngsPixels) {
    runFormat("png1", "bits-{n}.png");
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const std::filesystem::path bits = file("bits-" + std::to_string(i + 1) + ".png");
        EXPECT_EQ(pixelDifference(readPngAsRgb(reference(i)), readPngAsRgb(bits)), "");
        // One bit per pixel in a palette of the two colours.
        const std::vector<Chunk> chunks = chunksOf(readBytes(bits));
        ASSERT_FALSE(chunks.empty());
        ASSERT_EQ(chunks[0].type, "IHDR");
        EXPECT_EQ(chunks[0].data[8], 1) << "bit depth";
        EXPECT_EQ(chunks[0].data[9], 3) << "colour type: palette";
    }
}

TEST_P(BatchFormats, SvgDrawnByRsvgIsThePng) {
    runFormat("svg", "vector-{n}.svg");
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(rasteriseSvg(file("vector-" + n + ".svg"), file("svg-" + n + ".png")), "");
        const PngImage drawn = readPngAsRgb(file("svg-" + n + ".png"));
        EXPECT_EQ(pixelDifference(readPngAsRgb(reference(i)), drawn), "");
        EXPECT_EQ(decodedBytes(file("svg-" + n + ".png")), kRecordBytes[i]);
    }
}

TEST_P(BatchFormats, EpsDrawnByGhostscriptIsThePng) {
    runFormat("eps", "vector-{n}.eps");
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const std::string n = std::to_string(i + 1);
        ASSERT_EQ(rasteriseEps(file("vector-" + n + ".eps"), file("eps-" + n + ".png")), "");
        const PngImage drawn = readPngAsRgb(file("eps-" + n + ".png"));
        EXPECT_EQ(pixelDifference(readPngAsRgb(reference(i)), drawn), "");
        EXPECT_EQ(decodedBytes(file("eps-" + n + ".png")), kRecordBytes[i]);
    }
}

TEST_P(BatchFormats, PdfDrawnByPopplerIsThePng) {
    runFormat("pdf", "points-{n}.pdf");
    // Names ending in .pdf are enough; a pixel is then 1/300 inch.
    const ProgramRun run = runBatch(
        with(GetParam().options, {"--dpi", "300", "--input", "records.txt", "dots-{n}.pdf"}),
        directory_.path());
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const PngImage png = readPngAsRgb(reference(i));
        const Raster expected{static_cast<std::int32_t>(png.width),
                              static_cast<std::int32_t>(png.height), png.pixels};
        for (const auto& [name, dpi] :
             {std::pair<std::string, int>{"points-", 72}, {"dots-", 300}}) {
            const std::filesystem::path pdf = file(name + std::to_string(i + 1) + ".pdf");
            EXPECT_EQ(qpdfProblems(pdf), "");
            // Without SOURCE_DATE_EPOCH a PDF records no time at all.
            EXPECT_EQ(readFile(pdf).find("Date"), std::string::npos);
            const std::vector<Raster> pages = renderedPages(pdf, dpi, false);
            ASSERT_EQ(pages.size(), 1u);
            EXPECT_EQ(firstDifference(expected, pages[0]), "") << "at " << dpi << " dpi";
        }
    }
}

TEST_P(BatchFormats, TxtIsTheModules) {
    runFormat("txt", "modules-{n}.txt");
    // The same symbol drawn by barwright at orientation 0, one pixel per
    // module and per row, without quiet zone: its pixels are the modules.
    const std::vector<std::string> plain =
        with(GetParam().options, {"-o", "0", "-n", "1", "-a", "1", "-q", "0"});
    for (std::size_t i = 0; i < kRecords.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        std::vector<std::string> arguments;
        for (std::size_t a = 0; a < plain.size(); a += 2) {
            // The picture size would fit the symbol into an image; the
            // modules are wanted as they are.
            if (plain[a] != "-x" && plain[a] != "-y") {
                arguments.insert(arguments.end(), {plain[a], plain[a + 1]});
            }
        }
        arguments.insert(arguments.end(), {"-d", kRecords[i], "plain.png"});
        const ProgramRun run = runBarwrightIn(arguments, directory_.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        const PngImage image = readPngAsRgb(file("plain.png"));
        ASSERT_TRUE(image.valid) << image.error;
        EXPECT_EQ(readFile(file("modules-" + std::to_string(i + 1) + ".txt")),
                  modulesOf(image, barColour(GetParam().options)));
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, BatchFormats, testing::ValuesIn(kFormatCases),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.name);
                         });

// The resolution is recorded where each format keeps it: a pHYs chunk in
// both PNG kinds, the size in inches in SVG; and such an SVG, drawn by
// rsvg-convert at the size in pixels of its viewBox, as the manual shows,
// is the PNG's picture.
TEST(BatchResolution, DpiIsRecorded) {
    TemporaryDirectory directory;
    for (const char* format : {"png", "png1"}) {
        SCOPED_TRACE(format);
        const std::string name = std::string(format) + ".png";
        const ProgramRun run =
            runBatch({"--dpi", "300", "--format", format, name}, directory.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
        bool found = false;
        for (const Chunk& chunk : chunksOf(readBytes(directory.path() / name))) {
            if (chunk.type == "pHYs") {
                found = true;
                ASSERT_EQ(chunk.data.size(), 9u);
                // 300 per inch is 11811 per metre, the same both ways, in metres.
                EXPECT_EQ(bigEndian32(&chunk.data[0]), 11811u);
                EXPECT_EQ(bigEndian32(&chunk.data[4]), 11811u);
                EXPECT_EQ(chunk.data[8], 1);
            }
        }
        EXPECT_TRUE(found) << "no pHYs chunk";
    }
    const EnvironmentSetting epoch("SOURCE_DATE_EPOCH", "0");
    for (const char* name : {"out.svg", "out.png"}) {
        const ProgramRun run = runBatch({"--dpi", "300", "-d", "Hello", name}, directory.path());
        ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    }
    const std::string svg = readFile(directory.path() / "out.svg");
    EXPECT_NE(svg.find("in\" height=\"0.133333333in\" viewBox=\"0 0 248 40\""), std::string::npos)
        << "no size in inches in " << svg.substr(0, 300);
    ASSERT_EQ(rasteriseSvg(directory.path() / "out.svg", directory.path() / "drawn.png",
                           {"-w", "248", "-h", "40"}),
              "");
    EXPECT_EQ(pixelDifference(readPngAsRgb(directory.path() / "out.png"),
                              readPngAsRgb(directory.path() / "drawn.png")),
              "");
}

}  // namespace
}  // namespace barwright::test
