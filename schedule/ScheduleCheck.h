#pragma once
#include <functional>
#include <string>

#include "form/ScheduleState.h"
#include "form/SettingsModel.h"
#include "form/Window.h"
#include "platform/Clock.h"
#include "platform/Screen.h"

namespace kelvaro::schedule {

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
    ScheduleCheck(form::SettingsModel& model, form::ScheduleState& state, platform::Clock& clock, ScheduleHooks hooks);
    void tick();

private:
    // The day, date and time gates and the latch, in that order.
    bool isDue(const std::string& weekday);
    form::SettingsModel& model_;
    form::ScheduleState& state_;
    platform::Clock& clock_;
    ScheduleHooks hooks_;
    bool heldDue_ = false;      // a run fell due while another handler held the check back
    std::string heldTrigger_;   // the last-trigger minute at that moment
};

// Places a window centred horizontally and slightly above the vertical centre.
void centreWindow(form::Window& window, platform::Screen& screen);

}  // namespace kelvaro::schedule
