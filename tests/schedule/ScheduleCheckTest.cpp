#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>

#include "backup/Launch.h"
#include "support/AppFixture.h"

using namespace kelvaro;
using test::App;
using test::ScheduleRig;

namespace {

// 2025-03-10 is a Monday; 03/14/25 a Friday, 03/15/25 a Saturday.
struct ScheduleCheckTest : ::testing::Test, App {
    ScheduleRig rig{*this};

    void dateMode(const std::string& date, const std::string& time) {
        main().text2.type(time);
        enter(main().Text1, date);
        ASSERT_EQ(settings().runDate, date);
        ASSERT_EQ(settings().runTime(), time);
    }
    // Daily mode with exactly the given day boxes checked (Monday first).
    void dailyMode(const std::string& time, const std::array<bool, 7>& days) {
        main().DailyCheck.setChecked(true);
        for (int d = 0; d < 7; ++d)
            if (days[d]) main().dayBoxes()[d]->setChecked(true);
        enter(main().text2, time);
        ASSERT_EQ(settings().dailyFlag, "YES");
        ASSERT_EQ(settings().runDate, "DAILY");
        for (int d = 0; d < 7; ++d) ASSERT_EQ(main().dayBoxes()[d]->checked(), days[d]);
    }
    void cancelWhenOpen() {
        rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command2.click(); };
    }
    void startWhenOpen() {
        rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command1.click(); };
    }
};

TEST_F(ScheduleCheckTest, ClockLabelAndScheduleTextsFollowEveryTick) {
    fp.clock.set(2025, 3, 10, 9, 5, 7);
    rig.tick();
    EXPECT_EQ(main().lblTimeNow.caption(), "09:05:07");
    EXPECT_EQ(ctx.schedule.today, "03/10/25");
    EXPECT_EQ(ctx.schedule.currentMinute, "09:05");
    EXPECT_EQ(ctx.schedule.fired, "NO");  // the empty last trigger differs from every minute
    rig.tickAt(2025, 12, 31, 23, 59, 59);
    EXPECT_EQ(main().lblTimeNow.caption(), "23:59:59");
    EXPECT_EQ(ctx.schedule.today, "12/31/25");
    EXPECT_EQ(ctx.schedule.currentMinute, "23:59");
}

TEST_F(ScheduleCheckTest, DateModeFiresOnTheRunMinuteWhateverTheDayBoxes) {
    // Fridays unchecked: in date mode the boxes play no part.
    main().Check7.setChecked(true);
    dateMode("03/14/25", "10:00");
    cancelWhenOpen();
    rig.tickAt(2025, 3, 14, 9, 59, 30);
    EXPECT_TRUE(rig.openings.empty());
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    ASSERT_EQ(rig.openings.size(), 1u);
    EXPECT_EQ(rig.openings[0].today, "03/14/25");
    EXPECT_EQ(rig.openings[0].minute, "10:00");
    EXPECT_EQ(host.modalShown, std::vector<std::string>{"CountBox"});
    EXPECT_EQ(ctx.schedule.lastTrigger, "10:00");
    EXPECT_EQ(ctx.schedule.fired, "YES");
    // Another date never matches.
    rig.tickAt(2025, 3, 15, 10, 0, 0);
    rig.tickAt(2026, 3, 14, 10, 0, 0);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ScheduleCheckTest, CountdownIsCentredSlightlyAboveTheMiddle) {
    dateMode("03/14/25", "10:00");
    int left = -1, top = -1;
    bool topmost = false;
    rig.whileOpen = [&](form::CountBoxForm& box, schedule::Countdown&) {
        left = box.window.left();
        top = box.window.top();
        topmost = box.window.topmost();
        box.Command2.click();
    };
    fp.screen.busyCalls.clear();
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    // 15360 x 11520 screen, 3345 x 1980 window.
    EXPECT_EQ(left, static_cast<int>(15360 / 2.0 - 3345 / 2.0));
    EXPECT_EQ(top, static_cast<int>(11520 * 0.95 / 2.0 - 1980 / 2.0));
    EXPECT_TRUE(topmost);
    EXPECT_EQ(fp.screen.busyCalls, (std::vector<bool>{true, false}));
}

