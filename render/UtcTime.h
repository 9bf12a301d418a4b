#pragma once

#include <cstdint>

namespace barwright {

// A moment as the UTC calendar names it.
struct UtcTime {
    std::int64_t year = 1970;  // proleptic Gregorian; 0 is 1 BC
    std::int32_t month = 1;    // 1..12
    std::int32_t day = 1;      // 1..31
    std::int32_t hour = 0;     // 0..23
    std::int32_t minute = 0;   // 0..59
    std::int32_t second = 0;   // 0..59 (no leap seconds: POSIX time has none)
};

// The UTC date and time of seconds since 1970 (negative before), for every
// time stamp the library writes (PNG's tIME, PDF's dates). Plain
// arithmetic rather than the C library's gmtime_r, which in WebAssembly
// brings the time zone machinery and an import of the environment, and
// which a 32-bit time_t would limit to 2038.
UtcTime utcTimeOf(std::int64_t seconds);

}  // namespace barwright
