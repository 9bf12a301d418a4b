#include <gtest/gtest.h>

#include <functional>

#include "encoder/MacroControlBlock.h"

namespace barwright {
namespace {

struct MacroCase {
    const char* name;
    std::function<void(MacroSettings&)> change;  // applied to enabled defaults
    Status status;
    CodewordStream block;  // on failure: what the block holds when it stops
};

// Defaults: count 2, index 1, file ID "#001"; a block that is off is empty. Segment index 0 and
// count 2 are the groups 100000 and 100002 = 111 x 900 + 100 and + 102.
TEST(MacroControlBlock, Fields) {
    const MacroCase cases[] = {
        {"off", [](MacroSettings& m) { m.enabled = false; }, status::kOk, {}},
        {"mandatory fields only",
         [](MacroSettings&) {},
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 102}},
        {"last segment",
         [](MacroSettings& m) { m.segmentCount = 1; },
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 101, 922}},
        {"second of two",
         [](MacroSettings& m) { m.segmentIndex = 2; },
         status::kOk,
         {928, 111, 101, 1, 923, 1, 111, 102, 922}},
        {"file ID marker alone",
         [](MacroSettings& m) { m.fileId = "#"; },
         status::kOk,
         {928, 111, 100, 923, 1, 111, 102}},
        {"file ID of two groups",
         [](MacroSettings& m) { m.fileId = "#899000"; },
         status::kOk,
         {928, 111, 100, 899, 0, 923, 1, 111, 102}},
        {"file ID of digits",
         [](MacroSettings& m) { m.fileId = "123"; },
         status::kOk,
         {928, 111, 100, 1, 223, 923, 1, 111, 102}},
        {"file ID empty reads as 0",
         [](MacroSettings& m) { m.fileId = ""; },
         status::kOk,
         {928, 111, 100, 10, 923, 1, 111, 102}},
        {"file name",
         [](MacroSettings& m) { m.fileName = "AB"; },
         status::kOk,
         {928, 111, 100, 1, 923, 0, 1, 923, 1, 111, 102}},
        {"time stamp padded to 11 digits",
         [](MacroSettings& m) { m.timeStamp = "5"; },
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 2, 137, 156, 711, 105}},
        {"sender and addressee",
         [](MacroSettings& m) {
             m.sender = "ab";
             m.addressee = "AB";
         },
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 3, 810, 59, 923, 4, 1}},
        {"file size 0 is present",
         [](MacroSettings& m) { m.fileSize = 0; },
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 5, 10}},
        {"checksum padded to 5 digits",
         [](MacroSettings& m) { m.checksum = 5; },
         status::kOk,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 6, 111, 105}},
        {"every field in order",
         [](MacroSettings& m) {
             m.segmentCount = 1;
             m.fileName = "AB";
             m.timeStamp = "5";
             m.sender = "ab";
             m.addressee = "AB";
             m.fileSize = 0;
             m.checksum = 5;
         },
         status::kOk,
         {928, 111, 100, 1,   923, 0,   1, 923, 1,   111, 101, 923, 2, 137, 156, 711,
          105, 923, 3,   810, 59,  923, 4, 1,   923, 5,   10,  923, 6, 111, 105, 922}},

        {"count 0", [](MacroSettings& m) { m.segmentCount = 0; }, status::kMacroSegmentCount, {}},
        {"count 100000",
         [](MacroSettings& m) { m.segmentCount = 100000; },
         status::kMacroSegmentCount,
         {}},
        {"count checked before index",
         [](MacroSettings& m) {
             m.segmentCount = 0;
             m.segmentIndex = 0;
         },
         status::kMacroSegmentCount,
         {}},
        {"index 0", [](MacroSettings& m) { m.segmentIndex = 0; }, status::kMacroSegmentIndex, {}},
        {"index 100000",
         [](MacroSettings& m) {
             m.segmentCount = 99999;
             m.segmentIndex = 100000;
         },
         status::kMacroSegmentIndex,
         {}},
        {"index above count",
         [](MacroSettings& m) { m.segmentIndex = 3; },
         status::kMacroSegmentIndexAboveCount,
         {}},
        {"file ID of two digits",
         [](MacroSettings& m) { m.fileId = "#00"; },
         status::kMacroFileId,
         {928, 111, 100}},
        {"file ID group 950",
         [](MacroSettings& m) { m.fileId = "#950"; },
         status::kMacroFileId,
         {928, 111, 100}},
        {"file ID group with a letter",
         [](MacroSettings& m) { m.fileId = "#0a1"; },
         status::kMacroFileId,
         {928, 111, 100}},
        {"file ID digits with a letter",
         [](MacroSettings& m) { m.fileId = "12x"; },
         status::kMacroFileId,
         {928, 111, 100}},
        {"file name not text",
         [](MacroSettings& m) { m.fileName = "\x01"; },
         status::kMacroFileName,
         {928, 111, 100, 1, 923, 0}},
        {"time stamp not digits",
         [](MacroSettings& m) { m.timeStamp = "12:00"; },
         status::kMacroTimeStamp,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 2}},
        {"sender not text",
         [](MacroSettings& m) { m.sender = "\xff"; },
         status::kMacroFileName,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 3}},
        {"addressee not text",
         [](MacroSettings& m) { m.addressee = "\x0b"; },
         status::kMacroFileName,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 4}},
        {"negative file size",
         [](MacroSettings& m) { m.fileSize = -2; },
         status::kMacroFileSize,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 5}},
        {"negative checksum",
         [](MacroSettings& m) { m.checksum = -7; },
         status::kMacroChecksum,
         {928, 111, 100, 1, 923, 1, 111, 102, 923, 6}},
    };
    for (const MacroCase& c : cases) {
        SCOPED_TRACE(c.name);
        MacroSettings macro;
        macro.enabled = true;
        c.change(macro);
        CodewordStream block{1, 2, 3};  // emptied first
        EXPECT_EQ(buildMacroControlBlock(macro, block), c.status);
        EXPECT_EQ(block, c.block);
    }
}

// isMacroFileId, which the programs ask before any encode, and the block
// agree on every kind of ID.
TEST(MacroControlBlock, FileIdCheckIsTheBlocksRule) {
    const struct {
        const char* fileId;
        bool accepted;
    } cases[] = {
        {"#001", true}, {"#899000123", true}, {"#", true},     {"123", true},    {"", true},
        {"0", true},    {"#00", false},       {"#950", false}, {"#0a1", false},  {"12x", false},
        {"-1", false},  {"#001#002", false},  {" 123", false}, {"#1234", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileId);
        EXPECT_EQ(isMacroFileId(c.fileId), c.accepted);
        MacroSettings macro;
        macro.enabled = true;
        macro.fileId = c.fileId;
        CodewordStream block;
        const Status result = buildMacroControlBlock(macro, block);
        EXPECT_EQ(result == status::kMacroFileId, !c.accepted);
    }
}

}  // namespace
}  // namespace barwright