TEST_F(ScheduleCheckTest, AnEarlierRunTimeIsNeverCaughtUp) {
    dateMode("03/14/25", "08:00");
    for (int minute = 0; minute < 60; ++minute) {
        rig.tickAt(2025, 3, 14, 9, minute, 0);
        rig.tickAt(2025, 3, 14, 9, minute, 30);
    }
    rig.tickAt(2025, 3, 14, 23, 59, 59);
    EXPECT_TRUE(rig.openings.empty());
    EXPECT_TRUE(host.modalShown.empty());
}

TEST_F(ScheduleCheckTest, DailyModeFiresOnlyOnTheCheckedWeekdays) {
    dailyMode("07:30", {true, false, true, false, false, false, false});
    cancelWhenOpen();
    for (int day = 10; day <= 23; ++day) {  // two weeks, Monday to Sunday
        rig.tickAt(2025, 3, day, 7, 29, 30);
        rig.tickAt(2025, 3, day, 7, 30, 0);
        rig.tickAt(2025, 3, day, 7, 30, 30);
        rig.tickAt(2025, 3, day, 7, 31, 0);
    }
    ASSERT_EQ(rig.openings.size(), 4u);
    const std::vector<std::string> dates = {rig.openings[0].today, rig.openings[1].today, rig.openings[2].today,
                                            rig.openings[3].today};
    EXPECT_EQ(dates, (std::vector<std::string>{"03/10/25", "03/12/25", "03/17/25", "03/19/25"}));
    for (const auto& o : rig.openings) {
        EXPECT_EQ(o.minute, "07:30");
        EXPECT_TRUE(o.weekday == "Mon" || o.weekday == "Wed") << o.weekday;
    }
}

TEST_F(ScheduleCheckTest, DailyModeIgnoresTheRunDateText) {
    dailyMode("07:30", {true, false, false, false, false, false, false});
    // Whatever the model's date text says, the daily flag lets every date through.
    settings().runDate = "12/31/99";
    cancelWhenOpen();
    rig.tickAt(2025, 3, 10, 7, 30, 0);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ScheduleCheckTest, DailyModeWithNoDayCheckedNeverFires) {
    dailyMode("07:30", {false, false, false, false, false, false, false});
    cancelWhenOpen();
    for (int day = 10; day <= 16; ++day) rig.tickAt(2025, 3, day, 7, 30, 0);
    EXPECT_TRUE(rig.openings.empty());
    EXPECT_TRUE(fp.processes.attempts.empty());
}

TEST_F(ScheduleCheckTest, CancelledCountdownStaysAwayForTheMinuteAndTheNextMatchFires) {
    dailyMode("07:30", {true, true, false, false, false, false, false});
    cancelWhenOpen();
    rig.tickAt(2025, 3, 10, 7, 30, 0);
    ASSERT_EQ(rig.openings.size(), 1u);
    for (int second = 1; second < 60; ++second) rig.tickAt(2025, 3, 10, 7, 30, second);
    EXPECT_EQ(rig.openings.size(), 1u);
    EXPECT_TRUE(fp.processes.attempts.empty());
    rig.tickAt(2025, 3, 10, 7, 31, 0);
    EXPECT_EQ(ctx.schedule.fired, "NO");  // re-armed by the new minute
    EXPECT_EQ(rig.openings.size(), 1u);
    // Next matching minute: Tuesday.
    rig.tickAt(2025, 3, 11, 7, 30, 0);
    ASSERT_EQ(rig.openings.size(), 2u);
    EXPECT_EQ(rig.openings[1].today, "03/11/25");
}

