#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/CommandLine.h"
#include "backup/Launch.h"
#include "support/AppFixture.h"

using namespace kelvaro;
using test::App;

namespace {

const std::string kAlreadyRunning =
    "NTBackup is already running. Can not continue.\nPlease close NTBackup.exe before scheduling Kelvaro event.";

struct LaunchTest : test::AppFixture {};

enum class Outcome { Started, Refused, Failed };

// Runs one launch from a snoozed state and records each visible effect with
// what had already happened when it took place.
std::vector<std::string> launchAndRecord(Outcome outcome) {
    App app;
    auto& f = app.ctx.main;
    auto& s = app.ctx.settings;
    app.enter(f.text2, "10:00");
    s.snoozeUntil("10:15");
    s.startupWindowState = "1";
    f.lblSnozzeTime.setCaption("10:15");
    f.lblSnozzeTime.setVisible(true);
    f.Shape1.setVisible(true);
    app.ctx.schedule.currentMinute = "10:15";
    app.ctx.schedule.lastTrigger = "09:00";
    app.ctx.schedule.fired = "NO";
    if (outcome == Outcome::Refused) app.fp.windows.titles = {"Backup"};
    if (outcome == Outcome::Failed) app.fp.processes.failure = platform::SystemError{53, "File not found"};

    std::vector<std::string> log;
    f.lblSnozzeTime.addObserver([&](form::Change c) {
        if (c == form::Change::State)
            log.push_back("lblSnozzeTime visible=" + std::to_string(f.lblSnozzeTime.visible()) +
                          " runTime=" + s.runTime());
        if (c == form::Change::Redraw) log.push_back("lblSnozzeTime redraw");
    });
    f.Shape1.addObserver([&](form::Change) {
        log.push_back("Shape1 visible=" + std::to_string(f.Shape1.visible()));
    });
    f.window.addObserver([&](form::Change) {
        log.push_back("main minimized=" + std::to_string(f.window.state() == form::WindowState::Minimized) +
                      " latch=" + app.ctx.schedule.lastTrigger + "/" + app.ctx.schedule.fired);
    });
    app.fp.messages.onShow = [&](const fake::ShownMessage& m) {
        log.push_back("message " + m.text + " lookups=" + std::to_string(app.fp.windows.lookups.size()));
    };
    app.fp.processes.onStart = [&](const fake::StartedProcess&) {
        log.push_back("start lookups=" + std::to_string(app.fp.windows.lookups.size()));
    };
    backup::BackupLaunch(app.ctx, [&] {
        log.push_back("close countdown lookups=" + std::to_string(app.fp.windows.lookups.size()));
    });

    // What survives, whatever the outcome.
    EXPECT_EQ(s.runTime(), "10:00");
    EXPECT_FALSE(s.snoozed());
    EXPECT_FALSE(f.lblSnozzeTime.visible());
    EXPECT_FALSE(f.Shape1.visible());
    EXPECT_EQ(app.ctx.schedule.lastTrigger, "10:15");
    EXPECT_EQ(app.ctx.schedule.fired, "YES");
    EXPECT_EQ(f.window.state(), form::WindowState::Minimized);
    EXPECT_EQ(app.fp.windows.lookups, std::vector<std::string>{"Backup"});
    EXPECT_EQ(app.fp.processes.started.size(), outcome == Outcome::Started ? 1u : 0u);
    EXPECT_EQ(app.fp.processes.attempts.size(), outcome == Outcome::Refused ? 0u : 1u);
    EXPECT_EQ(app.fullSaves(), 1);  // the time entry only: a launch stores nothing
    return log;
}

TEST(LaunchOrder, EffectsComeInOrderAndSurviveARefusalOrAFailure) {
    const std::vector<std::string> common = {
        "lblSnozzeTime visible=0 runTime=10:00",
        "lblSnozzeTime redraw",
        "Shape1 visible=0",
        "main minimized=1 latch=10:15/YES",
        "close countdown lookups=0",
    };
    auto with = [&](const std::string& last) {
        auto v = common;
        v.push_back(last);
        return v;
    };
    {
        SCOPED_TRACE("started");
        EXPECT_EQ(launchAndRecord(Outcome::Started), with("start lookups=1"));
    }
    {
        SCOPED_TRACE("refused");
        EXPECT_EQ(launchAndRecord(Outcome::Refused), with("message " + kAlreadyRunning + " lookups=1"));
    }
    {
        SCOPED_TRACE("failed");
        EXPECT_EQ(launchAndRecord(Outcome::Failed),
                  with("message Error Loading NTBackup.exe. File not found Error#53 lookups=1"));
    }
}

TEST_F(LaunchTest, RefusesOnlyForAWindowTitledExactlyBackup) {
    fp.windows.titles = {"Backup - 2", "NTBackup", "backup", " Backup", "Backup "};
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_TRUE(fp.messages.shown.empty());

    fp.windows.titles.insert("Backup");
    backup::BackupLaunch(ctx);
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    const auto& m = fp.messages.shown[0];
    EXPECT_EQ(m.text, kAlreadyRunning);
    EXPECT_EQ(m.buttons, platform::Buttons::Ok);
    EXPECT_EQ(m.icon, platform::Icon::Critical);
    EXPECT_EQ(m.caption, "Kelvaro Workstation");
    EXPECT_EQ(fp.windows.lookups, (std::vector<std::string>{"Backup", "Backup"}));
}

TEST_F(LaunchTest, StartFailureShowsDescriptionAndNumber) {
    fp.processes.failure = platform::SystemError{53, "File not found"};
    backup::BackupLaunch(ctx);
    fp.processes.failure = platform::SystemError{70, "Permission denied"};
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_EQ(fp.messages.shown[0].text, "Error Loading NTBackup.exe. File not found Error#53");
    EXPECT_EQ(fp.messages.shown[1].text, "Error Loading NTBackup.exe. Permission denied Error#70");
    for (const auto& m : fp.messages.shown) {
        EXPECT_EQ(m.buttons, platform::Buttons::Ok);
        EXPECT_EQ(m.icon, platform::Icon::None);
        EXPECT_EQ(m.caption, "Kelvaro Workstation");
    }
    EXPECT_EQ(fp.processes.attempts.size(), 2u);  // no retry
    EXPECT_TRUE(fp.processes.started.empty());
}

TEST_F(LaunchTest, FirstRunCommandIsNinetyNineCharacters) {
    backup::ReadInfo(ctx);  // empty store: "Incremental" and "No Log File" become selected
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    const std::string expected = "NTBackup.exe Backup" + std::string(28, ' ') + "/D \"Kelvaro Tape\"" +
                                 std::string(3, ' ') + "/HC:off /T Incremental" + std::string(3, ' ') + "/tape:1";
    EXPECT_EQ(expected.size(), 99u);
    EXPECT_EQ(fp.processes.started[0].commandLine, expected);
    EXPECT_EQ(static_cast<int>(fp.processes.started[0].show), 7);
}

TEST_F(LaunchTest, StartsTheComposedCommandMinimisedWithoutFocus) {
    settings().drives[0] = "c: [/home/alice]";
    settings().drives[1] = "d: [/data]";
    main().Option1.select();
    main().Check1.click();
    main().Check2.click();
    for (auto* box : {&main().Check3, &main().Check4, &main().Check5}) {
        box->click();
        box->click();  // cleared by the user
    }
    main().Option6.select();  // full detail, default log name
    ASSERT_EQ(settings().logName, "C:\\KELVARO.LOG");
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    const auto& p = fp.processes.started[0];
    const std::string expected = "NTBackup.exe Backup c: d:" + std::string(22, ' ') + " /A  /V    /D \"Kelvaro Tape\"" +
                                 "     /HC:off /T Normal /L \"C:\\KELVARO.LOG\"  /tape:1";
    EXPECT_EQ(expected.size(), 126u);
    EXPECT_EQ(p.commandLine, expected);
    EXPECT_EQ(p.commandLine, backup::ComposeCommandLine(settings()));
    EXPECT_EQ(p.show, platform::ShowState::MinimizedNoActivate);
    EXPECT_EQ(static_cast<int>(p.show), 7);
}

TEST_F(LaunchTest, ComposesFromTheCurrentSlotsWithoutAPriorApply) {
    settings().drives[0] = "c: [/home/alice]";
    ASSERT_EQ(settings().driveList, "");
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    const std::string expected = "NTBackup.exe Backup c:" + std::string(23, ' ') + "    /D \"Kelvaro Tape\"" +
                                 "   /HC:off /T Incremental  /tape:1";
    EXPECT_EQ(fp.processes.started[0].commandLine, expected);
    EXPECT_EQ(fullSaves(), 0);
}

TEST_F(LaunchTest, NoDriveSelectedStillStarts) {
    backup::ReadInfo(ctx);
    for (auto& d : settings().drives) ASSERT_EQ(d, "");
    backup::BackupLaunch(ctx);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine.substr(0, 20 + 23), "NTBackup.exe Backup " + std::string(23, ' '));
}

