#include "schedule/TimeText.h"

#include <chrono>
#include <cstdio>

namespace kelvaro::schedule {

std::string formatDate(const platform::LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", t.month % 100, t.day % 100, t.year % 100);
    return buf;
}

std::string formatMinute(const platform::LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour % 100, t.minute % 100);
    return buf;
}

std::string formatClock(const platform::LocalDateTime& t) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

long long minuteNumber(const platform::LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                        std::chrono::day{static_cast<unsigned>(t.day)}};
    return day.time_since_epoch().count() * 1440LL + t.hour * 60 + t.minute;
}

platform::LocalDateTime dayNumbered(long long days) {
    using namespace std::chrono;
    const sys_days day{std::chrono::days{days}};
    const year_month_day ymd{day};
    platform::LocalDateTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    t.hour = t.minute = t.second = 0;
    t.weekday = static_cast<int>(weekday{day}.iso_encoding());
    return t;
}

const char* dayToken(int day) {
    static const char* const names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return day >= 0 && day <= 6 ? names[day] : "";
}

std::string weekdayToken(const platform::LocalDateTime& t) { return dayToken(t.weekday - 1); }

std::optional<int> minuteOfDay(const std::string& t) {
    auto digit = [&t](std::size_t i) { return t[i] >= '0' && t[i] <= '9' ? t[i] - '0' : -1; };
    if (t.size() != 5 || t[2] != ':') return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u})
        if (digit(i) < 0) return std::nullopt;
    const int hour = digit(0) * 10 + digit(1);
    const int minute = digit(3) * 10 + digit(4);
    if (hour > 23 || minute > 59) return std::nullopt;
    return hour * 60 + minute;
}

std::string addMinutes(const std::string& hhmm, int minutes) {
    int h = 0, m = 0;
    char tail = 0;
    if (std::sscanf(hhmm.c_str(), "%d:%d%c", &h, &m, &tail) != 2 || h < 0 || h > 23 || m < 0 || m > 59)
        return hhmm;
    int total = ((h * 60 + m + minutes) % 1440 + 1440) % 1440;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", total / 60, total % 60);
    return buf;
}

}  // namespace kelvaro::schedule
