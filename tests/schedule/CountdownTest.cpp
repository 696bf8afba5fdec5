#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/AppFixture.h"

using namespace kelvaro;
using test::App;
using test::ScheduleRig;

namespace {

constexpr const char* kSnoozeQuestion = " Snooze For 15 minutes  ";

// A countdown window loaded at 10:00 on Friday 03/14/25, the configured run time
// being 10:00 (date mode).
struct CountdownTest : ::testing::Test, App {
    form::CountBoxForm box;
    std::unique_ptr<schedule::Countdown> countdown;
    std::vector<std::string> captions;  // CountCaption at each redraw

    CountdownTest() {
        main().text2.type("10:00");
        main().Text1.type("03/14/25");
        main().Text1.loseFocus();
        fp.clock.set(2025, 3, 14, 10, 0, 0);
        ctx.schedule.today = "03/14/25";
        ctx.schedule.currentMinute = "10:00";
        box.CountCaption.addObserver([this](form::Change c) {
            if (c == form::Change::Redraw) captions.push_back(box.CountCaption.caption());
        });
    }
    void open() {
        countdown = std::make_unique<schedule::Countdown>(ctx, box);
        countdown->load();
    }
    void seconds(int n) { fp.timers.advance(n * 1000); }
};

TEST_F(CountdownTest, LoadLatchesTheMinuteAndStartsBlank) {
    box.CountCaption.setCaption("stale");
    ctx.schedule.fired = "NO";
    ctx.schedule.lastTrigger = "09:12";
    open();
    EXPECT_EQ(ctx.schedule.lastTrigger, "10:00");
    EXPECT_EQ(ctx.schedule.fired, "YES");
    EXPECT_EQ(countdown->counter(), 31);
    EXPECT_EQ(box.CountCaption.caption(), "");
    EXPECT_TRUE(box.window.topmost());
    EXPECT_TRUE(box.window.isOpen());
    EXPECT_TRUE(fp.processes.attempts.empty());
}

TEST_F(CountdownTest, RunsOutAfterThirtySecondsAndLaunchesExactlyOnce) {
    main().Shape1.setVisible(true);
    open();
    EXPECT_EQ(box.CountCaption.caption(), "");
    seconds(29);
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(box.window.isOpen());
    EXPECT_EQ(box.CountCaption.caption(), "2");
    seconds(1);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].show, platform::ShowState::MinimizedNoActivate);
    EXPECT_FALSE(box.window.isOpen());
    EXPECT_FALSE(main().Shape1.visible());
    std::vector<std::string> expected;
    for (int n = 30; n >= 1; --n) expected.push_back(std::to_string(n));
    EXPECT_EQ(captions, expected);
    // Nothing more happens once the window is closed.
    seconds(120);
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    EXPECT_EQ(captions.size(), 30u);
    countdown->tick();
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    EXPECT_EQ(countdown->counter(), 1);
}

TEST_F(CountdownTest, OkLaunchesAtOnceAndTheCountdownStops) {
    open();
    seconds(7);
    EXPECT_EQ(box.CountCaption.caption(), "24");
    box.Command1.click();
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_FALSE(box.window.isOpen());
    seconds(60);
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    EXPECT_EQ(box.CountCaption.caption(), "24");
    EXPECT_EQ(captions.size(), 7u);
}

