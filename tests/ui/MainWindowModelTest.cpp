#include <gtest/gtest.h>

#include "form/AppContext.h"
#include "form/CountBoxForm.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "ui/MainWindowModel.h"

using namespace kelvaro;
using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

struct MainWindowTest : ::testing::Test {
    fake::FakePlatform fp;
    fake::FakeWindowHost host;
    form::AppContext ctx{fp.platform()};
    std::unique_ptr<ui::MainWindowModel> model;
    form::SplashForm splash;

    MainWindowTest() {
        ctx.host = &host;
        fp.clock.set(2026, 12, 9, 8, 0, 0);  // a Wednesday
        fp.drives.add('c', "c: [/home/alice]");
        fp.drives.add('z', "z: [/]");
        fp.currentDirectory.dir = "C:\\KELVARO";
    }
    bool start() {
        model = std::make_unique<ui::MainWindowModel>(ctx);
        return model->startUp(splash);
    }
    form::MainForm& f() { return ctx.main; }
    std::string stored(const std::string& section, const std::string& key) { return fp.store.value(section, key); }
};

}  // namespace

TEST_F(MainWindowTest, FirstStartFillsTheWindowAndStoresEveryValueInItsHandlerForm) {
    ASSERT_TRUE(start());
    // Splash first, then the main window; the start sound is waited for.
    EXPECT_EQ(host.shown, (std::vector<std::string>{"Opening", "frmMain"}));
    ASSERT_EQ(fp.sounds.played.size(), 1u);
    EXPECT_EQ(fp.sounds.played[0].file, "autost1.wav");
    EXPECT_TRUE(fp.sounds.played[0].wait);
    EXPECT_FALSE(splash.window.isOpen());  // the first scan closed it
    EXPECT_FALSE(ctx.splashUp);

    EXPECT_EQ(f().Text1.text(), "DAILY");
    EXPECT_EQ(f().text2.text(), "19:00");
    EXPECT_TRUE(f().DailyCheck.checked());
    for (auto* box : f().dayBoxes()) {
        EXPECT_TRUE(box->checked()) << box->name();
        EXPECT_TRUE(box->enabled()) << box->name();
    }
    EXPECT_TRUE(f().Option3.value());
    EXPECT_TRUE(f().Option8.value());
    EXPECT_EQ(f().lognamebox.text(), "No Log File.");
    EXPECT_EQ(f().Combo1.text(), "Tape Drive:1");
    EXPECT_EQ(f().Combo1.items(),
              (std::vector<std::string>{"Tape Drive:1", "Tape Drive:2", "Tape Drive:3", "Tape Drive:4",
                                        "Tape Drive:5", "Tape Drive:6", "Tape Drive:7", "Tape Drive:8",
                                        "Tape Drive:9", "Tape Drive:0"}));
    EXPECT_TRUE(f().mnusound.checked());
    EXPECT_FALSE(f().Check6.checked());
    EXPECT_EQ(f().window.state(), form::WindowState::Normal);
    EXPECT_EQ(f().Outline1.items(), (std::vector<std::string>{"c: [/home/alice]", "z: [/]"}));
    EXPECT_EQ(ctx.settings.startDirectory, "C:\\KELVARO\\");

    // The DAILY box, seven day boxes, the backup type and the log option each stored once.
    EXPECT_EQ(fp.store.commits, 10);
    EXPECT_EQ(stored("Time/Date", "Backup Date"), "DAILY");
    EXPECT_EQ(stored("Time/Date", "Backup Time"), "19:00");
    EXPECT_EQ(stored("Time/Date", "Monday"), "1");
    EXPECT_EQ(stored("Backup Type", "Type of Backup"), "/T Incremental");
    EXPECT_EQ(stored("Backup Type", "Log File Name"), " ");
    EXPECT_EQ(stored("Backup Type", "Log Name"), "No Log File.");
    EXPECT_EQ(stored("Backup Type", "HardWare Compression"), "/HC:off");
    EXPECT_EQ(stored("Backup Type", "Append to Tape"), "");
    EXPECT_EQ(stored("Backup Type", "Tape Drive:"), "1");
    EXPECT_EQ(stored("Startup", "Window State"), "0");
    EXPECT_EQ(stored("SYSTEM", "SOUND"), "Yes");
    EXPECT_EQ(f().lblsetback2.caption(), " Log File:  ");
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(MainWindowTest, StoredStateIsShownAgainAtTheNextStart) {
    fp.store.put("Startup", "Window State", "1");
    fp.store.put("SYSTEM", "SOUND", "No");
    fp.store.put("Time/Date", "Backup Date", "12/31/26");
    fp.store.put("Time/Date", "Backup Time", "06:30");
    fp.store.put("Time/Date", "Tuesday", "0");
    fp.store.put("Backup Type", "Tape Drive:", "4");
    fp.store.put("Backup Type", "Append to Tape", "/A");
    fp.store.put("Backup Drives", "Drive01", "z: [/]");
    ASSERT_TRUE(start());
    EXPECT_TRUE(fp.sounds.played.empty());
    EXPECT_FALSE(f().mnusound.checked());
    EXPECT_EQ(f().window.state(), form::WindowState::Minimized);
    EXPECT_TRUE(f().Check6.checked());
    EXPECT_FALSE(f().DailyCheck.checked());
    EXPECT_EQ(f().Text1.text(), "12/31/26");
    EXPECT_EQ(f().text2.text(), "06:30");
    for (auto* box : f().dayBoxes()) EXPECT_FALSE(box->enabled()) << box->name();
    EXPECT_TRUE(f().Check7.checked());
    EXPECT_FALSE(f().Check8.checked());
    EXPECT_EQ(f().Combo1.text(), "Tape Drive:4");
    EXPECT_TRUE(f().Check1.checked());
    EXPECT_EQ(f().Outline2.items(), (std::vector<std::string>{"z: [/]"}));
    EXPECT_EQ(stored("Backup Type", "Append to Tape"), "/A ");
    EXPECT_EQ(stored("Startup", "Window State"), "1");
    EXPECT_EQ(stored("SYSTEM", "SOUND"), "No");
}

TEST_F(MainWindowTest, StartSoundAcceptsItsFourSpellingsButTheMenuShowsOnlyYes) {
    for (const char* flag : {"YES", "", "On"}) {
        fake::FakePlatform p;
        fake::FakeWindowHost h;
        form::AppContext c{p.platform()};
        c.host = &h;
        p.store.put("SYSTEM", "SOUND", flag);
        ui::MainWindowModel m(c);
        form::SplashForm s;
        ASSERT_TRUE(m.startUp(s));
        ASSERT_EQ(p.sounds.played.size(), 1u) << flag;
        EXPECT_EQ(p.sounds.played[0].file, "autost1.wav");
        EXPECT_FALSE(c.main.mnusound.checked()) << flag;
    }
}

TEST_F(MainWindowTest, NotWindowsNtEndsWithItsMessageAndStoresNothing) {
    fp.info.nt = false;
    EXPECT_FALSE(start());
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "Windows NT version 3.51 or Higher is needed\nto run Kelvaro for Windows NT.");
    EXPECT_EQ(fp.messages.shown[0].icon, Icon::Critical);
    EXPECT_EQ(fp.messages.shown[0].caption, "Kelvaro Workstation");
    EXPECT_EQ(host.exitCodes.size(), 1u);
    EXPECT_TRUE(fp.store.saves.empty());
}

