#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace barwright {

// Segments are numbered with five decimal digits.
constexpr std::int32_t kMaxMacroSegments = 99999;

// The fields of a Macro PDF417 control block, which lets a reader join a
// file split over several symbols. The command line never enables it.
struct MacroSettings {
    bool enabled = false;
    std::int32_t segmentCount = 2;  // 1..99999
    std::int32_t segmentIndex = 1;  // 1..99999, not above segmentCount
    std::string fileId = "#001";    // see isMacroFileId
    std::string fileName;           // optional text; empty = absent
    std::string timeStamp;          // optional digits; empty = absent
    std::string sender;             // optional text; empty = absent
    std::string addressee;          // optional text; empty = absent
    std::int32_t fileSize = -1;     // optional; -1 = absent
    std::int32_t checksum = -1;     // optional; -1 = absent

    bool operator==(const MacroSettings& other) const {
        return enabled == other.enabled && segmentCount == other.segmentCount &&
               segmentIndex == other.segmentIndex && fileId == other.fileId &&
               fileName == other.fileName && timeStamp == other.timeStamp &&
               sender == other.sender && addressee == other.addressee &&
               fileSize == other.fileSize && checksum == other.checksum;
    }
    bool operator!=(const MacroSettings& other) const { return !(*this == other); }
};

// Whether a Macro control block can carry fileId: "#" and whole groups of
// three digits, each 000..899, one codeword a group (no group at all makes
// an empty ID); or digits alone, numeric-compacted (none at all read as 0).
// encode refuses any other ID with kMacroFileId.
[[nodiscard]] bool isMacroFileId(std::string_view fileId);

}  // namespace barwright
