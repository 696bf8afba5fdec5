#pragma once
#include <set>
#include <string>

namespace kelvaro::form {

// Shared with the countdown and the launch.
struct ScheduleState {
    std::string today;          // "MM/DD/YY"
    std::string currentMinute;  // "HH:MM"
    std::string lastTrigger;    // "HH:MM" or empty
    std::string fired;          // "YES", "NO" or empty

    // The minutes of one day that opened a countdown or started a backup. When
    // the clock is set back (the repeated hour of an autumn night) they come
    // round again, and must not run the backup twice.
    std::string firedDay;  // "MM/DD/YY"
    std::set<std::string> firedMinutes;

    // Countdown start and backup launch: no further countdown in this minute.
    void latch() {
        lastTrigger = currentMinute;
        fired = "YES";
        markFired(today, currentMinute);
    }
    void markFired(const std::string& day, const std::string& minute) {
        if (firedDay != day) {
            firedDay = day;
            firedMinutes.clear();
        }
        firedMinutes.insert(minute);
    }
    bool firedBefore(const std::string& day, const std::string& minute) const {
        return firedDay == day && firedMinutes.count(minute) != 0;
    }
};

}  // namespace kelvaro::form