TEST_F(ScheduleCheckTest, ManualLaunchDuringTheRunMinuteLatchesTheSchedule) {
    dateMode("03/14/25", "10:00");
    rig.tickAt(2025, 3, 14, 9, 59, 45);
    // The tick at 10:00:00 is held back (a message box is open), then the user
    // starts the backup by hand.
    rig.holdBack = true;
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    rig.holdBack = false;
    EXPECT_TRUE(rig.openings.empty());
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(ctx.schedule.lastTrigger, "10:00");
    EXPECT_EQ(ctx.schedule.fired, "YES");
    for (int second = 1; second < 60; ++second) rig.tickAt(2025, 3, 14, 10, 0, second);
    EXPECT_TRUE(rig.openings.empty());
    EXPECT_EQ(fp.processes.started.size(), 1u);
}

TEST_F(ScheduleCheckTest, StartedDuringTheRunMinuteFiresAtOnce) {
    dateMode("03/14/25", "10:00");
    ASSERT_EQ(ctx.schedule.fired, "");
    ASSERT_EQ(ctx.schedule.lastTrigger, "");
    cancelWhenOpen();
    rig.tickAt(2025, 3, 14, 10, 0, 41);  // the very first tick
    ASSERT_EQ(rig.openings.size(), 1u);
    EXPECT_EQ(rig.openings[0].minute, "10:00");
}

TEST_F(ScheduleCheckTest, MidnightRunTimeFiresInTheFirstMinuteOfTheRunDate) {
    dateMode("03/15/25", "00:00");
    cancelWhenOpen();
    rig.tickAt(2025, 3, 14, 0, 0, 0);  // right time, wrong day
    rig.tickAt(2025, 3, 14, 23, 59, 30);
    EXPECT_TRUE(rig.openings.empty());
    rig.tickAt(2025, 3, 15, 0, 0, 0);
    ASSERT_EQ(rig.openings.size(), 1u);
    EXPECT_EQ(rig.openings[0].today, "03/15/25");
    EXPECT_EQ(rig.openings[0].minute, "00:00");
}

TEST_F(ScheduleCheckTest, SnoozePastMidnightIsLostInDateMode) {
    dateMode("03/14/25", "23:50");
    fp.messages.answers = {platform::Answer::Yes};
    rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command3.click(); };
    rig.tickAt(2025, 3, 14, 23, 50, 0);
    ASSERT_EQ(rig.openings.size(), 1u);
    EXPECT_EQ(settings().runTime(), "00:05");
    rig.whileOpen = nullptr;
    rig.tickAt(2025, 3, 15, 0, 5, 0);
    rig.tickAt(2025, 3, 15, 0, 5, 30);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ScheduleCheckTest, SnoozePastMidnightFiresInDailyModeOnlyIfTheNewDayIsChecked) {
    // Friday and Saturday checked: the snoozed run fires early on Saturday.
    dailyMode("23:50", {false, false, false, false, true, true, false});
    rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command3.click(); };
    fp.messages.answers = {platform::Answer::Yes};
    rig.tickAt(2025, 3, 14, 23, 50, 0);
    ASSERT_EQ(settings().runTime(), "00:05");
    cancelWhenOpen();
    rig.tickAt(2025, 3, 15, 0, 5, 0);
    ASSERT_EQ(rig.openings.size(), 2u);
    EXPECT_EQ(rig.openings[1].today, "03/15/25");
    EXPECT_EQ(rig.openings[1].weekday, "Sat");
    EXPECT_EQ(rig.openings[1].minute, "00:05");
}

