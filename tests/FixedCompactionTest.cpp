#include <gtest/gtest.h>

#include "compaction/Compactor.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CodewordCase;
constexpr std::int32_t kText = Compactor::kModeText;
constexpr std::int32_t kNumeric = Compactor::kModeNumeric;
constexpr std::int32_t kByte = Compactor::kModeByte;

// A forced mode never falls back: the first run it cannot encode ends
// compaction with its status. Reader initialisation always comes first.
const CodewordCase kFixedCases[] = {
    {"TextNoLatch", "AB", kText, {1}},
    {"NumericDoubleLatch", "123", kNumeric, {902, 902, 1, 223}},
    {"ByteSixes", "ABCDEF", kByte, {924, 924, 109, 326, 368, 127, 330}},
    {"TextReaderInit", "~3AB", kText, {921, 1}},
    {"NumericReaderInitFirst", "~3123", kNumeric, {921, 902, 902, 1, 223}},
    {"ByteReaderInitFirst", "~3AB", kByte, {921, 924, 901, 65, 66}},
    {"ReaderInitAlone", "~3", kNumeric, {921, 902}},
    {"TextEciFirst", "~7000003AB", kText, {927, 3, 1}},
    {"NumericEciOnly", "~7000900", kNumeric, {902, 926, 0, 0}},
    {"EmptyText", "", kText, {}},
    {"EmptyNumeric", "", kNumeric, {}},
    {"EmptyByte", "", kByte, {}},
    {"TextRejectsHighByte", "A~X80", kText, {}, status::kTextModeCharacters},
    {"TextRejectsAfterEci", "AB~7000003\x01", kText, {}, status::kTextModeCharacters},
    {"NumericRejectsLetter", "12~7000003A", kNumeric, {}, status::kNumericModeCharacters},
    {"NumericRejectsEscapedByte", "~X31~X41", kNumeric, {}, status::kNumericModeCharacters},
};

class FixedCompactionTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(FixedCompactionTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(ForcedModes, FixedCompactionTest, ::testing::ValuesIn(kFixedCases),
                         test::caseName);

// A failing run leaves what came before it and writes nothing of its own,
// not even its latch.
TEST(FixedCompaction, FailingRunWritesNothing) {
    const test::CompactionResult numeric = test::compactData("12~7000003A", kNumeric);
    EXPECT_EQ(numeric.codewords, (CodewordStream{902, 902, 112, 927, 3}));
    const test::CompactionResult text = test::compactData("AB~7000003\x01", kText);
    EXPECT_EQ(text.codewords, (CodewordStream{1, 927, 3}));
}

TEST(FixedCompaction, LatchStateFollowsSegments) {
    Compactor compactor;
    EXPECT_EQ(test::compactData(compactor, "AB", kText).codewords, (CodewordStream{1}));
    EXPECT_TRUE(compactor.inInitialTextMode());
    test::compactData(compactor, "1", kNumeric);
    EXPECT_FALSE(compactor.inInitialTextMode());
    // A new symbol starts in text again.
    EXPECT_EQ(test::compactData(compactor, "AB", kText).codewords, (CodewordStream{1}));
}

// Unit sequences built by hand: the executor stays safe on shapes that
// preprocessing and automatic selection never make.
TEST(FixedCompaction, HandBuiltSequences) {
    const CompactionUnit shift{913, 1};
    const CompactionUnit eci{926, 1};
    const CompactionUnit letterA{65, 0};
    struct Case {
        const char* name;
        UnitSequence units;
        CodewordStream codewords;
    };
    const Case cases[] = {
        {"ShiftWithoutByteDropped", {letterA, letterA, shift}, {0}},
        {"ShiftByteSignExtended", {shift, {-128, 0}}, {913, 128}},
        {"EciCutShort", {letterA, letterA, eci, {1, 1}}, {0, 926, 1}},
        {"TextLatchResetsSubMode",
         {{97, 0}, {98, 0}, shift, {-128, 0}, {900, 1}, {99, 0}},
         {810, 59, 913, 128, 900, 812}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Compactor compactor;
        compactor.startSymbol();
        CodewordStream out;
        EXPECT_EQ(compactor.compactFixed(c.units, out), status::kOk);
        EXPECT_EQ(out, c.codewords);
    }
}

}  // namespace
}  // namespace barwright
