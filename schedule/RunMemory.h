#pragma once
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "form/ScheduleState.h"
#include "platform/StateStore.h"

namespace kelvaro::schedule {

// What the schedule keeps across runs of the program.
struct RememberedSchedule {
    long long lastSeen = 0;  // the wall-clock minute last seen (minuteNumber)
    std::string cameUpDay;   // "MM/DD/YY"; empty when no run came up yet
    std::set<std::string> cameUpMinutes;  // "HH:MM" of that day
};

// Its text, a few lines a user can read; none when the text is damaged.
std::string formatRemembered(const RememberedSchedule& r);
std::optional<RememberedSchedule> parseRemembered(const std::string& text);

// Keeps the minute the schedule last saw and the runs that came up in the
// state store, so that the next start can offer a run that fell due while the
// program was not running: the clock-jump rule, across a restart.
class RunMemory {
public:
    using Tell = std::function<void(const std::string&)>;
    RunMemory(platform::StateStore& store, form::ScheduleState& state, Tell tell);

    // What the previous run left: the runs that came up join the schedule's
    // own, and the minute it last saw is returned. None at a first start, and
    // when the state is damaged or unreadable (one line on standard error).
    std::optional<long long> recall();
    // After a tick at `minute`: writes when that minute or a run that came up
    // is new. Nothing is written before recall(), so that a tick during
    // start-up cannot replace what the previous run left.
    void remember(long long minute);

private:
    platform::StateStore& store_;
    form::ScheduleState& state_;
    Tell tell_;
    bool recalled_ = false;
    std::string written_;  // the text last written, or tried
    bool told_ = false;    // a failed write is told once a run
};

}  // namespace kelvaro::schedule
