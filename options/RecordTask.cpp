#include "options/RecordTask.h"

#include "options/PrintableText.h"

namespace barwright {

namespace {

// Codewords of a file ID carry 0..899 each.
constexpr std::uint64_t kFileIdBase = 900;

}  // namespace

std::string macroFileId(std::uint64_t recordNumber) {
    std::string groups;
    do {
        const auto digit = static_cast<unsigned>(recordNumber % kFileIdBase);
        const char group[3] = {static_cast<char>('0' + digit / 100),
                               static_cast<char>('0' + digit / 10 % 10),
                               static_cast<char>('0' + digit % 10)};
        groups.insert(0, group, 3);
        recordNumber /= kFileIdBase;
    } while (recordNumber > 0);
    return "#" + groups;
}

std::string resultMessage(const RecordResult& result) {
    std::string text = statusMessage(result.status);
    if (!result.reason.empty()) {
        text += " (" + result.reason + ")";
    }
    return text;
}

std::string failureMessage(const RecordTask& task, const RecordResult& result) {
    std::string line;
    if (!task.location.empty()) {
        line += task.location + ": ";
    }
    return line + printableText(result.name, false) + ": " + resultMessage(result);
}

std::string missingFolderMessage(const std::string& folder, std::uint64_t records) {
    return "folder \"" + printableText(folder, true) +
           "\" does not exist: " + std::to_string(records) +
           (records == 1 ? " record" : " records") + " not written (--mkdir creates it)";
}

}  // namespace barwright