TEST_F(MainWindowTest, TitleAnimationAlternatesAndAMissingIconStopsItQuietly) {
    ASSERT_TRUE(start());
    fp.icons.loadable = {"C:\\KELVARO\\KELVARO1.ICO", "C:\\KELVARO\\KELVARO2.ICO"};
    EXPECT_EQ(f().window.caption(), "Kelvaro...");
    fp.timers.advance(1000);
    EXPECT_EQ(f().window.caption(), "Running...");
    EXPECT_EQ(f().window.iconPath(), "C:\\KELVARO\\KELVARO2.ICO");
    fp.timers.advance(1000);
    EXPECT_EQ(f().window.caption(), "Kelvaro Workstation...");
    EXPECT_EQ(f().window.iconPath(), "C:\\KELVARO\\KELVARO1.ICO");
    fp.timers.advance(1000);
    EXPECT_EQ(f().window.caption(), "Running...");

    fp.icons.loadable.erase("C:\\KELVARO\\KELVARO1.ICO");
    fp.icons.attempts.clear();
    fp.timers.advance(2000);
    EXPECT_EQ(f().window.caption(), "Running...");
    EXPECT_EQ(model->iconName(), "KELVARO2.ICO");
    EXPECT_EQ(fp.icons.attempts,
              (std::vector<std::string>{"C:\\KELVARO\\KELVARO1.ICO", "C:\\KELVARO\\KELVARO1.ICO"}));
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(MainWindowTest, HintsAreWrittenOnlyWhenTheyDiffer) {
    ASSERT_TRUE(start());
    auto& bar = f().StatusBar1;
    model->mouseOver("Check7");
    EXPECT_EQ(bar.panelText(2), "Run Backup on Monday");
    model->mouseOver("Check7");
    model->mouseOver("Check7");
    EXPECT_EQ(bar.hintWrites, 1);
    model->mouseOver("Check8");
    EXPECT_EQ(bar.panelText(2), "Run Backup on Tuesday");
    model->mouseOver("Check1");  // no hint of its own
    EXPECT_EQ(bar.panelText(2), "Run Backup on Tuesday");
    model->mouseOver("lblsetback2");
    EXPECT_EQ(bar.panelText(2), "Currently Saved Settings...");
    model->mouseOver("Outline1");
    EXPECT_EQ(bar.panelText(2), "Available Mapped Drives...");
    model->mouseOver("Outline2");
    EXPECT_EQ(bar.panelText(2), "Drives selected for backup...");
    model->mouseOver("frmMain");
    EXPECT_EQ(bar.panelText(2), "");
    model->mouseOver("SSTab1");
    EXPECT_EQ(bar.hintWrites, 6);
}

TEST_F(MainWindowTest, SoundToggleReachesTheStoreOnlyWithTheNextSave) {
    ASSERT_TRUE(start());
    const int saves = fp.store.commits;
    f().mnusound.click();
    EXPECT_FALSE(f().mnusound.checked());
    EXPECT_EQ(ctx.settings.soundFlag, "No");
    EXPECT_EQ(stored("SYSTEM", "SOUND"), "Yes");
    EXPECT_EQ(fp.store.commits, saves);

    // Quitting stores nothing.
    fp.messages.answers = {Answer::Yes};
    f().mnuclose.click();
    EXPECT_EQ(host.exitCodes, (std::vector<int>{0}));
    EXPECT_EQ(stored("SYSTEM", "SOUND"), "Yes");
    EXPECT_EQ(fp.store.commits, saves);

    f().Check2.click();
    EXPECT_EQ(stored("SYSTEM", "SOUND"), "No");
    f().mnusound.click();
    EXPECT_TRUE(f().mnusound.checked());
    EXPECT_EQ(ctx.settings.soundFlag, "Yes");
}

TEST_F(MainWindowTest, QuitPromptNoMinimisesYesEndsAtOnce) {
    ASSERT_TRUE(start());
    fp.messages.answers = {Answer::No};
    f().mnuclose.click();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "        Quit Kelvaro  \n\n YES to Quit  NO to Minimize ");
    EXPECT_EQ(fp.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(fp.messages.shown[0].icon, Icon::Exclamation);
    EXPECT_EQ(fp.messages.shown[0].caption, "Kelvaro");
    EXPECT_EQ(f().window.state(), form::WindowState::Minimized);
    EXPECT_TRUE(host.exitCodes.empty());

    fp.messages.answers = {Answer::Yes};
    f().mnuclose.click();
    EXPECT_EQ(host.exitCodes, (std::vector<int>{0}));
    EXPECT_EQ(fp.messages.shown.size(), 2u);  // no close confirmation follows
}

TEST_F(MainWindowTest, CloseFromOutsideAsksWithTheCaptionOfTheMoment) {
    ASSERT_TRUE(start());
    fp.icons.loadable = {"C:\\KELVARO\\KELVARO2.ICO"};
    fp.timers.advance(1000);
    fp.messages.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(model->closeRequested());
    EXPECT_TRUE(model->closeRequested());
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_EQ(fp.messages.shown[0].text, "Do you really want to end this session?");
    EXPECT_EQ(fp.messages.shown[0].icon, Icon::Question);
    EXPECT_EQ(fp.messages.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(fp.messages.shown[0].caption, "Running...");
}

TEST_F(MainWindowTest, AboutBoxIsTopmostShowsTheVersionAndPlaysOnlyForYes) {
    ASSERT_TRUE(start());
    fp.sounds.played.clear();
    std::string version;
    bool topmost = false;
    host.onModal = [&](form::Window& w) {
        ASSERT_NE(host.lastAbout, nullptr);
        version = host.lastAbout->lblVersion.caption();
        topmost = w.topmost();
        EXPECT_EQ(w.caption(), "About Workstation Edition");
        host.lastAbout->click();
        EXPECT_FALSE(w.isOpen());
    };
    f().mnuabout.click();
    EXPECT_EQ(host.modalShown, (std::vector<std::string>{"About"}));
    EXPECT_EQ(version, "Version: 4.0");
    EXPECT_TRUE(topmost);
    ASSERT_EQ(fp.sounds.played.size(), 1u);
    EXPECT_EQ(fp.sounds.played[0].file, "kelvaroreg.wav");
    EXPECT_FALSE(fp.sounds.played[0].wait);

    ctx.settings.soundFlag = "YES";
    f().mnuabout.click();
    EXPECT_EQ(fp.sounds.played.size(), 1u);
}

TEST_F(MainWindowTest, HelpFromTheMenuReportsAFailureTheToolbarDoesNot) {
    ASSERT_TRUE(start());
    f().mnuhelp1.click();
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine, "winhlp32.exe KelvaroWorkStation.hlp");
    EXPECT_EQ(fp.processes.started[0].show, platform::ShowState::NormalFocus);

    fp.processes.failure = platform::SystemError{53, "File not found"};
    model->toolbarClick("buthelp");
    EXPECT_TRUE(fp.messages.shown.empty());
    f().mnuhelp1.click();
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    EXPECT_EQ(fp.messages.shown[0].text, "Help could not be opened. File not found Error#53");
    EXPECT_EQ(fp.messages.shown[0].caption, "Kelvaro Workstation");

    // The blank toolbar buttons have no key and do nothing.
    const auto attempts = fp.processes.attempts.size();
    model->toolbarClick("");
    EXPECT_EQ(fp.processes.attempts.size(), attempts);
    EXPECT_EQ(fp.messages.shown.size(), 1u);
}

TEST_F(MainWindowTest, MenuRowsReachTheirOperations) {
    ASSERT_TRUE(start());
    // F5: a rescan, c to z, without reopening the splash.
    fp.drives.probed.clear();
    fp.drives.add('d', "d: [/data]");
    f().mnurefresh.click();
    EXPECT_EQ(fp.drives.probed.size(), 24u);
    EXPECT_EQ(f().Outline1.items(), (std::vector<std::string>{"c: [/home/alice]", "d: [/data]", "z: [/]"}));
    EXPECT_EQ(host.shown.size(), 2u);

    f().mnumin.click();
    EXPECT_EQ(f().window.state(), form::WindowState::Minimized);

    // Minimized at startup is stored but does not change the current state.
    f().window.setState(form::WindowState::Normal);
    f().Check6.click();
    EXPECT_EQ(stored("Startup", "Window State"), "1");
    EXPECT_EQ(f().window.state(), form::WindowState::Normal);

    // F12: the launch at once, no countdown.
    f().mnustartbackupnow.click();
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine.rfind("NTBackup.exe Backup ", 0), 0u);
    EXPECT_TRUE(host.modalShown.empty());
    EXPECT_EQ(f().window.state(), form::WindowState::Minimized);  // the start-up state now "1"
}

