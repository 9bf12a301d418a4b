#include "barwright/MacroSettings.h"

namespace barwright {
namespace {

// A "#" file ID carries one codeword per three digits, each below 900 so that
// it is a data value, not a control codeword.
constexpr char kFileIdGroupMarker = '#';
constexpr std::size_t kFileIdGroupDigits = 3;
constexpr int kMaxFileIdGroupValue = 899;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view text) {
    for (const char c : text) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isMacroFileId(std::string_view fileId) {
    if (fileId.empty() || fileId.front() != kFileIdGroupMarker) {
        return allDigits(fileId);
    }
    const std::string_view groups = fileId.substr(1);
    if (groups.size() % kFileIdGroupDigits != 0 || !allDigits(groups)) {
        return false;
    }
    for (std::size_t i = 0; i < groups.size(); i += kFileIdGroupDigits) {
        int value = 0;
        for (std::size_t j = i; j < i + kFileIdGroupDigits; ++j) {
            value = value * 10 + (groups[j] - '0');
        }
        if (value > kMaxFileIdGroupValue) {
            return false;
        }
    }
    return true;
}

}  // namespace barwright
