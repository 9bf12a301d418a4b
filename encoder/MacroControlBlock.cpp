#include "encoder/MacroControlBlock.h"

#include <string>

#include "compaction/Compactor.h"

namespace barwright {
namespace {

constexpr Codeword kMacroBlockStart = 928;
constexpr Codeword kOptionalFieldDesignator = 923;
constexpr Codeword kLastSegmentTerminator = 922;

// Field designators, the codeword after 923.
enum FieldDesignator : Codeword {
    kFileNameField = 0,
    kSegmentCountField = 1,
    kTimeStampField = 2,
    kSenderField = 3,
    kAddresseeField = 4,
    kFileSizeField = 5,
    kChecksumField = 6,
};

constexpr std::size_t kSegmentDigits = 5;
constexpr std::size_t kTimeStampDigits = 11;
// Enough for the mandatory fields and short optional ones.
constexpr std::size_t kBlockCapacity = 30;
// A "#" file ID carries one codeword per three digits (see isMacroFileId).
constexpr char kFileIdGroupMarker = '#';
constexpr std::size_t kFileIdGroupDigits = 3;

// Decimal form of a value, padded on the left with zeros to `width` digits.
// Longer forms are kept whole: nothing is cut.
std::string zeroPadded(std::string digits, std::size_t width) {
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

Status checkSegment(const MacroSettings& macro) {
    if (macro.segmentCount <= 0 || macro.segmentCount > kMaxMacroSegments) {
        return status::kMacroSegmentCount;
    }
    if (macro.segmentIndex < 1 || macro.segmentIndex > kMaxMacroSegments) {
        return status::kMacroSegmentIndex;
    }
    if (macro.segmentIndex > macro.segmentCount) {
        return status::kMacroSegmentIndexAboveCount;
    }
    return status::kOk;
}

Status appendFileId(std::string_view fileId, CodewordStream& block) {
    if (!isMacroFileId(fileId)) {
        return status::kMacroFileId;
    }
    if (fileId.empty() || fileId.front() != kFileIdGroupMarker) {
        return Compactor::compactNumericDigits(fileId, block) == status::kOk ? status::kOk
                                                                             : status::kMacroFileId;
    }
    for (std::size_t i = 1; i < fileId.size(); i += kFileIdGroupDigits) {
        Codeword value = 0;
        for (std::size_t j = i; j < i + kFileIdGroupDigits; ++j) {
            value = static_cast<Codeword>(value * 10 + (fileId[j] - '0'));
        }
        block.push_back(value);
    }
    return status::kOk;
}

// Each optional field's designator pair goes in before its content is
// checked, so a failing field leaves its two codewords in the block (the
// driver discards the whole block then).
Status appendTextField(Codeword field, const std::string& text, Status failure,
                       CodewordStream& block) {
    block.insert(block.end(), {kOptionalFieldDesignator, field});
    return Compactor::compactTextString(text, block) == status::kOk ? status::kOk : failure;
}

Status appendNumericField(Codeword field, const std::string& digits, Status failure,
                          CodewordStream& block) {
    block.insert(block.end(), {kOptionalFieldDesignator, field});
    return Compactor::compactNumericDigits(digits, block) == status::kOk ? status::kOk : failure;
}

// A number padded to width digits; a negative one is refused (after its
// designator pair, as above).
Status appendNumberField(Codeword field, std::int32_t number, std::size_t width, Status failure,
                         CodewordStream& block) {
    if (number < 0) {
        block.insert(block.end(), {kOptionalFieldDesignator, field});
        return failure;
    }
    return appendNumericField(field, zeroPadded(std::to_string(number), width), failure, block);
}

// The optional fields in the order readers expect them; the segment count,
// though optional to readers, is always written. Sender and addressee share
// the file name's status: the status table has no message of their own.
Status appendOptionalFields(const MacroSettings& macro, CodewordStream& block) {
    Status result = status::kOk;
    if (!macro.fileName.empty()) {
        result = appendTextField(kFileNameField, macro.fileName, status::kMacroFileName, block);
    }
    if (result == status::kOk) {
        result = appendNumberField(kSegmentCountField, macro.segmentCount, kSegmentDigits,
                                   status::kFail, block);
    }
    if (result == status::kOk && !macro.timeStamp.empty()) {
        result = appendNumericField(kTimeStampField, zeroPadded(macro.timeStamp, kTimeStampDigits),
                                    status::kMacroTimeStamp, block);
    }
    if (result == status::kOk && !macro.sender.empty()) {
        result = appendTextField(kSenderField, macro.sender, status::kMacroFileName, block);
    }
    if (result == status::kOk && !macro.addressee.empty()) {
        result = appendTextField(kAddresseeField, macro.addressee, status::kMacroFileName, block);
    }
    // -1 means absent; any other negative value is an error, not a number
    // to encode.
    if (result == status::kOk && macro.fileSize != -1) {
        result =
            appendNumberField(kFileSizeField, macro.fileSize, 0, status::kMacroFileSize, block);
    }
    if (result == status::kOk && macro.checksum != -1) {
        result = appendNumberField(kChecksumField, macro.checksum, kSegmentDigits,
                                   status::kMacroChecksum, block);
    }
    return result;
}

}  // namespace

Status buildMacroControlBlock(const MacroSettings& macro, CodewordStream& block) {
    block = CodewordStream();
    if (!macro.enabled) {
        return status::kOk;
    }
    Status result = checkSegment(macro);
    if (result != status::kOk) {
        return result;
    }
    block.reserve(kBlockCapacity);
    block.push_back(kMacroBlockStart);
    // The block numbers its segments from 0.
    result = Compactor::compactNumericDigits(
        zeroPadded(std::to_string(macro.segmentIndex - 1), kSegmentDigits), block);
    if (result == status::kOk) {
        result = appendFileId(macro.fileId, block);
    }
    if (result == status::kOk) {
        result = appendOptionalFields(macro, block);
    }
    if (result == status::kOk && macro.segmentIndex == macro.segmentCount) {
        block.push_back(kLastSegmentTerminator);
    }
    return result;
}

}  // namespace barwright
