#include "barwright/Status.h"

namespace barwright {

namespace {

struct StatusMessage {
    Status code;
    const char* text;
};

// Some texts are not grammatical ("cant", no final full stop for 28); they
// are printed exactly as they stand because scripts may match on them.
constexpr StatusMessage kStatusMessages[] = {
    {status::kOk, "Ok."},
    {status::kInvalidArgument, "Error: Invalid argument."},
    {status::kFail, "Error: Fail."},
    {status::kInvalidCompactionMode, "Error: Invalid compaction mode."},
    {status::kInvalidData, "Error: Invalid data to encode."},
    {status::kTextModeCharacters,
     "Error: Some of the characters cannot be encoded in the TEXT mode."},
    {status::kNumericModeCharacters,
     "Error: Some of the characters cannot be encoded in the NUMERIC mode."},
    {status::kDataCountAbove928, "Error: Data count above 928."},
    {status::kColumnsOutOfRange, "Error: Columns number should be from 1 to 30 (or 0-auto)."},
    {status::kRowsOutOfRange, "Error: Rows number should be from 3 to 90 (or 0-auto)."},
    {status::kColumnsAndRowsNull, "Error: Columns and rows cannot be null."},
    {status::kDataTooLarge, "Error: Data to encode too large."},
    {status::kGridTooSmall, "Error: The data cannot be encoded in these column and row numbers."},
    {status::kSizeTooSmall, "Error: Data cannot be encoded in this size."},
    {status::kColumnsTooLarge, "Error: Columns number too large (or increase width/height)."},
    {status::kRowsTooLarge, "Error: Rows number too large (or increase height/width)."},
    // 16 has no message of its own.
    {status::kMacroSegmentIndex, "Error: Invalid Macro PDF segment index."},
    {status::kMacroSegmentIndexAboveCount,
     "Error: Macro PDF segment index cant be higher than segment count."},
    {status::kMacroFileId, "Error: Invalid Macro PDF File ID."},
    {status::kMacroFileName, "Error: Invalid Macro PDF File Name."},
    {status::kMacroFileSize, "Error: Invalid Macro PDF File size."},
    {status::kMacroChecksum, "Error: Invalid Macro PDF File checksum."},
    {status::kMacroTimeStamp, "Error: Invalid Macro PDF time stamp."},
    {status::kEmptyFileName, "Error: Output file name cant be empty."},
    {status::kCantOpenOutput, "Error: Cant open output file."},
    {status::kCantCloseOutput, "Error: Cant close output file."},
    {status::kUnknownException, "Error: Unknown exception."},
    {status::kCantAllocateImage, "Error: Cant initialize PNG creator"},
    {status::kMacroSegmentCount, "Error: Invalid Macro PDF segment count."},
};

constexpr const char* kUnknownStatusMessage = "Error: Unknown error.";

}  // namespace

const char* statusMessage(Status code) {
    for (const StatusMessage& entry : kStatusMessages) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return kUnknownStatusMessage;
}

}  // namespace barwright
