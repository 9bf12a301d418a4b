#include "options/SourceDateEpoch.h"

#include <cstdlib>

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
    epoch.valid = parseSourceDateEpoch(epoch.text, epoch.seconds);
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
