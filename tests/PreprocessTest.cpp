#include <gtest/gtest.h>

#include <ostream>

#include "compaction/Compactor.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::describeUnits;

struct PreprocessCase {
    const char* name;
    std::string data;
    std::int32_t mode;
    const char* units;
};

// Data units from the string keep the byte's sign; those from an escape are
// zero-extended; control units carry codewords.
const PreprocessCase kPreprocessCases[] = {
    {"Empty", "", Compactor::kModeNumeric, ""},
    {"PlainBytes", "A\x80\xff", Compactor::kModeAutomatic, "d65 d-128 d-1"},
    {"LineFeed", "A~N", Compactor::kModeAutomatic, "d65 d10"},
    {"ReturnAndTab", "~R~T", Compactor::kModeAutomatic, "d13 d9"},
    {"LowerCaseNIsData", "~n", Compactor::kModeAutomatic, "d126 d110"},
    {"DoubleTilde", "~~7", Compactor::kModeAutomatic, "d126 d55"},
    {"HexLower", "~x4a", Compactor::kModeAutomatic, "d74"},
    {"HexHighByteZeroExtended", "~XfF", Compactor::kModeAutomatic, "d255"},
    {"HexOneDigitShort", "~X4", Compactor::kModeAutomatic, "d126 d88 d52"},
    {"HexNotHex", "~Xg1", Compactor::kModeAutomatic, "d126 d88 d103 d49"},
    {"TildeAtEnd", "A~", Compactor::kModeAutomatic, "d65 d126"},
    {"UnknownEscape", "~Q", Compactor::kModeAutomatic, "d126 d81"},
    {"ReaderInit", "~3AB", Compactor::kModeAutomatic, "c921 d65 d66"},
    {"ReaderInitNotAtStart", "A~3", Compactor::kModeAutomatic, "d65 d126 d51"},
    {"ReaderInitBeforeNumericLatch", "~3123", Compactor::kModeNumeric, "c921 c902 d49 d50 d51"},
    {"ReaderInitBeforeByteLatch", "~3", Compactor::kModeByte, "c921 c924"},
    {"NumericModeUnit", "1", Compactor::kModeNumeric, "c902 d49"},
    {"ByteModeUnit", "1", Compactor::kModeByte, "c924 d49"},
    {"TextModeAddsNothing", "1", Compactor::kModeText, "d49"},
    {"EciLow", "~7000003", Compactor::kModeAutomatic, "c927 c3"},
    {"EciLowLast", "~7000899", Compactor::kModeAutomatic, "c927 c899"},
    {"EciMiddleFirst", "~7000900", Compactor::kModeAutomatic, "c926 c0 c0"},
    {"EciMiddleLast", "~7810899", Compactor::kModeAutomatic, "c926 c899 c899"},
    {"EciHighFirst", "~7810900", Compactor::kModeAutomatic, "c925 c0"},
    {"EciHighLast", "~7811799", Compactor::kModeAutomatic, "c925 c899"},
    {"EciTooLargeDropped", "A~7811800B", Compactor::kModeAutomatic, "d65 d66"},
    {"EciNinesDropped", "~7999999", Compactor::kModeAutomatic, ""},
    {"EciFiveDigitsIsData", "~712345", Compactor::kModeAutomatic, "d126 d55 d49 d50 d51 d52 d53"},
    {"EciLetterIsData", "~71234A5", Compactor::kModeAutomatic, "d126 d55 d49 d50 d51 d52 d65 d53"},
    {"EciThenDigit", "~70000031", Compactor::kModeAutomatic, "c927 c3 d49"},
};

void PrintTo(const PreprocessCase& c, std::ostream* os) { *os << c.name; }

class PreprocessTest : public ::testing::TestWithParam<PreprocessCase> {};

TEST_P(PreprocessTest, ResolvesEscapes) {
    const PreprocessCase& c = GetParam();
    EXPECT_EQ(describeUnits(Compactor::preprocessData(c.data, c.mode)), c.units);
}

INSTANTIATE_TEST_SUITE_P(Escapes, PreprocessTest, ::testing::ValuesIn(kPreprocessCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace barwright