TEST_F(MainWindowTest, DueTickOpensTheCountdownOnceInItsMinute) {
    ASSERT_TRUE(start());
    ctx.settings.setRunTime("08:01");
    fp.clock.set(2026, 12, 9, 8, 0, 59);
    fp.timers.fire(500);
    EXPECT_TRUE(host.modalShown.empty());
    int opened = 0;
    host.onModal = [&](form::Window& w) {
        ++opened;
        EXPECT_EQ(w.name(), "CountBox");
        EXPECT_TRUE(w.topmost());
        // Centred horizontally, slightly above the vertical centre.
        EXPECT_EQ(w.left(), (15360 - 3345) / 2);
        EXPECT_EQ(w.top(), static_cast<int>(11520 * 0.95 / 2 - 1980 / 2.0));
    };
    fp.clock.set(2026, 12, 9, 8, 1, 0);
    for (int i = 0; i < 120; ++i) {
        fp.clock.time.second = i / 2;
        fp.timers.fire(500);
    }
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(f().lblTimeNow.caption(), "08:01:59");
}

TEST_F(MainWindowTest, DueCheckWaitsWhileAnotherHandlerHoldsAMessageBox) {
    ASSERT_TRUE(start());
    ctx.settings.setRunTime("08:01");
    fp.clock.set(2026, 12, 9, 8, 1, 0);
    int opened = 0;
    host.onModal = [&](form::Window&) { ++opened; };
    // While the quit question is open, ticks refresh the clock but open nothing.
    fp.messages.onShow = [&](const fake::ShownMessage&) {
        fp.clock.time.second = 7;
        fp.timers.fire(500);
    };
    fp.messages.answers = {Answer::No};
    f().mnuclose.click();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(f().lblTimeNow.caption(), "08:01:07");
    fp.messages.onShow = nullptr;
    fp.timers.fire(500);
    EXPECT_EQ(opened, 1);
}

