// The hallway as a binding or a service uses it: options set by their long
// names with the strict rules, the option a failure is due to, and every
// format from the one routine, with the time and resolution it records.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "options/SourceDateEpoch.h"
#include "options/SymbolFile.h"
#include "options/SymbolOptions.h"
#include "support/PngChunks.h"

namespace barwright {
namespace {

struct SetCase {
    const char* name;
    const char* value;
    // What an accepted value sets; null for a refused one.
    std::function<bool(const SymbolOptions&)> takes;
};

TEST(SetOption, LongNamesAndStrictValues) {
    const SetCase kCases[] = {
        {"ecl", "5", [](const SymbolOptions& o) { return o.symbol.errorCorrectionLevel == 5; }},
        {"ecl", "12", nullptr},
        {"ecl", "5x", nullptr},
        {"xsize", "300",
         [](const SymbolOptions& o) {
             return o.picture.imageWidth == 300 && o.picture.imageHeight == 100;
         }},
        {"xdim", "2.5", [](const SymbolOptions& o) { return o.picture.moduleWidth == 2.5; }},
        {"xdim", "0", nullptr},
        {"cpdf", "5", [](const SymbolOptions& o) { return o.symbol.compact; }},
        {"bcolor", "#ff0000",
         [](const SymbolOptions& o) { return o.picture.background == 0xFF0000; }},
        {"fcolor", "white", nullptr},
        {"data", "", [](const SymbolOptions& o) { return o.symbol.data.empty(); }},
        {"shortest", "1", [](const SymbolOptions& o) { return o.shortest; }},
        {"shortest", "yes", nullptr},
        {"escapes", "1", [](const SymbolOptions& o) { return o.symbol.escapes; }},
        {"dpi", "300", [](const SymbolOptions& o) { return o.output.dpi == 300; }},
        {"dpi", "0", nullptr},
        {"dpi", "+300", nullptr},
        {"macro", "3", [](const SymbolOptions& o) { return o.macroSegments == 3; }},
        {"macro", "100000", nullptr},
        // The encoder alone knows the file ID's rule, and says so with status 19.
        {"file-id", "zz", [](const SymbolOptions& o) { return o.fileId == "zz"; }},
        {"time", "-1",
         [](const SymbolOptions& o) {
             return o.output.timeSource == FileTime::kGiven && o.output.time == -1;
         }},
        {"time", "2005949145600", nullptr},  // past the year 65535
        {"eci", "26", [](const SymbolOptions& o) { return o.symbol.eci == kUtf8Eci; }},
        {"eci", "811800", nullptr},
        {"help", "", nullptr},
        {"colour", "1", nullptr},
    };
    for (const SetCase& c : kCases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        SymbolOptions options = bindingDefaults();
        const SymbolOptions before = options;
        const Status status = setOption(options, c.name, c.value);
        EXPECT_EQ(status, c.takes ? status::kOk : status::kInvalidArgument);
        EXPECT_TRUE(c.takes ? c.takes(options) : options.symbol.data == before.symbol.data);
    }
    EXPECT_EQ(optionRefusal("ecl", "12"), "ecl takes 0..8, or 9 for automatic, not \"12\"");
    EXPECT_EQ(optionRefusal("colour", "1"), "unknown option \"colour\"");
}

TEST(SetOption, DefaultsOfProgramsAndBindings) {
    const SymbolOptions program = programDefaults();
    EXPECT_EQ(program.symbol.data, "1234567");
    EXPECT_TRUE(program.symbol.escapes);
    EXPECT_EQ(program.output.timeSource, FileTime::kClock);
    const SymbolOptions binding = bindingDefaults();
    EXPECT_TRUE(binding.symbol.data.empty());
    EXPECT_FALSE(binding.symbol.escapes);
    EXPECT_EQ(binding.output.timeSource, FileTime::kNone);
}

TEST(SourceDateEpoch, OneReadingForEveryProgram) {
    const struct {
        const char* value;
        bool given;
        bool valid;
    } kCases[] = {{nullptr, false, false}, {"", false, false},  {"1700000000", true, true},
                  {"12x", true, false},    {"-1", true, false}, {"253402300800", true, false}};
    for (const auto& c : kCases) {
        const SourceDateEpoch epoch = SourceDateEpoch::fromValue(c.value);
        EXPECT_EQ(epoch.given, c.given) << (c.value ? c.value : "unset");
        EXPECT_EQ(epoch.valid, c.valid) << (c.value ? c.value : "unset");
        OutputOptions output;
        epoch.applyTo(output);
        EXPECT_EQ(output.timeSource, c.valid ? FileTime::kGiven : FileTime::kClock);
    }
    EXPECT_EQ(
        SourceDateEpoch::fromValue("12x").problem(),
        "SOURCE_DATE_EPOCH '12x' is not a number of seconds since 1970 (up to the year 9999)");
}

// The option named for a refusal where the failure points at one.
TEST(BlamedOption, NamesTheOptionAtFault) {
    SymbolOptions options = bindingDefaults();
    options.symbol.data = "ab";
    options.macroSegments = 3;
    std::vector<EncodedSymbol> symbols;
    EXPECT_EQ(encodeSymbols(options, symbols), status::kInvalidArgument);
    EXPECT_STREQ(blamedOption(options, false), "macro");

    options.macroSegments = 0;
    ASSERT_EQ(encodeSymbols(options, symbols), status::kOk);
    ASSERT_EQ(symbols.size(), 1u);
    SymbolFile file;
    options.picture.foreground = 0x222222;
    options.picture.background = 0x000000;
    EXPECT_EQ(file.make(symbols[0], options.picture, OutputFormat::kSvg, options.output),
              status::kInvalidArgument);
    EXPECT_STREQ(blamedOption(options, true), "fcolor");
    options.picture.foreground = kBlack;
    options.picture.background = kWhite;
    options.picture.moduleWidth = 0.4;
    EXPECT_EQ(file.make(symbols[0], options.picture, OutputFormat::kPng, options.output),
              status::kInvalidArgument);
    EXPECT_STREQ(blamedOption(options, true), "xdim");
}

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

bool hasChunk(std::string_view png, const char* type) {
    for (const test::Chunk& chunk : test::chunksOf(bytesOf(png))) {
        if (chunk.type == type) {
            return true;
        }
    }
    return false;
}

// Every format from the one routine: what it starts with, what it records,
// and the same bytes made whole or written to a stream.
TEST(SymbolFile, EveryFormatRecordsWhatItIsGiven) {
    SymbolOptions options = bindingDefaults();
    options.symbol.data = "Hello 123";
    std::vector<EncodedSymbol> symbols;
    ASSERT_EQ(encodeSymbols(options, symbols), status::kOk);
    const struct {
        OutputFormat format;
        const char* start;
    } kCases[] = {{OutputFormat::kPng, "\x89PNG"},    {OutputFormat::kPng1, "\x89PNG"},
                  {OutputFormat::kSvg, "<?xml"},      {OutputFormat::kEps, "%!PS-Adobe"},
                  {OutputFormat::kTxt, "1111111101"}, {OutputFormat::kPdf, "%PDF-1.4"}};
    SymbolFile file;
    for (const auto& c : kCases) {
        SCOPED_TRACE(formatName(c.format));
        for (const FileTime time : {FileTime::kNone, FileTime::kGiven}) {
            OutputOptions output;
            output.dpi = c.format == OutputFormat::kTxt ? 0 : 300;
            output.timeSource = time;
            output.time = 1700000000;
            ASSERT_EQ(file.make(symbols[0], options.picture, c.format, output), status::kOk);
            const std::string made(file.bytes());
            EXPECT_EQ(made.compare(0, std::string(c.start).size(), c.start), 0);
            const bool png = c.format == OutputFormat::kPng || c.format == OutputFormat::kPng1;
            if (png) {
                EXPECT_EQ(hasChunk(made, "tIME"), time == FileTime::kGiven);
                EXPECT_TRUE(hasChunk(made, "pHYs"));
            }
            if (c.format == OutputFormat::kPdf) {
                EXPECT_EQ(made.find("/CreationDate(D:20231114221320Z)") != std::string::npos,
                          time == FileTime::kGiven);
            }
            ASSERT_EQ(file.draw(symbols[0], options.picture, c.format, output), status::kOk);
            std::FILE* stream = std::tmpfile();
            ASSERT_NE(stream, nullptr);
            ASSERT_EQ(file.write(stream), status::kOk);
            std::string written(static_cast<std::size_t>(std::ftell(stream)), '\0');
            std::rewind(stream);
            EXPECT_EQ(std::fread(written.data(), 1, written.size(), stream), written.size());
            std::fclose(stream);
            EXPECT_TRUE(written == made) << "written to a stream";
        }
    }
    OutputOptions late;
    late.timeSource = FileTime::kGiven;
    late.time = 253402300800;  // 10000-01-01: a PNG holds it, a PDF date does not
    EXPECT_EQ(file.make(symbols[0], options.picture, OutputFormat::kPng, late), status::kOk);
    EXPECT_EQ(file.make(symbols[0], options.picture, OutputFormat::kPdf, late),
              status::kInvalidArgument);
    EXPECT_TRUE(file.bytes().empty());
}

}  // namespace
}  // namespace barwright
