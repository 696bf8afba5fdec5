// The schedule check when the wall clock jumps: a run whose minute was jumped
// over opens at once, once; a minute that fired is not fired again when the
// clock goes back.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/AppFixture.h"

using namespace kelvaro;
using test::App;
using test::ScheduleRig;

namespace {

// 2025-03-14 is a Friday.
struct ClockJumpTest : ::testing::Test, App {
    ScheduleRig rig{*this};

    ClockJumpTest() {
        rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command2.click(); };
    }
    void daily(const std::string& time, const std::array<bool, 7>& days = {true, true, true, true, true, true, true}) {
        main().DailyCheck.setChecked(true);
        for (auto* box : main().dayBoxes()) box->setChecked(true);
        for (int d = 0; d < 7; ++d)
            if (!days[d]) main().dayBoxes()[d]->setChecked(false);
        enter(main().text2, time);
        ASSERT_EQ(settings().runTime(), time);
    }
    // Ticks once a second of real time for `seconds`, from the fake clock's time
    // on; after the tick at `jumpAfter` seconds the wall clock also moves by
    // `jump` seconds (a daylight-saving change).
    void night(int seconds, int jumpAfter, int jump) {
        for (int s = 0; s < seconds; ++s) {
            rig.tick();
            fp.clock.addSeconds(s == jumpAfter ? 1 + jump : 1);
        }
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> v;
        for (const auto& o : rig.openings) v.push_back(o.today + " " + o.minute);
        return v;
    }
};

TEST_F(ClockJumpTest, ARunJumpedOverOpensAtOnceOnTheLaterTickAndOnce) {
    daily("19:00");
    rig.tickAt(2025, 3, 14, 18, 55, 10);  // the laptop is suspended
    rig.tickAt(2025, 3, 14, 19, 5, 2);    // and wakes
    EXPECT_EQ(opened(), std::vector<std::string>{"03/14/25 19:05"});
    for (int s = 3; s < 60; ++s) rig.tickAt(2025, 3, 14, 19, 5, s);
    rig.tickAt(2025, 3, 14, 19, 6, 0);
    EXPECT_EQ(rig.openings.size(), 1u);
    // The minute jumped over counts as fired: the clock set back over it does
    // not bring the run back.
    rig.tickAt(2025, 3, 14, 18, 59, 30);
    rig.tickAt(2025, 3, 14, 19, 0, 0);
    rig.tickAt(2025, 3, 14, 19, 0, 30);
    EXPECT_EQ(rig.openings.size(), 1u);
}

TEST_F(ClockJumpTest, OnlyAMinuteThatWouldHaveFiredIsCaughtUp) {
    struct Case {
        const char* what;
        std::array<int, 5> from, to;  // month, day, hour, minute, second
        int expected;
    };
    // Daily at 23:55 on Fridays only.
    const Case cases[] = {
        {"across midnight, Friday's run", {3, 14, 23, 50, 0}, {3, 15, 0, 10, 0}, 1},
        {"a week asleep fires once", {3, 10, 9, 0, 0}, {3, 17, 9, 0, 0}, 1},
        {"Thursday's minute: not a run day", {3, 13, 23, 50, 0}, {3, 14, 0, 10, 0}, 0},
        {"a jump that stops before the minute", {3, 14, 23, 0, 0}, {3, 14, 23, 54, 59}, 0},
        {"a jump that starts after it", {3, 14, 23, 56, 0}, {3, 15, 1, 0, 0}, 0},
        {"seventy seconds, no whole minute between", {3, 14, 23, 54, 50}, {3, 14, 23, 55, 59}, 1},
    };
    for (const auto& c : cases) {
        App app;
        ScheduleRig r(app);
        r.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command2.click(); };
        app.main().DailyCheck.setChecked(true);
        for (int d = 0; d < 7; ++d) app.main().dayBoxes()[d]->setChecked(d == 4);
        app.enter(app.main().text2, "23:55");
        r.tickAt(2025, c.from[0], c.from[1], c.from[2], c.from[3], c.from[4]);
        r.tickAt(2025, c.to[0], c.to[1], c.to[2], c.to[3], c.to[4]);
        EXPECT_EQ(static_cast<int>(r.openings.size()), c.expected) << c.what;
    }
}

TEST_F(ClockJumpTest, DateModeCatchesUpOnlyTheRunDate) {
    main().text2.type("10:00");
    enter(main().Text1, "03/14/25");
    rig.tickAt(2025, 3, 13, 9, 0, 0);
    rig.tickAt(2025, 3, 13, 11, 0, 0);  // the day before: nothing
    EXPECT_TRUE(rig.openings.empty());
    rig.tickAt(2025, 3, 14, 11, 0, 0);  // over 03/14 10:00
    EXPECT_EQ(opened(), std::vector<std::string>{"03/14/25 11:00"});
}

TEST_F(ClockJumpTest, SpringForwardARunInTheSkippedHourOpensAtThree) {
    daily("02:30");
    fp.clock.set(2025, 3, 30, 1, 50, 0);  // 01:59:59 is followed by 03:00:00
    night(30 * 60, 10 * 60 - 1, 3600);
    EXPECT_EQ(opened(), std::vector<std::string>{"03/30/25 03:00"});
    // The next night fires at its own time.
    fp.clock.set(2025, 3, 31, 2, 29, 0);
    night(120, 1000, 0);
    EXPECT_EQ(opened(), (std::vector<std::string>{"03/30/25 03:00", "03/31/25 02:30"}));
}

TEST_F(ClockJumpTest, SpringForwardARunOutsideTheSkippedHourFiresAsEver) {
    daily("03:00");
    fp.clock.set(2025, 3, 30, 1, 50, 0);
    night(30 * 60, 10 * 60 - 1, 3600);
    EXPECT_EQ(opened(), std::vector<std::string>{"03/30/25 03:00"});
}

TEST_F(ClockJumpTest, FallBackARunInTheRepeatedHourFiresOnce) {
    daily("02:30");
    fp.clock.set(2025, 10, 26, 2, 0, 0);  // 02:59:59 is followed by 02:00:00
    night(2 * 3600, 3600 - 1, -3600);
    EXPECT_EQ(opened(), std::vector<std::string>{"10/26/25 02:30"});
    // The next day fires again.
    fp.clock.set(2025, 10, 27, 2, 29, 30);
    night(60, 1000, 0);
    EXPECT_EQ(opened(), (std::vector<std::string>{"10/26/25 02:30", "10/27/25 02:30"}));
}

TEST_F(ClockJumpTest, FallBackASnoozedRunInTheRepeatedHourFiresEachTimeOnce) {
    // 02:30 is snoozed to 02:45, which fires; back at 02:00, neither comes again.
    daily("02:30");
    fp.messages.answers = {platform::Answer::Yes};
    rig.whileOpen = [this](form::CountBoxForm& box, schedule::Countdown&) {
        if (rig.openings.size() == 1) box.Command3.click();
        else box.Command2.click();
    };
    fp.clock.set(2025, 10, 26, 2, 0, 0);
    night(2 * 3600, 3600 - 1, -3600);
    EXPECT_EQ(opened(), (std::vector<std::string>{"10/26/25 02:30", "10/26/25 02:45"}));
}

}  // namespace
