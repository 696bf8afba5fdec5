#include "schedule/ScheduleCheck.h"

#include "schedule/TimeText.h"

namespace kelvaro::schedule {

ScheduleCheck::ScheduleCheck(SettingsModel& model, ScheduleState& state, platform::Clock& clock,
                             ScheduleHooks hooks)
    : model_(model), state_(state), clock_(clock), hooks_(std::move(hooks)) {}

void ScheduleCheck::tick() {
    const platform::LocalDateTime now = clock_.now();
    state_.today = formatDate(now);
    state_.currentMinute = formatMinute(now);
    if (hooks_.showClock) hooks_.showClock(formatClock(now));

    // A due check never runs inside another handler; the next tick tries again.
    if (hooks_.heldBack && hooks_.heldBack()) return;

    static const char* tokens[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const std::string weekday = weekdayToken(now);

    if (state_.lastTrigger != state_.currentMinute) state_.fired = "NO";

    bool dayPasses = false;
    for (int d = 0; d < kDays && !dayPasses; ++d)
        dayPasses = weekday == tokens[d] && hooks_.dayBoxChecked && hooks_.dayBoxChecked(d);
    if (!dayPasses) {
        const bool daily = hooks_.dailyBoxChecked && hooks_.dailyBoxChecked();
        if (daily) return;
    }

    if (!(model_.runDate == state_.today || model_.dailyFlag == "YES")) return;
    if (!(model_.runTime() == state_.currentMinute && state_.fired == "NO")) return;

    if (hooks_.due) hooks_.due();
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