// The title keeps its own one-second step: wherever the clock's seconds turn
// between Timer1's ticks, each title comes 1000 ms after the one before.
TEST_F(MainWindowTest, TheTitleChangesEverySecondWhereverTheSecondsTurn) {
    for (const int phaseMs : {0, 250, 500, 750, 900}) {
        fp.clock.set(2026, 12, 9, 10, 0, 0);
        ASSERT_TRUE(start());
        fp.icons.loadable = {"C:\\KELVARO\\KELVARO1.ICO", "C:\\KELVARO\\KELVARO2.ICO"};
        const long long t0 = fp.timers.nowMs();
        std::vector<long long> changes;  // ms after start-up
        std::vector<std::string> titles;
        std::string last = f().window.caption();
        for (int step = 1; step <= 60; ++step) {
            // The seconds turn `phaseMs` after each whole second of the timers.
            fp.clock.time.second = static_cast<int>((fp.timers.nowMs() - t0 + 1000 - phaseMs) / 1000 % 60);
            fp.timers.advance(100);
            if (f().window.caption() == last) continue;
            last = f().window.caption();
            changes.push_back(fp.timers.nowMs() - t0);
            titles.push_back(last);
        }
        EXPECT_EQ(changes, (std::vector<long long>{1000, 2000, 3000, 4000, 5000, 6000})) << "phase " << phaseMs;
        EXPECT_EQ(titles, (std::vector<std::string>{"Running...", "Kelvaro Workstation...", "Running...",
                                                     "Kelvaro Workstation...", "Running...",
                                                     "Kelvaro Workstation..."}))
            << "phase " << phaseMs;
        model.reset();
    }
}

