// Every status code's message, byte for byte, and the fallback for codes
// without one.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "barwright/Status.h"

namespace barwright {
namespace {

struct MessageCase {
    Status code;
    const char* message;
};

const MessageCase kMessages[] = {
    {0, "Ok."},
    {1, "Error: Invalid argument."},
    {2, "Error: Fail."},
    {3, "Error: Invalid compaction mode."},
    {4, "Error: Invalid data to encode."},
    {5, "Error: Some of the characters cannot be encoded in the TEXT mode."},
    {6, "Error: Some of the characters cannot be encoded in the NUMERIC mode."},
    {7, "Error: Data count above 928."},
    {8, "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {9, "Error: Rows number should be from 3 to 90 (or 0-auto)."},
    {10, "Error: Columns and rows cannot be null."},
    {11, "Error: Data to encode too large."},
    {12, "Error: The data cannot be encoded in these column and row numbers."},
    {13, "Error: Data cannot be encoded in this size."},
    {14, "Error: Columns number too large (or increase width/height)."},
    {15, "Error: Rows number too large (or increase height/width)."},
    {17, "Error: Invalid Macro PDF segment index."},
    {18, "Error: Macro PDF segment index cant be higher than segment count."},
    {19, "Error: Invalid Macro PDF File ID."},
    {20, "Error: Invalid Macro PDF File Name."},
    {21, "Error: Invalid Macro PDF File size."},
    {22, "Error: Invalid Macro PDF File checksum."},
    {23, "Error: Invalid Macro PDF time stamp."},
    {24, "Error: Output file name cant be empty."},
    {25, "Error: Cant open output file."},
    {26, "Error: Cant close output file."},
    {27, "Error: Unknown exception."},
    {28, "Error: Cant initialize PNG creator"},
    {static_cast<Status>(0xC0050219u), "Error: Invalid Macro PDF segment count."},
};

TEST(StatusMessages, EveryCodeHasItsText) {
    for (const MessageCase& c : kMessages) {
        EXPECT_STREQ(statusMessage(c.code), c.message) << "code " << c.code;
    }
}

TEST(StatusMessages, SegmentCountCodeIsTheFullPattern) {
    EXPECT_EQ(status::kMacroSegmentCount, -1073413607);
    EXPECT_STREQ(statusMessage(status::kMacroSegmentCount),
                 "Error: Invalid Macro PDF segment count.");
}

TEST(StatusMessages, CodesWithoutTextAreUnknown) {
    const Status unknown[] = {16,
                              29,
                              -1,
                              1000,
                              static_cast<Status>(0xC0050218u),
                              std::numeric_limits<Status>::min(),
                              std::numeric_limits<Status>::max()};
    for (const Status code : unknown) {
        EXPECT_STREQ(statusMessage(code), "Error: Unknown error.") << "code " << code;
    }
}

}  // namespace
}  // namespace barwright