TEST_F(LaunchTest, MinimizedAtStartupIsAppliedByEveryLaunch) {
    settings().startupWindowState = "1";
    fp.windows.titles = {"Backup"};
    backup::BackupLaunch(ctx);
    EXPECT_EQ(main().window.state(), form::WindowState::Minimized);
    settings().startupWindowState = "0";
    fp.windows.titles.clear();
    fp.processes.failure = platform::SystemError{53, "File not found"};
    backup::BackupLaunch(ctx);
    EXPECT_EQ(main().window.state(), form::WindowState::Normal);
}

// A due run while NTBackup is open: refused after the countdown, the window
// closed, and not retried in the same minute.
TEST_F(LaunchTest, RefusedScheduledRunIsNotRetriedInItsMinute) {
    test::ScheduleRig rig(*this);
    main().text2.type("10:00");
    enter(main().Text1, "03/14/25");
    fp.windows.titles = {"Backup"};
    bool countdownClosedAtMessage = false;
    rig.whileOpen = [&](form::CountBoxForm& box, schedule::Countdown&) {
        fp.messages.onShow = [&](const fake::ShownMessage&) { countdownClosedAtMessage = !box.window.isOpen(); };
        fp.timers.advance(30000);
        fp.messages.onShow = nullptr;
        EXPECT_FALSE(box.window.isOpen());
    };
    rig.tickAt(2025, 3, 14, 10, 0, 0);
    for (int second = 1; second < 60; ++second) rig.tickAt(2025, 3, 14, 10, 0, second);
    ASSERT_EQ(rig.openings.size(), 1u);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, kAlreadyRunning);
    EXPECT_TRUE(countdownClosedAtMessage);
    EXPECT_TRUE(fp.processes.attempts.empty());
}

TEST_F(LaunchTest, MenuLaunchWithoutCountdownStartsAtOnce) {
    main().text2.type("10:00");
    backup::BackupLaunch(ctx);  // no countdown to close
    ASSERT_EQ(fp.processes.started.size(), 1u);
    // The run time comes from the box as it stands, committed or not.
    EXPECT_EQ(settings().runTime(), "10:00");
}

}  // namespace
