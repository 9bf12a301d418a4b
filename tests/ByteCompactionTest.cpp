#include <gtest/gtest.h>

#include "compaction/Compactor.h"
#include "support/CompactionRun.h"

namespace barwright {
namespace {

using test::CodewordCase;
constexpr std::int32_t kByte = Compactor::kModeByte;

// Six bytes to five codewords, the rest one each; 924 for a multiple of
// six, else 901 (after the forced mode's own 924).
const CodewordCase kByteCases[] = {
    {"SixZeros", "~X00~X00~X00~X00~X00~X00", kByte, {924, 924, 0, 0, 0, 0, 0}},
    {"SixMaximal", "\xff\xff\xff\xff\xff\xff", kByte, {924, 924, 429, 11, 71, 222, 855}},
    {"OneToSix", "~X01~X02~X03~X04~X05~X06", kByte, {924, 924, 1, 620, 89, 74, 846}},
    {"SevenBytes", "ABCDEFG", kByte, {924, 901, 109, 326, 368, 127, 330, 71}},
    {"FiveBytes", "ABCDE", kByte, {924, 901, 65, 66, 67, 68, 69}},
    {"TwelveBytes",
     "Hello world!",
     kByte,
     {924, 924, 121, 291, 257, 858, 232, 200, 137, 829, 323, 645}},
    {"SignExtendedByteUnsigned", "\x80", kByte, {924, 901, 128}},
    {"EscapesAreBytes", "~N~~", kByte, {924, 901, 10, 126}},
    {"EciSplitsSegment", "AB~7000003CD", kByte, {924, 901, 65, 66, 927, 3, 901, 67, 68}},
};

class ByteCompactionTest : public ::testing::TestWithParam<CodewordCase> {};
TEST_P(ByteCompactionTest, Codewords) { test::expectCodewords(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Groups, ByteCompactionTest, ::testing::ValuesIn(kByteCases),
                         test::caseName);

}  // namespace
}  // namespace barwright
