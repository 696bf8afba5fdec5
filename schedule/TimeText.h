#pragma once
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace kelvaro::schedule {

std::string formatDate(const platform::LocalDateTime& t);     // "MM/DD/YY"
std::string formatMinute(const platform::LocalDateTime& t);   // "HH:MM"
std::string formatClock(const platform::LocalDateTime& t);    // "HH:MM:SS"
std::string weekdayToken(const platform::LocalDateTime& t);   // "Mon" .. "Sun"
// Wall-clock minutes since 1970-01-01 00:00 of a local date and time, and the
// day (weekday included) of a number of days since then: the arithmetic behind
// noticing that the clock jumped over a minute.
long long minuteNumber(const platform::LocalDateTime& t);
platform::LocalDateTime dayNumbered(long long days);
// The token of a day box: 0 = "Mon" .. 6 = "Sun".
const char* dayToken(int day);
// The minute of the day (0 .. 1439) of a 24-hour "HH:MM" with leading zeros;
// none for any other text, as such a text never equals the clock's minute.
std::optional<int> minuteOfDay(const std::string& hhmm);
// "HH:MM" plus the given minutes, wrapping past midnight. A text that is not a
// time of day is returned unchanged.
std::string addMinutes(const std::string& hhmm, int minutes);

}  // namespace kelvaro::schedule
