#include <gtest/gtest.h>

#include "compaction/Compactor.h"
#include "compaction/TextCompaction.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CodewordCase;
constexpr std::int32_t kText = Compactor::kModeText;
constexpr std::int32_t kAuto = Compactor::kModeAutomatic;

// Sub-mode latches and shifts with their look-ahead, and the padding 29.
const CodewordCase kTextCases[] = {
    {"TwoCapitals", "AB", kText, {1}},
    {"TwoLowerPadded", "ab", kText, {810, 59}},
    {"SpaceInAlpha", "A B", kText, {26, 59}},
    {"AlphaShiftsLonePunctuation", "A!", kText, {29, 329}},
    {"AlphaLatchesPunctuationPair", "A!!", kText, {28, 760, 329}},
    {"SpaceAfterPunctuationLatch", "!! ", kText, {865, 310, 896}},
    {"PunctuationToCapital", "!!A", kText, {865, 310, 870}},
    {"PunctuationToLower", "!!a", kText, {865, 310, 897, 29}},
    {"PunctuationToMixed", "!!1", kText, {865, 310, 898, 59}},
    {"SharedCharStaysInPunctuation", "!!,", kText, {865, 310, 419}},
    {"LowerShiftsLoneCapital", "aBc", kText, {810, 811, 89}},
    {"LowerLatchesCapitalPair", "aBC", kText, {810, 868, 32}},
    {"LowerLatchesCapitalBeforeSpace", "aB ", kText, {810, 868, 56}},
    {"LowerToMixed", "a1", kText, {810, 841}},
    {"LowerShiftsLonePunctuation", "a!", kText, {810, 880}},
    {"LowerLatchesPunctuationPair", "a!!", kText, {810, 865, 310}},
    {"AlphaToMixed", "A1", kText, {28, 59}},
    {"MixedToAlpha", "1A", kText, {841, 840}},
    {"MixedToLower", "1a", kText, {841, 810}},
    {"MixedShiftsLonePunctuation", "1!", kText, {841, 880}},
    {"MixedLatchesPunctuationPair", "1!!", kText, {841, 760, 329}},
    {"TabIsMixed", "~T", kText, {852}},
    {"ReturnIsMixed", "~R", kText, {851}},
    {"LineFeedIsPunctuation", "~N", kText, {885}},
    {"TwelveDigitsStayText", "123456789012", kAuto, {841, 63, 125, 187, 249, 1, 89}},
    {"LookAheadStopsAtControl", "!~7000003!", kText, {880, 927, 3, 900, 880}},
    {"VerticalTab", "~X0B", kText, {}, status::kTextModeCharacters},
    {"FormFeed", "~x0c", kText, {}, status::kTextModeCharacters},
    {"Delete", "A~X7F", kText, {}, status::kTextModeCharacters},
    {"HighByte", "AB\xc3", kText, {}, status::kTextModeCharacters},
};

class TextCompactionTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(TextCompactionTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(SubModes, TextCompactionTest, ::testing::ValuesIn(kTextCases),
                         test::caseName);

// Text after a byte shift goes on in the sub-mode the reader is in (readers
// take a 29 just before the 913 as padding); after an ECI designator it
// restarts with a latch once text was written.
const CodewordCase kResumeCases[] = {
    {"LowerCarriedAcrossShift",
     "abc\x80"
     "def",
     kAuto,
     {810, 32, 913, 128, 94, 179}},
    {"LowerResumedAfterPadding", "ab~X80cd", kAuto, {810, 59, 913, 128, 63}},
    {"LowerResumedAfterMixedAndPadding",
     "Hello, w~XE9rld!",
     kAuto,
     {237, 131, 344, 853, 807, 689, 913, 233, 521, 119, 329}},
    {"MixedResumedAfterPadding", "A1;~X80;b", kAuto, {28, 59, 29, 913, 128, 870, 811}},
    {"PunctuationLatchCarried", "!!\x80!", kAuto, {865, 310, 913, 128, 329}},
    {"PaddingClosedPunctuation", "!!!\x80!A", kAuto, {865, 310, 329, 913, 128, 880, 29}},
    {"EciAfterTextLatches", "ab~7000003cd", kText, {810, 59, 927, 3, 900, 812, 119}},
    {"EciAfterEvenTextLatches", "AB~7000003CD", kText, {1, 927, 3, 900, 63}},
    {"EciThenShiftLatches", "A~7000003~X80BC", kAuto, {29, 927, 3, 913, 128, 900, 32}},
    {"EciFirstNoLatch", "~7000003AB", kText, {927, 3, 1}},
    {"EciAfterReaderInitNoLatch", "~3~7000003AB", kText, {921, 927, 3, 1}},
    {"EciAfterShiftOnlyNoLatch",
     "\x80~7000003"
     "AB",
     kAuto,
     {913, 128, 927, 3, 1}},
    {"EciAfterNumericSingleLatch",
     "1234567890123~7000003AB",
     kAuto,
     {902, 902, 17, 110, 836, 811, 223, 927, 3, 900, 900, 1}},
};

class TextResumeTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(TextResumeTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(AfterShiftOrEci, TextResumeTest, ::testing::ValuesIn(kResumeCases),
                         test::caseName);

struct TextStringCase {
    const char* name;
    std::string text;
    CodewordStream codewords;
    Status status;
};

// The Macro control block's text fields: Alpha, no latch, escapes resolved.
const TextStringCase kTextStringCases[] = {
    {"Capitals", "AB", {1}, status::kOk},
    {"EscapeAndShift", "a~Nb", {810, 885, 59}, status::kOk},
    {"ReaderInitSkipped", "~3AB", {1}, status::kOk},
    {"Empty", "", {}, status::kFail},
    {"NonText", "A~X80", {}, status::kFail},
    {"OnlyControlUnits", "~7000003", {}, status::kFail},
};

TEST(TextString, MacroFields) {
    for (const TextStringCase& c : kTextStringCases) {
        SCOPED_TRACE(c.name);
        Compactor compactor;
        CodewordStream out{923, 0};
        EXPECT_EQ(compactor.compactTextString(c.text, out), c.status);
        CodewordStream expected{923, 0};
        expected.insert(expected.end(), c.codewords.begin(), c.codewords.end());
        EXPECT_EQ(out, expected);
        EXPECT_TRUE(compactor.inInitialTextMode());
    }
}

TEST(TextCharacters, ExactlyTabLineFeedReturnAndPrintable) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool expected = byte == 9 || byte == 10 || byte == 13 || (byte >= 32 && byte <= 126);
        EXPECT_EQ(TextCompaction::isTextChar(static_cast<std::uint8_t>(byte)), expected) << byte;
    }
}

}  // namespace
}  // namespace barwright
