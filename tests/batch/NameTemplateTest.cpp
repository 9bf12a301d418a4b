// Output names: templates expanded for record and segment numbers, the
// templates refused and why, which names stay inside their folder, and the
// format that a name's extension asks for.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "batch/NameTemplate.h"

namespace barwright::batch {
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

TEST(NameTemplateTest, FormatFromTheExtension) {
    const struct {
        const char* path;
        std::optional<OutputFormat> format;
    } cases[] = {
        {"x.png", OutputFormat::kPng},
        {"X.PNG", OutputFormat::kPng},
        {"a/b.Svg", OutputFormat::kSvg},
        {"x.eps", OutputFormat::kEps},
        {"x.txt", OutputFormat::kTxt},
        {"x.tar.png", OutputFormat::kPng},
        {"png", std::nullopt},
        {"png1", std::nullopt},
        {"x.png1", std::nullopt},
        {"x.gif", std::nullopt},
        {"x.", std::nullopt},
        {"dir.svg/x", std::nullopt},
        {"x.svg/", std::nullopt},
        {".png", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputFormatOf(c.path), c.format) << c.path;
    }
    NameTemplate nameTemplate;
    std::string message;
    ASSERT_TRUE(nameTemplate.parse("out/{n:5}.EPS", message));
    EXPECT_EQ(nameTemplate.format(), OutputFormat::kEps);
}

}  // namespace
}  // namespace barwright::batch
