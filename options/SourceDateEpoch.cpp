#include "options/SourceDateEpoch.h"

#include <cstdlib>
#include <ctime>

#include "barwright/PngWriter.h"

namespace barwright {

SourceDateEpoch SourceDateEpoch::fromEnvironment() {
    return fromValue(std::getenv("SOURCE_DATE_EPOCH"));
}

SourceDateEpoch SourceDateEpoch::fromValue(const char* value) {
    SourceDateEpoch epoch;
    if (value == nullptr || value[0] == '\0') {
        return epoch;
    }
    epoch.given = true;
    epoch.text = value;
    std::time_t time = 0;
    epoch.valid = parseSourceDateEpoch(epoch.text, time);
    epoch.seconds = epoch.valid ? static_cast<std::int64_t>(time) : 0;
    return epoch;
}

void SourceDateEpoch::applyTo(OutputOptions& output) const {
    if (valid) {
        output.timeSource = FileTime::kGiven;
        output.time = seconds;
    } else {
        output.timeSource = FileTime::kClock;
    }
}

std::string SourceDateEpoch::problem() const {
    return "SOURCE_DATE_EPOCH '" + text +
           "' is not a number of seconds since 1970 (up to the year 9999)";
}

}  // namespace barwright