TEST_F(CountdownTest, CancelLaunchesNothingAndHidesTheIndicator) {
    enter(main().text2, "09:45");
    settings().snoozeUntil("10:00");
    main().lblSnozzeTime.setCaption("10:00");
    main().lblSnozzeTime.setVisible(true);
    main().Shape1.setVisible(true);
    int lblRedraws = 0;
    main().lblSnozzeTime.addObserver([&](form::Change c) { lblRedraws += c == form::Change::Redraw; });
    const int savesBefore = fullSaves();
    open();
    seconds(3);
    box.Command2.click();
    EXPECT_FALSE(box.window.isOpen());
    EXPECT_FALSE(main().lblSnozzeTime.visible());
    EXPECT_EQ(lblRedraws, 1);
    EXPECT_FALSE(main().Shape1.visible());
    // The run time stays as it was; nothing is stored.
    EXPECT_EQ(settings().runTime(), "10:00");
    EXPECT_TRUE(settings().snoozed());
    EXPECT_EQ(settings().configuredRunTime(), "09:45");
    EXPECT_EQ(fullSaves(), savesBefore);
    seconds(60);
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(CountdownTest, SnoozeYesMovesTheRunTimeInMemoryAndShowsTheIndicator) {
    settings().startupWindowState = "1";
    fp.messages.answers = {platform::Answer::Yes};
    const int savesBefore = fullSaves();
    open();
    seconds(4);
    box.Command3.click();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    const auto& q = fp.messages.shown[0];
    EXPECT_EQ(q.text, kSnoozeQuestion);
    EXPECT_EQ(q.buttons, platform::Buttons::YesNo);
    EXPECT_EQ(q.icon, platform::Icon::Exclamation);
    EXPECT_EQ(q.caption, "Kelvaro Workstation");

    EXPECT_EQ(settings().runTime(), "10:15");
    EXPECT_EQ(settings().configuredRunTime(), "10:00");
    EXPECT_EQ(main().text2.text(), "10:00");
    EXPECT_TRUE(main().lblSnozzeTime.visible());
    EXPECT_EQ(main().lblSnozzeTime.caption(), "10:15");
    EXPECT_TRUE(main().Shape1.visible());
    EXPECT_EQ(main().window.state(), form::WindowState::Minimized);
    EXPECT_FALSE(box.window.isOpen());
    EXPECT_EQ(fullSaves(), savesBefore);  // nothing written here
    EXPECT_EQ(settings().runDate, "03/14/25");

    // A later save of any setting keeps the configured time in the store.
    main().Check1.click();
    EXPECT_EQ(fullSaves(), savesBefore + 1);
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "10:00");
    EXPECT_EQ(settings().runTime(), "10:15");

    seconds(60);
    EXPECT_TRUE(fp.processes.attempts.empty());
}

TEST_F(CountdownTest, SnoozeNoHidesTheMarkerOnlyAndKeepsTheRunTime) {
    settings().startupWindowState = "0";
    main().window.setState(form::WindowState::Minimized);
    main().lblSnozzeTime.setCaption("09:45");
    main().lblSnozzeTime.setVisible(true);
    main().Shape1.setVisible(true);
    settings().snoozeUntil("10:00");
    fp.messages.answers = {platform::Answer::No};
    open();
    box.Command3.click();
    EXPECT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_FALSE(main().Shape1.visible());
    EXPECT_TRUE(main().lblSnozzeTime.visible());
    EXPECT_EQ(main().lblSnozzeTime.caption(), "09:45");
    EXPECT_EQ(settings().runTime(), "10:00");
    EXPECT_TRUE(settings().snoozed());
    EXPECT_EQ(main().window.state(), form::WindowState::Normal);
    EXPECT_FALSE(box.window.isOpen());
    seconds(60);
    EXPECT_TRUE(fp.processes.attempts.empty());
}

TEST_F(CountdownTest, SnoozeWrapsPastMidnight) {
    ctx.schedule.currentMinute = "23:50";
    fp.messages.answers = {platform::Answer::Yes};
    open();
    box.Command3.click();
    EXPECT_EQ(settings().runTime(), "00:05");
    EXPECT_EQ(main().lblSnozzeTime.caption(), "00:05");
}

TEST_F(CountdownTest, SnoozeCountsFromTheScheduleMinuteNotTheSeconds) {
    open();
    // The schedule ticked into the next minute while the countdown was open.
    ctx.schedule.currentMinute = "10:01";
    fp.clock.set(2025, 3, 14, 10, 1, 59);
    fp.messages.answers = {platform::Answer::Yes};
    box.Command3.click();
    EXPECT_EQ(settings().runTime(), "10:16");
}

TEST_F(CountdownTest, NoTickWhileTheSnoozeQuestionIsOpen) {
    for (auto answer : {platform::Answer::No, platform::Answer::Yes}) {
        SCOPED_TRACE(answer == platform::Answer::Yes ? "Yes" : "No");
        form::CountBoxForm form;
        schedule::Countdown cd(ctx, form);
        cd.load();
        fp.timers.advance(5000);
        ASSERT_EQ(cd.counter(), 26);
        bool openDuringQuestion = false;
        fp.messages.onShow = [&](const fake::ShownMessage&) {
            fp.timers.advance(40000);  // the user thinks it over
            openDuringQuestion = form.window.isOpen();
        };
        fp.messages.answers = {answer};
        form.Command3.click();
        fp.messages.onShow = nullptr;
        EXPECT_TRUE(openDuringQuestion);
        EXPECT_EQ(cd.counter(), 26);
        EXPECT_EQ(form.CountCaption.caption(), "26");
        EXPECT_TRUE(fp.processes.attempts.empty());
        EXPECT_EQ(fp.messages.shown.size(), 1u);  // no launch message under the question
        EXPECT_FALSE(form.window.isOpen());
        fp.timers.advance(60000);
        EXPECT_TRUE(fp.processes.attempts.empty());
        EXPECT_EQ(cd.counter(), 26);
        fp.messages.shown.clear();
    }
}

