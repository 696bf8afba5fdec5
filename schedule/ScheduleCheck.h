#pragma once
#include <functional>
#include <string>

#include "form/Window.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "schedule/SettingsModel.h"

namespace kelvaro::schedule {

// Shared with the countdown and the launch.
struct ScheduleState {
    std::string today;          // "MM/DD/YY"
    std::string currentMinute;  // "HH:MM"
    std::string lastTrigger;    // "HH:MM" or empty
    std::string fired;          // "YES", "NO" or empty

    // Countdown start and backup launch: no further countdown in this minute.
    void latch() { lastTrigger = currentMinute; fired = "YES"; }
};

// What the check reads from and writes to the main window.
struct ScheduleHooks {
    std::function<void(const std::string&)> showClock;  // "HH:MM:SS", redrawn at once
    std::function<bool(int day)> dayBoxChecked;          // 0 = Monday .. 6 = Sunday
    std::function<bool()> dailyBoxChecked;
    std::function<void()> due;                           // opens the countdown; returns when it closed
    std::function<bool()> heldBack;                      // true while another handler is running
};

// The 500 ms heartbeat: clock display and the decision whether a run is due.
class ScheduleCheck {
public:
    ScheduleCheck(SettingsModel& model, ScheduleState& state, platform::Clock& clock, ScheduleHooks hooks);
    void tick();

private:
    // The day, date and time gates and the latch, in that order.
    bool isDue(const std::string& weekday);
    SettingsModel& model_;
    ScheduleState& state_;
    platform::Clock& clock_;
    ScheduleHooks hooks_;
    bool heldDue_ = false;      // a run fell due while another handler held the check back
    std::string heldTrigger_;   // the last-trigger minute at that moment
};

// Places a window centred horizontally and slightly above the vertical centre.
void centreWindow(form::Window& window, platform::Screen& screen);

}  // namespace kelvaro::schedule