TEST_F(MainWindowTest, TimersStartWithTheMainWindowAndTheFirstTitleIsRunning) {
    model = std::make_unique<ui::MainWindowModel>(ctx);
    fp.icons.loadable = {"C:\\KELVARO\\KELVARO1.ICO", "C:\\KELVARO\\KELVARO2.ICO"};
    fp.timers.advance(5000);  // before start-up nothing ticks
    EXPECT_TRUE(fp.icons.attempts.empty());
    EXPECT_EQ(f().window.caption(), "Kelvaro...");
    EXPECT_EQ(f().lblTimeNow.caption(), "00:00:00");
    ASSERT_TRUE(model->startUp(splash));
    fp.timers.advance(1000);
    EXPECT_EQ(f().window.caption(), "Running...");
}

TEST_F(MainWindowTest, ARunDueWhileTheAboutBoxIsOpenWaitsForItInsteadOfBeingLost) {
    ASSERT_TRUE(start());
    ctx.settings.setRunTime("08:01");
    fp.clock.set(2026, 12, 9, 8, 0, 50);
    int countdowns = 0;
    host.onModal = [&](form::Window& w) {
        if (w.name() == "CountBox") {
            ++countdowns;
            return;
        }
        // The About box stays open across the whole run minute.
        for (int i = 0; i < 160; ++i) {
            fp.clock.addSeconds(1);
            fp.timers.fire(500);
        }
        EXPECT_EQ(countdowns, 0);
        host.lastAbout->click();
    };
    f().mnuabout.click();
    EXPECT_EQ(countdowns, 0);
    EXPECT_EQ(ctx.schedule.currentMinute, "08:03");
    fp.timers.fire(500);
    EXPECT_EQ(countdowns, 1);
    fp.timers.fire(500);
    EXPECT_EQ(countdowns, 1);
}
