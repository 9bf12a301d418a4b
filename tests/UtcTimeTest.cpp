// The library's one UTC calendar (PNG time stamps, PDF dates, in WebAssembly
// too): known answers around the epoch, leap days and century rules, and
// the ends of the years a PNG time stamp holds.
#include <gtest/gtest.h>

#include <cstdint>

#include "render/UtcTime.h"

namespace barwright {
namespace {

TEST(UtcTime, KnownDates) {
    const struct {
        std::int64_t seconds;
        UtcTime utc;
    } cases[] = {
        {0, {1970, 1, 1, 0, 0, 0}},
        {-1, {1969, 12, 31, 23, 59, 59}},
        {951782400, {2000, 2, 29, 0, 0, 0}},       // a leap day of a 400th year
        {4107542400, {2100, 3, 1, 0, 0, 0}},       // 2100 has no leap day
        {1700000000, {2023, 11, 14, 22, 13, 20}},  // SOURCE_DATE_EPOCH in the tests
        {2147483648, {2038, 1, 19, 3, 14, 8}},     // past a 32-bit time_t
        {253402300799, {9999, 12, 31, 23, 59, 59}},
        {-62167219200, {0, 1, 1, 0, 0, 0}},
        {-2208945600, {1900, 1, 1, 12, 0, 0}},
        {2005949145599, {65535, 12, 31, 23, 59, 59}},
    };
    for (const auto& c : cases) {
        const UtcTime utc = utcTimeOf(c.seconds);
        EXPECT_EQ(utc.year, c.utc.year) << c.seconds;
        EXPECT_EQ(utc.month, c.utc.month) << c.seconds;
        EXPECT_EQ(utc.day, c.utc.day) << c.seconds;
        EXPECT_EQ(utc.hour, c.utc.hour) << c.seconds;
        EXPECT_EQ(utc.minute, c.utc.minute) << c.seconds;
        EXPECT_EQ(utc.second, c.utc.second) << c.seconds;
    }
}

}  // namespace
}  // namespace barwright
