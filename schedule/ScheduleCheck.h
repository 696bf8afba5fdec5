#pragma once
#include <functional>
#include <optional>
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

    // The ticks go on from a minute a previous run of the program last saw: a
    // run due since then comes up at the next tick, as when the clock jumps.
    void resumeAfter(long long lastSeenMinute) { previousMinute_ = lastSeenMinute; }
    // The wall-clock minute of the latest tick (or the one resumed after).
    std::optional<long long> minuteSeen() const { return previousMinute_; }
    // A run fell due and waits for another handler to end.
    bool runWaiting() const { return heldDue_; }

private:
    // The day, date and time gates and the latch, in that order.
    bool isDue(const std::string& weekday);
    // The day and date gates for one calendar day.
    bool dayAndDatePass(const std::string& weekday, const std::string& date);
    // A due minute strictly between two wall-clock minutes: the clock jumped
    // over it (suspend, the skipped hour of a spring night, the clock set on).
    bool jumpedOverARun(long long fromMinute, long long toMinute);

    form::SettingsModel& model_;
    form::ScheduleState& state_;
    platform::Clock& clock_;
    ScheduleHooks hooks_;
    bool heldDue_ = false;      // a run fell due while another handler held the check back
    std::string heldTrigger_;   // the last-trigger minute at that moment
    std::optional<long long> previousMinute_;  // wall-clock minute of the previous tick
    struct Missed {
        std::string day, minute;
    };
    std::optional<Missed> missed_;  // the run jumped over, until its countdown opens
};

// Places a window centred horizontally and slightly above the vertical centre.
void centreWindow(form::Window& window, platform::Screen& screen);

}  // namespace kelvaro::schedule
