#include <gtest/gtest.h>

#include <string>

#include "compaction/Compactor.h"
#include "compaction/NumericCompaction.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CodewordCase;
constexpr std::int32_t kNumeric = Compactor::kModeNumeric;

const std::string kDigits45 =
    "01234567890123456789012345678901234567890123"
    "4";

CodewordStream concat(std::initializer_list<CodewordStream> parts) {
    CodewordStream all;
    for (const CodewordStream& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Base-900 digits of "1" followed by 44 nines, and of the first 44 digits of
// kDigits45 led by "1".
const CodewordStream kGroup44Nines{874, 223, 532, 264, 888, 236, 358, 185,
                                   93,  795, 72,  289, 146, 822, 199};
const CodewordStream kGroupFirst44{442, 468, 658, 254, 249, 833, 72, 640,
                                   676, 489, 54,  267, 648, 11,  223};

// Groups of 44 digits each led by 1; the forced mode's 902 and the
// segment's own 902 both appear.
const CodewordCase kNumericCases[] = {
    {"ThreeDigits", "123", kNumeric, {902, 902, 1, 223}},
    {"LeadingZerosSurvive", "007", kNumeric, {902, 902, 1, 107}},
    {"OneDigit", "5", kNumeric, {902, 902, 15}},
    {"FortyFourNines", std::string(44, '9'), kNumeric, concat({{902, 902}, kGroup44Nines})},
    {"FortyFiveSplitAs44And1", kDigits45, kNumeric, concat({{902, 902}, kGroupFirst44, {14}})},
    {"EightyEightAsTwoGroups", std::string(88, '9'), kNumeric,
     concat({{902, 902}, kGroup44Nines, kGroup44Nines})},
    {"EightyNineAs44And44And1", std::string(89, '9'), kNumeric,
     concat({{902, 902}, kGroup44Nines, kGroup44Nines, {19}})},
    {"EciSplitsSegment", "12~700000334", kNumeric, {902, 902, 112, 927, 3, 902, 134}},
    {"Letter", "12a", kNumeric, {}, status::kNumericModeCharacters},
    {"SpaceIsNoDigit", "1 2", kNumeric, {}, status::kNumericModeCharacters},
};

class NumericCompactionTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(NumericCompactionTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Groups, NumericCompactionTest, ::testing::ValuesIn(kNumericCases),
                         test::caseName);

TEST(NumericDigits, MacroFieldsWithoutLatch) {
    struct Case {
        std::string digits;
        CodewordStream codewords;
        Status status;
    };
    const Case cases[] = {
        {"", {10}, status::kOk},
        {"00000", {111, 100}, status::kOk},
        {"00001", {111, 101}, status::kOk},
        {std::string(45, '9'), concat({kGroup44Nines, {19}}), status::kOk},
        {"12a", {}, status::kFail},
        {"-1", {}, status::kFail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        Compactor compactor;
        CodewordStream out;
        EXPECT_EQ(compactor.compactNumericDigits(c.digits, out), c.status);
        EXPECT_EQ(out, c.codewords);
        EXPECT_TRUE(compactor.inInitialTextMode());
    }
}

TEST(NumericDigits, PowersOfTenInBase900) {
    NumericCompaction numeric;
    const NumericCompaction::PowerTable& powers = numeric.powersOfTenBase900();
    const auto row = [](std::initializer_list<std::uint16_t> significant) {
        NumericCompaction::PowerRow r{};
        std::copy(significant.begin(), significant.end(), r.end() - significant.size());
        return r;
    };
    EXPECT_EQ(powers[0], row({1}));
    EXPECT_EQ(powers[3], row({1, 100}));
    EXPECT_EQ(powers[44],
              row({437, 111, 716, 132, 444, 118, 179, 92, 496, 847, 486, 144, 523, 411, 100}));
    EXPECT_EQ(powers[45],
              row({4, 771, 217, 861, 424, 841, 281, 891, 25, 469, 375, 361, 545, 734, 511, 100}));
    // Built once: the same table is handed out again.
    EXPECT_EQ(&numeric.powersOfTenBase900(), &powers);
}

}  // namespace
}  // namespace barwright
