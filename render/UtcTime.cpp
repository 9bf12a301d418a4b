#include "render/UtcTime.h"

namespace barwright {

UtcTime utcTimeOf(std::int64_t seconds) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    constexpr std::int64_t kDaysPer400Years = 146097;
    // 1970-01-01 counted from 0000-03-01: the year taken to begin in March
    // puts the leap day at its end.
    constexpr std::int64_t kEpochFromMarch0 = 719468;
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t second = seconds % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --days;
    }
    // The date from the day count by the 400-year cycles of the calendar
    // (Howard Hinnant's days_from_civil, inverted).
    const std::int64_t z = days + kEpochFromMarch0;
    const std::int64_t era = (z >= 0 ? z : z - (kDaysPer400Years - 1)) / kDaysPer400Years;
    const std::int64_t dayOfEra = z - era * kDaysPer400Years;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    UtcTime time;
    time.day = static_cast<std::int32_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.month =
        static_cast<std::int32_t>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    time.year = yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0);
    time.hour = static_cast<std::int32_t>(second / 3600);
    time.minute = static_cast<std::int32_t>(second / 60 % 60);
    time.second = static_cast<std::int32_t>(second % 60);
    return time;
}

}  // namespace barwright
