#include "encoder/MacroControlBlock.h"

#include <string>

#include "compaction/Compactor.h"

namespace barwright {
namespace {

constexpr Codeword kMacroBlockStart = 928;
constexpr Codeword kOptionalFieldDesignator = 923;
constexpr Codeword kLastSegmentTerminator = 922;

// Field designators, the codeword after 923.
constexpr Codeword kFileNameField = 0;
constexpr Codeword kSegmentCountField = 1;
constexpr Codeword kTimeStampField = 2;
constexpr Codeword kSenderField = 3;
constexpr Codeword kAddresseeField = 4;
constexpr Codeword kFileSizeField = 5;
constexpr Codeword kChecksumField = 6;

constexpr std::size_t kSegmentDigits = 5;
constexpr std::size_t kTimeStampDigits = 11;
// Enough for the mandatory fields and short optional ones.
constexpr std::size_t kBlockCapacity = 30;
// A "#" file ID carries one codeword per three digits, each below 900 so that
// it is a data value, not a control codeword.
constexpr char kFileIdGroupMarker = '#';
constexpr std::size_t kFileIdGroupDigits = 3;
constexpr int kMaxFileIdGroupValue = 899;

// Decimal form of a value, padded on the left with zeros to `width` digits.
// Longer forms are kept whole: nothing is cut.
std::string zeroPadded(std::string digits, std::size_t width) {
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Appends the codewords of a "#ddd..." file ID; false when the digits after
// the marker are not whole groups of three or a group is above 899.
bool appendGroupedFileId(std::string_view groups, CodewordStream& block) {
    if (groups.size() % kFileIdGroupDigits != 0) {
        return false;
    }
    for (std::size_t i = 0; i < groups.size(); i += kFileIdGroupDigits) {
        int value = 0;
        for (std::size_t j = i; j < i + kFileIdGroupDigits; ++j) {
            if (!isDigit(groups[j])) {
                return false;
            }
            value = value * 10 + (groups[j] - '0');
        }
        if (value > kMaxFileIdGroupValue) {
            return false;
        }
        block.push_back(static_cast<Codeword>(value));
    }
    return true;
}

}  // namespace

Status buildMacroControlBlock(const MacroSettings& macro, CodewordStream& block) {
    block = CodewordStream();
    if (!macro.enabled) {
        return status::kOk;
    }
    if (macro.segmentCount <= 0 || macro.segmentCount > kMaxMacroSegments) {
        return status::kMacroSegmentCount;
    }
    if (macro.segmentIndex < 1 || macro.segmentIndex > kMaxMacroSegments) {
        return status::kMacroSegmentIndex;
    }
    if (macro.segmentIndex > macro.segmentCount) {
        return status::kMacroSegmentIndexAboveCount;
    }

    block.reserve(kBlockCapacity);
    block.push_back(kMacroBlockStart);

    // The block numbers its segments from 0.
    Status result = Compactor::compactNumericDigits(
        zeroPadded(std::to_string(macro.segmentIndex - 1), kSegmentDigits), block);
    if (result != status::kOk) {
        return result;
    }

    const std::string_view fileId = macro.fileId;
    const bool fileIdOk = !fileId.empty() && fileId.front() == kFileIdGroupMarker
                              ? appendGroupedFileId(fileId.substr(1), block)
                              : Compactor::compactNumericDigits(fileId, block) == status::kOk;
    if (!fileIdOk) {
        return status::kMacroFileId;
    }

    // Each optional field's designator pair goes in before its content is
    // checked, so a failing field leaves its two codewords in the block (the
    // driver discards the whole block then).
    if (!macro.fileName.empty()) {
        block.insert(block.end(), {kOptionalFieldDesignator, kFileNameField});
        if (Compactor::compactTextString(macro.fileName, block) != status::kOk) {
            return status::kMacroFileName;
        }
    }

    block.insert(block.end(), {kOptionalFieldDesignator, kSegmentCountField});
    result = Compactor::compactNumericDigits(
        zeroPadded(std::to_string(macro.segmentCount), kSegmentDigits), block);
    if (result != status::kOk) {
        return result;
    }

    if (!macro.timeStamp.empty()) {
        block.insert(block.end(), {kOptionalFieldDesignator, kTimeStampField});
        if (Compactor::compactNumericDigits(zeroPadded(macro.timeStamp, kTimeStampDigits), block) !=
            status::kOk) {
            return status::kMacroTimeStamp;
        }
    }

    // Sender and addressee share the file name's status: the status table has
    // no message of their own.
    if (!macro.sender.empty()) {
        block.insert(block.end(), {kOptionalFieldDesignator, kSenderField});
        if (Compactor::compactTextString(macro.sender, block) != status::kOk) {
            return status::kMacroFileName;
        }
    }
    if (!macro.addressee.empty()) {
        block.insert(block.end(), {kOptionalFieldDesignator, kAddresseeField});
        if (Compactor::compactTextString(macro.addressee, block) != status::kOk) {
            return status::kMacroFileName;
        }
    }

    // -1 means absent; any other negative value is an error, not a number
    // to encode.
    if (macro.fileSize != -1) {
        block.insert(block.end(), {kOptionalFieldDesignator, kFileSizeField});
        if (macro.fileSize < 0 ||
            Compactor::compactNumericDigits(std::to_string(macro.fileSize), block) != status::kOk) {
            return status::kMacroFileSize;
        }
    }
    if (macro.checksum != -1) {
        block.insert(block.end(), {kOptionalFieldDesignator, kChecksumField});
        if (macro.checksum < 0 ||
            Compactor::compactNumericDigits(
                zeroPadded(std::to_string(macro.checksum), kSegmentDigits), block) != status::kOk) {
            return status::kMacroChecksum;
        }
    }

    if (macro.segmentIndex == macro.segmentCount) {
        block.push_back(kLastSegmentTerminator);
    }
    return status::kOk;
}

}  // namespace barwright
