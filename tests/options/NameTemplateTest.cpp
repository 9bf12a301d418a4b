// Output names: templates expanded for record and segment numbers, the
// templates refused and why, which names stay inside their folder, and the
// format that a name's extension asks for.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "options/NameTemplate.h"
#include "options/OutputFormat.h"

namespace barwright {
namespace {

constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();

TEST(NameTemplateTest, Expands) {
    const struct {
        const char* text;
        std::uint64_t record;
        std::uint64_t segment;
        const char* name;
        bool usesRecord;
        bool usesSegment;
    } cases[] = {
        {"labels/{n:5}.png", 42, 1, "labels/00042.png", true, false},
        {"{n}", 7, 1, "7", true, false},
        {"{n:2}", 12345, 1, "12345", true, false},  // longer than the width: whole
        {"{n:20}", 1, 1, "00000000000000000001", true, false},
        {"{n:20}", kLargest, 1, "18446744073709551615", true, false},
        {"part{s}-{n:3}.svg", 5, 2, "part2-005.svg", true, true},
        {"{s:02}", 1, 3, "03", false, true},
        {"{{n}}-{n}", 9, 1, "{n}-9", true, false},
        {"{{{n}}}", 4, 1, "{4}", true, false},
        {"a}}b{{", 1, 1, "a}b{", false, false},
        {"fixed.png", 8, 1, "fixed.png", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        NameTemplate nameTemplate;
        std::string message;
        ASSERT_TRUE(nameTemplate.parse(c.text, message)) << message;
        EXPECT_EQ(nameTemplate.expand(c.record, c.segment), c.name);
        EXPECT_EQ(nameTemplate.usesRecordNumber(), c.usesRecord);
        EXPECT_EQ(nameTemplate.usesSegmentNumber(), c.usesSegment);
        EXPECT_EQ(nameTemplate.text(), c.text);
    }
}

TEST(NameTemplateTest, RefusesWithAMessageNamingTheFault) {
    const struct {
        const char* text;
        const char* messagePart;
    } cases[] = {
        {"", "empty"},
        {"{x}", "unknown placeholder \"{x}\" at character 1"},
        {"a{N}", "\"{N}\" at character 2"},
        {"{}", "\"{}\""},
        {"{ n}", "\"{ n}\""},
        {"{n:0}", "width in \"{n:0}\" at character 1 must be a number from 1 to 20"},
        {"{s:21}", "\"{s:21}\""},
        {"{n:}", "\"{n:}\""},
        {"{n:5x}", "\"{n:5x}\""},
        {"{n:-1}", "\"{n:-1}\""},
        {"out{n", "\"{\" at character 4 is never closed"},
        {"out}.png", "\"}\" at character 4 closes no \"{\""},
        {"{n}}", "\"}\" at character 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        NameTemplate nameTemplate;
        std::string message;
        ASSERT_TRUE(nameTemplate.parse("before-{n}", message));
        EXPECT_FALSE(nameTemplate.parse(c.text, message));
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << message;
        // A refused template names nothing, not even what came before it.
        EXPECT_EQ(nameTemplate.expand(1, 1), "");
        EXPECT_FALSE(nameTemplate.usesRecordNumber());
    }
}

TEST(NameTemplateTest, ContainedPaths) {
    const struct {
        std::string path;
        bool contained;
    } cases[] = {
        {"a", true},
        {"labels/00001.png", true},
        {"./a", true},
        {"a/./b", true},
        {"a//b/", true},
        {"a/..b", true},
        {"..a/b", true},
        {"a..", true},
        {"...", true},
        {"~/x", true},  // no shell expands it: a folder named "~"
        {"", false},
        {"/", false},
        {"/tmp/a", false},
        {"//a", false},
        {"..", false},
        {"../a", false},
        {"../", false},
        {"a/..", false},
        {"a/../b", false},
        {"a/b/../../..", false},
        {std::string("a\0/../../b", 10), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isContainedPath(c.path), c.contained) << '"' << c.path << '"';
    }
}

// A name's extension names its format among those a front door offers;
// png1 is named only by its name, never by an extension.
TEST(NameTemplateTest, FormatFromTheExtension) {
    constexpr FormatSet kWithoutPdf = kAllFormats & ~formatBit(OutputFormat::kPdf);
    const struct {
        const char* path;
        std::optional<OutputFormat> format;
        std::optional<OutputFormat> withoutPdf;
    } cases[] = {
        {"x.png", OutputFormat::kPng, OutputFormat::kPng},
        {"X.PNG", OutputFormat::kPng, OutputFormat::kPng},
        {"a/b.Svg", OutputFormat::kSvg, OutputFormat::kSvg},
        {"x.eps", OutputFormat::kEps, OutputFormat::kEps},
        {"x.txt", OutputFormat::kTxt, OutputFormat::kTxt},
        {"x.Pdf", OutputFormat::kPdf, std::nullopt},
        {"x.tar.png", OutputFormat::kPng, OutputFormat::kPng},
        {"png", std::nullopt, std::nullopt},
        {"png1", std::nullopt, std::nullopt},
        {"x.png1", std::nullopt, std::nullopt},
        {"x.gif", std::nullopt, std::nullopt},
        {"x.", std::nullopt, std::nullopt},
        {"dir.svg/x", std::nullopt, std::nullopt},
        {"x.svg/", std::nullopt, std::nullopt},
        {".png", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputFormatOf(c.path), c.format) << c.path;
        EXPECT_EQ(outputFormatOf(c.path, kWithoutPdf), c.withoutPdf) << c.path;
        EXPECT_EQ(nameAllowsFormat(c.path, OutputFormat::kPng, kWithoutPdf),
                  !c.withoutPdf || *c.withoutPdf == OutputFormat::kPng)
            << c.path;
    }
    EXPECT_TRUE(nameAllowsFormat("x.png", OutputFormat::kPng1));
    EXPECT_FALSE(nameAllowsFormat("x.pdf", OutputFormat::kPng1));
    EXPECT_EQ(formatNamed("png1"), OutputFormat::kPng1);
    EXPECT_EQ(formatNamed("pdf", kWithoutPdf), std::nullopt);
    EXPECT_EQ(formatNames(kWithoutPdf, " or "), "png, png1, svg, eps or txt");
    EXPECT_EQ(formatNames(kAllFormats, ", "), "png, png1, svg, eps, txt, pdf");
    NameTemplate nameTemplate;
    std::string message;
    ASSERT_TRUE(nameTemplate.parse("out/{n:5}.EPS", message));
    EXPECT_EQ(nameTemplate.format(), OutputFormat::kEps);
}

}  // namespace
}  // namespace barwright
