// Runs missed while the program was not running: a start offers them once,
// through the countdown, from what the previous run left in the state store.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "ui/MainWindowModel.h"

using namespace kelvaro;

namespace {

// The state a run of the program left when it ended.
std::string leftBehind(const std::string& lastSeen, const std::string& cameUp = "") {
    return "# Kelvaro Workstation: the schedule as the program last saw it.\nLastSeen=" + lastSeen +
           "\nCameUp=" + cameUp + "\n";
}

// One run of the program on the fake platform; the state store outlives it.
struct ProgramRun {
    fake::FakePlatform fp;
    fake::FakeWindowHost host;
    form::AppContext ctx{fp.platform()};
    std::unique_ptr<ui::MainWindowModel> model;
    form::SplashForm splash;
    int countdowns = 0;
    // What the user does at the countdown: Cancel unless told otherwise.
    std::function<void(form::CountBoxForm&)> answer = [](form::CountBoxForm& box) { box.Command2.click(); };

    ProgramRun() {
        ctx.host = &host;
        fp.drives.add('c', "c: [/home/alice]");
        host.onModal = [this](form::Window& w) {
            if (w.name() != "CountBox") return;
            ++countdowns;
            answer(*host.lastCountdown);
        };
    }
    // Starts at a time of 2026-12 (the 9th is a Wednesday) and runs `seconds`.
    void startAt(int day, int hour, int minute, int seconds = 5) {
        fp.clock.set(2026, 12, day, hour, minute, 0);
        model = std::make_unique<ui::MainWindowModel>(ctx, &fp.state);
        ASSERT_TRUE(model->startUp(splash));
        for (int i = 0; i < seconds * 2; ++i) {
            if (i % 2 == 0 && i > 0) fp.clock.addSeconds(1);
            fp.timers.advance(500);
        }
    }
};

}  // namespace

TEST(MissedRunTest, OffAcrossTheRunMinuteTheCountdownOpensOnceAndCountsAsCameUpHoweverAnswered) {
    struct Case {
        const char* what;
        std::function<void(ProgramRun&)> answer;
    };
    const Case cases[] = {
        {"Cancel", [](ProgramRun& r) { r.answer = [](form::CountBoxForm& b) { b.Command2.click(); }; }},
        {"OK", [](ProgramRun& r) { r.answer = [](form::CountBoxForm& b) { b.Command1.click(); }; }},
        {"Snooze",
         [](ProgramRun& r) {
             r.fp.messages.answers = {platform::Answer::Yes};
             r.answer = [](form::CountBoxForm& b) { b.Command3.click(); };
         }},
    };
    for (const auto& c : cases) {
        ProgramRun evening;  // daily at 19:00 (a first start's settings); off from 18:50
        evening.fp.state.text = leftBehind("2026-12-09 18:50");
        c.answer(evening);
        evening.startAt(9, 19, 30, 90);
        EXPECT_EQ(evening.countdowns, 1) << c.what;
        EXPECT_EQ(evening.fp.processes.started.size(), std::string(c.what) == "OK" ? 1u : 0u) << c.what;
        // Written once a minute seen, and when the run came up.
        EXPECT_EQ(evening.fp.state.text, leftBehind("2026-12-09 19:31", "12/09/26 19:00 19:30")) << c.what;
        EXPECT_EQ(evening.fp.state.writes.size(), 2u) << c.what;

        ProgramRun later;  // started again at 19:45: nothing more to offer
        later.fp.state.text = evening.fp.state.text;
        later.startAt(9, 19, 45);
        EXPECT_EQ(later.countdowns, 0) << c.what;
    }
}

TEST(MissedRunTest, OnlyARunDueWhileOffUnderTheScheduleRulesComesUp) {
    struct Case {
        const char* what;
        const char* runDate;  // "DAILY" or a date
        bool wednesday;       // Wednesday's box (daily mode)
        std::string state;
        int day, hour, minute;  // the start, in December 2026
        int countdowns;
    };
    const Case cases[] = {
        {"off for three days: one countdown", "DAILY", true, leftBehind("2026-12-06 18:50"), 9, 19, 30, 1},
        {"off since the morning, started before the minute", "DAILY", true, leftBehind("2026-12-09 08:00"), 9, 18,
         30, 0},
        {"the run already came up", "DAILY", true, leftBehind("2026-12-09 18:59", "12/09/26 19:00"), 9, 19, 30, 0},
        {"came up the day before only", "DAILY", true, leftBehind("2026-12-08 18:59", "12/08/26 19:00"), 9, 19, 30,
         1},
        {"Wednesday's box not checked", "DAILY", false, leftBehind("2026-12-09 18:50"), 9, 19, 30, 0},
        {"date mode, the date passed while off", "12/10/26", true, leftBehind("2026-12-09 18:50"), 11, 8, 0, 1},
        {"date mode, another date", "12/12/26", true, leftBehind("2026-12-09 18:50"), 11, 8, 0, 0},
        {"a first start", "DAILY", true, "", 9, 19, 30, 0},
    };
    for (const auto& c : cases) {
        ProgramRun r;
        if (!c.state.empty()) r.fp.state.text = c.state;
        r.fp.store.put("Time/Date", "Backup Date", c.runDate);
        r.fp.store.put("Time/Date", "Wednesday", c.wednesday ? "1" : "0");
        r.startAt(c.day, c.hour, c.minute);
        EXPECT_EQ(r.countdowns, c.countdowns) << c.what;
        EXPECT_EQ(r.fp.state.writes.size(), 1u) << c.what;  // the minute seen, for the next start
    }
}

