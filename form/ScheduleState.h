#pragma once
#include <string>

namespace kelvaro::form {

// Shared with the countdown and the launch.
struct ScheduleState {
    std::string today;          // "MM/DD/YY"
    std::string currentMinute;  // "HH:MM"
    std::string lastTrigger;    // "HH:MM" or empty
    std::string fired;          // "YES", "NO" or empty

    // Countdown start and backup launch: no further countdown in this minute.
    void latch() { lastTrigger = currentMinute; fired = "YES"; }
};

}  // namespace kelvaro::form