TEST_F(ScheduleCheckTest, SnoozePastMidnightDoesNotFireWhenTheNewDayIsUnchecked) {
    dailyMode("23:50", {false, false, false, false, true, false, false});  // Friday only
    rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command3.click(); };
    fp.messages.answers = {platform::Answer::Yes};
    rig.tickAt(2025, 3, 14, 23, 50, 0);
    ASSERT_EQ(settings().runTime(), "00:05");
    rig.tickAt(2025, 3, 15, 0, 5, 0);
    rig.tickAt(2025, 3, 15, 0, 5, 30);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ScheduleCheckTest, HeldBackTickRefreshesTheClockButWaitsWithTheDueCheck) {
    dateMode("03/14/25", "10:00");
    cancelWhenOpen();
    rig.holdBack = true;
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    EXPECT_EQ(main().lblTimeNow.caption(), "10:00:00");
    EXPECT_TRUE(rig.openings.empty());
    rig.tickAt(2025, 3, 14, 10, 0, 1);
    EXPECT_EQ(main().lblTimeNow.caption(), "10:00:01");
    EXPECT_TRUE(rig.openings.empty());
    rig.holdBack = false;
    rig.tickAt(2025, 3, 14, 10, 0, 2);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ScheduleCheckTest, RunTimeNotWrittenAsHHMMNeverMatches) {
    // Accepted by the length check, but never equal to a formatted minute.
    main().text2.type("7:30 ");
    enter(main().Text1, "03/14/25");
    ASSERT_EQ(settings().runTime(), "7:30 ");
    rig.tickAt(2025, 3, 14, 7, 30, 0);
    EXPECT_TRUE(rig.openings.empty());
}

// Steps a whole year minute by minute with two ticks per minute.
template <typename Fn>
void everyHalfMinuteOf2025(fake::FakeClock& clock, Fn tick) {
    clock.set(2025, 1, 1, 0, 0, 0);
    while (clock.time.year == 2025) {
        tick();
        clock.addSeconds(30);
    }
}

TEST_F(ScheduleCheckTest, AYearInDailyModeFiresOnceOnEachCheckedDayAndNeverOnOthers) {
    std::mt19937 random(20250101);
    std::array<bool, 7> days{};
    do {
        for (auto& d : days) d = random() % 2 == 0;
    } while (std::find(days.begin(), days.end(), true) == days.end());
    char time[8];
    std::snprintf(time, sizeof time, "%02u:%02u", static_cast<unsigned>(random() % 24),
                  static_cast<unsigned>(random() % 60));
    dailyMode(time, days);
    startWhenOpen();

    static const char* tokens[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    std::set<std::string> expectedDates;
    long ticks = 0;
    everyHalfMinuteOf2025(fp.clock, [&] {
        const auto now = fp.clock.now();
        if (now.hour == 0 && now.minute == 0 && now.second == 0 && days[now.weekday - 1])
            expectedDates.insert(schedule::formatDate(now));
        rig.tick();
        ++ticks;
    });
    ASSERT_EQ(ticks, 365L * 24 * 60 * 2);

    std::map<std::string, int> perDate;
    for (const auto& o : rig.openings) {
        ++perDate[o.today];
        EXPECT_EQ(o.minute, time);
        int d = 0;
        while (d < 7 && o.weekday != tokens[d]) ++d;
        ASSERT_LT(d, 7);
        EXPECT_TRUE(days[d]) << o.today << " " << o.weekday;
    }
    std::set<std::string> firedDates;
    for (const auto& [date, count] : perDate) {
        EXPECT_EQ(count, 1) << date;
        firedDates.insert(date);
    }
    EXPECT_EQ(firedDates, expectedDates);
    EXPECT_GE(expectedDates.size(), 52u);
    EXPECT_EQ(fp.processes.started.size(), rig.openings.size());
    EXPECT_EQ(settings().runTime(), time);  // the schedule is left unchanged
}

TEST_F(ScheduleCheckTest, AYearInDateModeFiresExactlyOnce) {
    dateMode("07/04/25", "13:37");
    startWhenOpen();
    everyHalfMinuteOf2025(fp.clock, [&] { rig.tick(); });
    ASSERT_EQ(rig.openings.size(), 1u);
    EXPECT_EQ(rig.openings[0].today, "07/04/25");
    EXPECT_EQ(rig.openings[0].minute, "13:37");
    ASSERT_EQ(fp.processes.started.size(), 1u);
}

}  // namespace
