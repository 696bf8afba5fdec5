#include "platform/linux/SystemClock.h"

namespace kelvaro::linuxp {

platform::LocalDateTime SystemClock::now() { return fromTime(std::time(nullptr)); }

platform::LocalDateTime SystemClock::fromTime(std::time_t t) {
    std::tm tm {};
    localtime_r(&t, &tm);
    platform::LocalDateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second counts as the last second
    d.weekday = tm.tm_wday == 0 ? 7 : tm.tm_wday;  // Sunday is 0 in the C library
    return d;
}

}  // namespace kelvaro::linuxp
