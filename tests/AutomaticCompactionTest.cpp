#include <gtest/gtest.h>

#include "compaction/Compactor.h"
#include "compaction/ModeSelector.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CodewordCase;
constexpr std::int32_t kAuto = Compactor::kModeAutomatic;

// 13 digits start numeric, 5 text characters end a byte run, one byte
// amid text is shifted; latches only where the mode changes.
const CodewordCase kAutomaticCases[] = {
    {"CapitalsNoLatch", "ABC", kAuto, {1, 89}},
    {"ThirteenDigits", "1234567890123", kAuto, {902, 902, 17, 110, 836, 811, 223}},
    {"TextThenDigits", "AB1234567890123", kAuto, {1, 902, 902, 17, 110, 836, 811, 223}},
    {"DigitsThenText", "1234567890123A", kAuto, {902, 902, 17, 110, 836, 811, 223, 900, 900, 29}},
    {"ShiftInLower",
     "abc\x80"
     "def",
     kAuto,
     {810, 32, 913, 128, 94, 179}},
    {"TwoBytesLatch",
     "ABC\x80\x81"
     "DEF",
     kAuto,
     {1, 89, 924, 901, 128, 129, 900, 900, 94, 179}},
    {"SingleByte", "\x80", kAuto, {913, 128}},
    {"TwoBytes", "\x80\x81", kAuto, {924, 901, 128, 129}},
    {"ByteRunsMerge",
     "\x80"
     "a\x81\x82",
     kAuto,
     {924, 901, 128, 97, 129, 130}},
    {"ByteLetterAlternation",
     "\x80"
     "A\x81"
     "B\x82"
     "CDE",
     kAuto,
     {924, 901, 128, 65, 129, 900, 900, 59, 913, 130, 900, 63, 149}},
    {"ByteSpanCountsUnits",
     "\x80"
     "ABCD\x81",
     kAuto,
     {924, 901, 128, 65, 900, 900, 32, 119, 913, 129}},
    {"EciFirst", "~7000003AB", kAuto, {927, 3, 1}},
    {"EciThenByte", "~7000003\x80", kAuto, {927, 3, 913, 128}},
    {"ReaderInit", "~3AB", kAuto, {921, 1}},
    {"ReaderInitDigits", "~31234567890123", kAuto, {921, 902, 902, 17, 110, 836, 811, 223}},
    {"Empty", "", kAuto, {}},
};

class AutomaticCompactionTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(AutomaticCompactionTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Selection, AutomaticCompactionTest, ::testing::ValuesIn(kAutomaticCases),
                         test::caseName);

// The segmentation itself, where a count of data units taken as units
// carries control units along and leaves the rest to be decided again.
TEST(ModeSelection, Segments) {
    struct Case {
        const char* name;
        const char* data;
        const char* units;
    };
    const Case cases[] = {
        {"ByteLetterAlternation",
         "\x80"
         "A\x81"
         "B\x82"
         "CDE",
         "c924 d-128 d65 d-127 c900 d66 c913 d130 d67 d68 d69"},
        {"EciInsideTextRun", "ab~7000003cd", "d97 d98 c927 c3 d99 d100"},
        {"EciInsideDigitRun", "1234567890~7000003123",
         "c902 d49 d50 d51 d52 d53 d54 d55 d56 d57 d48 c927 c3 d49 c900 d50 d51"},
        {"TwelveThenThirteen", "123456789012A1234567890123",
         "d49 d50 d51 d52 d53 d54 d55 d56 d57 d48 d49 d50 d65 c902 d49 d50 d51 d52 d53 d54 d55 "
         "d56 d57 d48 d49 d50 d51"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UnitSequence units = Compactor::preprocessData(c.data, kAuto);
        EXPECT_EQ(test::describeUnits(ModeSelector::selectModes(units)), c.units);
    }
}

}  // namespace
}  // namespace barwright
