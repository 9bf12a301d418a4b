#pragma once

#include <cstdint>
#include <string>

#include "options/SymbolOptions.h"

namespace barwright {

// The time of the reproducible-builds convention, the environment variable
// SOURCE_DATE_EPOCH, read the one way every program reads it: unset or
// empty is no time (build systems commonly pass it empty); decimal digits
// alone, up to the end of the year 9999 (PNG's and PDF's text dates hold
// four digits), are that many seconds since 1970; anything else is
// malformed. What a program does about a malformed value is its own: the
// convention asks tools to fail, and barwright, which has no message for
// it, ignores it.
struct SourceDateEpoch {
    bool given = false;  // set, and not empty
    bool valid = false;  // given, and a time
    std::int64_t seconds = 0;
    std::string text;  // the value as set

    // Reads the variable; the second reads the value given (null: unset).
    static SourceDateEpoch fromEnvironment();
    static SourceDateEpoch fromValue(const char* value);

    // A valid time becomes the time files record; otherwise they record the
    // clock's.
    void applyTo(OutputOptions& output) const;
    // Why a malformed value is refused, for a program's message.
    std::string problem() const;
};

}  // namespace barwright
