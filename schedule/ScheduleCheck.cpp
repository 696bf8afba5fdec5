#include "schedule/ScheduleCheck.h"

#include <algorithm>
#include <utility>

#include "schedule/TimeText.h"

namespace kelvaro::schedule {

using form::kDays;

ScheduleCheck::ScheduleCheck(form::SettingsModel& model, form::ScheduleState& state, platform::Clock& clock,
                             ScheduleHooks hooks)
    : model_(model), state_(state), clock_(clock), hooks_(std::move(hooks)) {}

void ScheduleCheck::tick() {
    const platform::LocalDateTime now = clock_.now();
    state_.today = formatDate(now);
    state_.currentMinute = formatMinute(now);
    if (hooks_.showClock) hooks_.showClock(formatClock(now));

    const std::string weekday = weekdayToken(now);
    if (state_.lastTrigger != state_.currentMinute) state_.fired = "NO";

    const long long minute = minuteNumber(now);
    const std::optional<long long> previous = std::exchange(previousMinute_, minute);
    const bool due = isDue(weekday) || (previous && jumpedOverARun(*previous, minute));

    const bool held = hooks_.heldBack && hooks_.heldBack();
    if (due) {
        // A due check never runs inside another handler (a message box or the
        // About box is open): the run waits for that handler to end, even when
        // its minute has passed by then, rather than being lost.
        if (held) {
            heldDue_ = true;
            heldTrigger_ = state_.lastTrigger;
            return;
        }
    } else if (held || !heldDue_) {
        return;
    } else if (state_.lastTrigger != heldTrigger_) {
        // A launch (by hand) or a countdown took the run meanwhile.
        heldDue_ = false;
        missed_.reset();
        return;
    }
    heldDue_ = false;
    // The countdown latches this tick's minute; the minute jumped over counts
    // as fired too, should the clock come back over it.
    if (missed_) state_.markFired(missed_->day, missed_->minute);
    missed_.reset();
    if (hooks_.due) hooks_.due();
}

bool ScheduleCheck::dayAndDatePass(const std::string& weekday, const std::string& date) {
    bool dayPasses = false;
    for (int d = 0; d < kDays && !dayPasses; ++d)
        dayPasses = weekday == dayToken(d) && hooks_.dayBoxChecked && hooks_.dayBoxChecked(d);
    if (!dayPasses && hooks_.dailyBoxChecked && hooks_.dailyBoxChecked()) return false;
    return model_.runDate == date || model_.dailyFlag == "YES";
}

bool ScheduleCheck::isDue(const std::string& weekday) {
    if (!dayAndDatePass(weekday, state_.today)) return false;
    // A minute that fired today comes round again only when the clock was set back.
    return model_.runTime() == state_.currentMinute && state_.fired == "NO" &&
           !state_.firedBefore(state_.today, state_.currentMinute);
}

bool ScheduleCheck::jumpedOverARun(long long fromMinute, long long toMinute) {
    if (toMinute <= fromMinute + 1 || state_.fired != "NO") return false;
    const std::optional<int> runMinute = minuteOfDay(model_.runTime());
    if (!runMinute) return false;
    const auto dayOf = [](long long m) { return (m >= 0 ? m : m - 1439) / 1440; };
    // Most recent day first; a century back is far more than any real jump.
    const long long first = std::max(dayOf(fromMinute), dayOf(toMinute) - 36525);
    for (long long day = dayOf(toMinute); day >= first; --day) {
        const long long at = day * 1440 + *runMinute;
        if (at <= fromMinute || at >= toMinute) continue;
        const platform::LocalDateTime date = dayNumbered(day);
        const std::string dateText = formatDate(date);
        if (dayAndDatePass(weekdayToken(date), dateText) && !state_.firedBefore(dateText, model_.runTime())) {
            missed_ = Missed{dateText, model_.runTime()};
            return true;
        }
    }
    return false;
}

void centreWindow(form::Window& window, platform::Screen& screen) {
    screen.setBusyPointer(true);
    const platform::ScreenSize s = screen.size();
    const int top = static_cast<int>(s.height * 0.95 / 2.0 - window.height() / 2.0);
    const int left = static_cast<int>(s.width / 2.0 - window.width() / 2.0);
    window.move(left, top);
    screen.setBusyPointer(false);
}

}  // namespace kelvaro::schedule