TEST_F(CountdownTest, ButtonsDoNothingOnceTheWindowIsClosed) {
    open();
    box.Command2.click();
    ASSERT_FALSE(box.window.isOpen());
    box.Command1.click();
    box.Command3.click();
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(fp.messages.shown.empty());
    EXPECT_EQ(settings().runTime(), "10:00");
}

TEST_F(CountdownTest, ButtonsAreReleasedWhenTheCountdownGoes) {
    open();
    countdown.reset();
    box.Command1.click();
    box.Command2.click();
    box.Command3.click();
    fp.timers.advance(60000);
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(fp.messages.shown.empty());
}

// Through the schedule check: each due minute opens a fresh countdown.
struct SnoozeCycleTest : ::testing::Test, App {
    ScheduleRig rig{*this};
    SnoozeCycleTest() {
        main().text2.type("10:00");
        enter(main().Text1, "03/14/25");
    }
    void snoozeWhenOpen() {
        rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command3.click(); };
    }
};

TEST_F(SnoozeCycleTest, SnoozeTwiceMovesTheRunFifteenMinutesEachTime) {
    fp.messages.answers = {platform::Answer::Yes, platform::Answer::Yes};
    snoozeWhenOpen();
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    EXPECT_EQ(settings().runTime(), "10:15");
    EXPECT_EQ(main().lblSnozzeTime.caption(), "10:15");
    for (int minute = 1; minute < 15; ++minute) rig.tickAt(2025, 3, 14, 10, minute, 0);
    ASSERT_EQ(rig.openings.size(), 1u);
    rig.tickAt(2025, 3, 14, 10, 15, 0);
    ASSERT_EQ(rig.openings.size(), 2u);
    EXPECT_EQ(rig.openings[1].minute, "10:15");
    EXPECT_EQ(settings().runTime(), "10:30");
    EXPECT_EQ(main().lblSnozzeTime.caption(), "10:30");
    EXPECT_TRUE(main().Shape1.visible());
    EXPECT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "10:00");
}

TEST_F(SnoozeCycleTest, LaunchAfterSnoozeRestoresTheConfiguredTimeAndHidesTheIndicator) {
    fp.messages.answers = {platform::Answer::Yes};
    snoozeWhenOpen();
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    ASSERT_EQ(settings().runTime(), "10:15");
    ASSERT_TRUE(main().lblSnozzeTime.visible());
    ASSERT_TRUE(main().Shape1.visible());
    // At 10:15 the countdown runs out by itself.
    bool indicatorHiddenBeforeStart = false;
    std::string runTimeAtStart;
    fp.processes.onStart = [&](const fake::StartedProcess&) {
        indicatorHiddenBeforeStart = !main().lblSnozzeTime.visible() && !main().Shape1.visible();
        runTimeAtStart = settings().runTime();
    };
    rig.whileOpen = [this](form::CountBoxForm& box, schedule::Countdown&) {
        fp.timers.advance(30000);
        EXPECT_FALSE(box.window.isOpen());
    };
    rig.tickAt(2025, 3, 14, 10, 15, 0);
    ASSERT_EQ(rig.openings.size(), 2u);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_TRUE(indicatorHiddenBeforeStart);
    EXPECT_EQ(runTimeAtStart, "10:00");
    EXPECT_EQ(settings().runTime(), "10:00");
    EXPECT_FALSE(settings().snoozed());
    EXPECT_FALSE(main().lblSnozzeTime.visible());
    EXPECT_FALSE(main().Shape1.visible());
    // Date mode: the run is done, nothing more today or later.
    rig.tickAt(2025, 3, 14, 10, 30, 0);
    rig.tickAt(2025, 3, 15, 10, 0, 0);
    EXPECT_EQ(rig.openings.size(), 2u);
}

TEST_F(SnoozeCycleTest, CancelAtTheSnoozedCountdownKeepsTheSnoozedTime) {
    fp.messages.answers = {platform::Answer::Yes};
    snoozeWhenOpen();
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    rig.whileOpen = [](form::CountBoxForm& box, schedule::Countdown&) { box.Command2.click(); };
    rig.tickAt(2025, 3, 14, 10, 15, 0);
    ASSERT_EQ(rig.openings.size(), 2u);
    EXPECT_FALSE(main().lblSnozzeTime.visible());
    EXPECT_FALSE(main().Shape1.visible());
    EXPECT_EQ(settings().runTime(), "10:15");
    EXPECT_TRUE(fp.processes.attempts.empty());
}

}  // namespace
