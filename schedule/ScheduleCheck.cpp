#include "schedule/ScheduleCheck.h"

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

    const bool held = hooks_.heldBack && hooks_.heldBack();
    if (isDue(weekday)) {
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
        return;
    }
    heldDue_ = false;
    if (hooks_.due) hooks_.due();
}

bool ScheduleCheck::isDue(const std::string& weekday) {
    bool dayPasses = false;
    for (int d = 0; d < kDays && !dayPasses; ++d)
        dayPasses = weekday == dayToken(d) && hooks_.dayBoxChecked && hooks_.dayBoxChecked(d);
    if (!dayPasses && hooks_.dailyBoxChecked && hooks_.dailyBoxChecked()) return false;
    if (!(model_.runDate == state_.today || model_.dailyFlag == "YES")) return false;
    return model_.runTime() == state_.currentMinute && state_.fired == "NO";
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
