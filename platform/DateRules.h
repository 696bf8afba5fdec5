#pragma once
#include <string>

namespace kelvaro::platform {

// Month/day/year with "/" (also "-" or "."), a two-digit year (00-29 -> 20xx,
// 30-99 -> 19xx) or a four-digit one; checked against the real calendar.
bool isValidMonthDayYear(const std::string& text);

}  // namespace kelvaro::platform