TEST(MissedRunTest, AStateThatCannotBeUsedOffersNothingAndSaysSoOnOneLine) {
    struct Case {
        const char* what;
        std::function<void(fake::FakeStateStore&)> damage;
        std::string line;
    };
    const Case cases[] = {
        {"damaged", [](fake::FakeStateStore& s) { s.text = "LastSeen=2026-12-09 18:\n"; },
         "Kelvaro Workstation: the schedule's state /home/alice/.local/state/Kelvaro Workstation/schedule.state is "
         "damaged; runs missed before this start are not offered.\n"},
        {"unreadable",
         [](fake::FakeStateStore& s) { s.readProblem = platform::StateProblem{"/s/schedule.state", "Is a directory"}; },
         "Kelvaro Workstation: the schedule's state /s/schedule.state cannot be read (Is a directory); runs missed "
         "before this start are not offered.\n"},
    };
    for (const auto& c : cases) {
        ProgramRun r;
        c.damage(r.fp.state);
        ::testing::internal::CaptureStderr();
        r.startAt(9, 19, 30);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.line) << c.what;
        EXPECT_EQ(r.countdowns, 0) << c.what;
        EXPECT_TRUE(r.fp.messages.shown.empty()) << c.what;
        // The settings are stored as at any start, nothing more.
        EXPECT_EQ(r.fp.store.commits, 10) << c.what;
        EXPECT_EQ(r.fp.store.value("Time/Date", "Backup Time"), "19:00") << c.what;
    }
}

TEST(MissedRunTest, AStateThatCannotBeWrittenIsToldOnceAndTriedOncePerMinute) {
    ProgramRun r;
    r.fp.state.writeProblem = platform::StateProblem{"/s/schedule.state", "Read-only file system"};
    r.startAt(9, 10, 0, 150);
    ASSERT_EQ(r.fp.messages.shown.size(), 1u);
    EXPECT_EQ(r.fp.messages.shown[0].text,
              "The schedule's state could not be saved to the file\n/s/schedule.state\n\nRead-only file system.\n\n"
              "A backup missed while Kelvaro Workstation is not running will not be offered at its next start.");
    EXPECT_EQ(r.fp.messages.shown[0].caption, "Kelvaro Workstation");
    EXPECT_EQ(r.fp.messages.shown[0].icon, platform::Icon::Exclamation);
    // 10:00, 10:01 and 10:02 seen.
    EXPECT_EQ(r.fp.state.writes.size(), 3u);
}

TEST(MissedRunTest, ARunWaitingBehindAMessageBoxKeepsTheMinuteBeforeIt) {
    ProgramRun r;
    r.fp.state.text = leftBehind("2026-12-09 18:50");
    // A message box is open when the first tick comes: the catch-up waits, and
    // ended now, the program would offer it again at its next start.
    r.fp.messages.onShow = [&r](const fake::ShownMessage&) {
        for (int i = 0; i < 4; ++i) r.fp.timers.advance(500);
        EXPECT_EQ(r.countdowns, 0);
        EXPECT_TRUE(r.fp.state.writes.empty());
    };
    r.fp.clock.set(2026, 12, 9, 19, 30, 0);
    r.model = std::make_unique<ui::MainWindowModel>(r.ctx, &r.fp.state);
    ASSERT_TRUE(r.model->startUp(r.splash));
    r.fp.messages.answers = {platform::Answer::No};
    r.ctx.main.mnuclose.click();  // the quit question, answered No
    r.fp.messages.onShow = nullptr;
    r.fp.timers.advance(500);
    EXPECT_EQ(r.countdowns, 1);
    EXPECT_EQ(r.fp.state.text, leftBehind("2026-12-09 19:30", "12/09/26 19:00 19:30"));
}
