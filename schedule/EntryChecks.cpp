#include "schedule/EntryChecks.h"

#include <cstddef>
#include <string>

#include "backup/CommandLine.h"
#include "form/Text.h"
#include "schedule/TimeText.h"

namespace kelvaro::schedule {

using form::kDays;
namespace {

constexpr const char* kDateParseMessage = "Please Enter a Valid Date. MM/DD/YY";
constexpr const char* kDateLengthMessage = "You did not enter a valid Date. MM/DD/YY";
constexpr const char* kTimeMessage = "You did not enter a valid time. HH:MM ";
constexpr const char* kNoDayMessage =
    "Please Pick the day(s) of the week to run backup.\nMonday will be checked by default.";

bool dailyMode(const form::AppContext& ctx) { return ctx.settings.dailyFlag == "YES"; }

// Both boxes are taken together: leaving either one also ends a snoozed run time.
void takeScheduleBoxes(form::AppContext& ctx) {
    ctx.settings.runDate = ctx.main.Text1.text();
    ctx.settings.setRunTime(ctx.main.text2.text());
}

void reject(form::AppContext& ctx, form::TextBox& box, const char* text) {
    ctx.message(text);
    box.setFocus();
}

}  // namespace

void commitRunDate(form::AppContext& ctx) {
    auto& m = ctx.settings;
    auto& f = ctx.main;
    takeScheduleBoxes(ctx);
    if (!(ctx.platform.dates.isValidDate(m.runDate) || dailyMode(ctx))) {
        reject(ctx, f.Text1, kDateParseMessage);
        return;
    }
    // A parser also takes short forms such as 1/2/96, which could never match the
    // schedule's "MM/DD/YY" today text.
    if (!(form::characterCount(m.runDate) >= 8 || dailyMode(ctx))) {
        reject(ctx, f.Text1, kDateLengthMessage);
        return;
    }
    if (dailyMode(ctx)) {
        f.Text1.setText("DAILY");
        m.runDate = "DAILY";
    }
    backup::ApplytheSettings(ctx);
}

void commitRunTime(form::AppContext& ctx) {
    takeScheduleBoxes(ctx);
    // Anything but a real 24-hour "HH:MM" is refused like a wrong length: such a
    // text would never equal the clock's minute, and the backup would silently
    // never run.
    if (!minuteOfDay(ctx.settings.runTime())) {
        reject(ctx, ctx.main.text2, kTimeMessage);
        return;
    }
    backup::ApplytheSettings(ctx);
}

void switchMode(form::AppContext& ctx) {
    auto& m = ctx.settings;
    auto& f = ctx.main;
    const auto days = f.dayBoxes();
    if (!f.DailyCheck.checked()) {
        m.dailyFlag = "NO";
        f.Text1.setText(formatDate(ctx.platform.clock.now()));
        f.Text1.refresh();
        m.runDate = f.Text1.text();
        // Date mode ignores the day boxes; they are only disabled, their states stay.
        for (auto* box : days) box->setEnabled(false);
    } else {
        m.dailyFlag = "YES";
        f.Text1.setText("DAILY");
        f.Text1.refresh();
        m.runDate = f.Text1.text();
        bool anyDisabled = false;
        for (auto* box : days) anyDisabled = anyDisabled || !box->enabled();
        if (anyDisabled) {
            for (auto* box : days) box->setEnabled(true);
            // Each box that changes runs its own day commit.
            for (auto* box : days) box->setChecked(true);
        }
    }
    backup::ApplytheSettings(ctx);
}

void commitDay(form::AppContext& ctx, int day) {
    if (day < 0 || day >= kDays) return;
    ctx.settings.dayFlags[day] = ctx.main.dayBoxes()[day]->checked() ? "1" : "0";
    CheckDaysoftheWeek(ctx);
    backup::ApplytheSettings(ctx);
}

void CheckDaysoftheWeek(form::AppContext& ctx) {
    for (auto* box : ctx.main.dayBoxes())
        if (box->checked()) return;
    ctx.message(kNoDayMessage);
    // Checking Monday runs its day commit, which stores the flag.
    ctx.main.Check7.setChecked(true);
}

}  // namespace kelvaro::schedule
