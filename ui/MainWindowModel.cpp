#include "ui/MainWindowModel.h"

#include <cstdlib>
#include <map>

#include "backup/CommandLine.h"
#include "backup/Launch.h"
#include "drives/DriveSelection.h"
#include "logfile/LogFile.h"
#include "schedule/Countdown.h"
#include "ui/Wiring.h"

namespace kelvaro::ui {
namespace {

const std::map<std::string, std::string>& hints() {
    static const std::map<std::string, std::string> table = {
        {"Check7", "Run Backup on Monday"},
        {"Check8", "Run Backup on Tuesday"},
        {"Check9", "Run Backup on Wednesday"},
        {"Check10", "Run Backup on Thursday"},
        {"Check11", "Run Backup on Friday"},
        {"Check12", "Run Backup on Saturday"},
        {"Check13", "Run Backup on Sunday"},
        {"DailyCheck", "Run Backup Daily"},
        {"Text1", "Run Date or Start Date of Backup"},
        {"text2", "Backup Start Time"},
        {"Check6", "Kelvaro will start minimized"},
        {"lblTimeNow", "Current System Time..."},
        {"SSPanel1", "Currently Saved Settings..."},
        {"lblsetback", "Currently Saved Settings..."},
        {"lblsetback2", "Currently Saved Settings..."},
        {"Outline1", "Available Mapped Drives..."},
        {"Outline2", "Drives selected for backup..."},
        {"frmMain", ""},
        {"SSTab1", ""},
    };
    return table;
}

bool isNumberNonZero(const std::string& text) {
    // Numeric conversion of a stored day flag: leading number, else 0.
    return std::atoi(text.c_str()) != 0;
}

}  // namespace

MainWindowModel::MainWindowModel(form::AppContext& ctx, platform::StateStore* state) : ctx_(ctx) {
    wireControls(ctx_);
    wireMenus();

    auto& f = ctx_.main;
    schedule::ScheduleHooks hooks;
    hooks.showClock = [&f](const std::string& text) {
        f.lblTimeNow.setCaption(text);
        f.lblTimeNow.refresh();
    };
    hooks.dayBoxChecked = [&f](int day) { return f.dayBoxes()[day]->checked(); };
    hooks.dailyBoxChecked = [&f] { return f.DailyCheck.checked(); };
    hooks.due = [this] { openCountdown(); };
    hooks.heldBack = [this] { return ctx_.nestedLoops > 0; };
    check_ = std::make_unique<schedule::ScheduleCheck>(ctx_.settings, ctx_.schedule, ctx_.platform.clock, hooks);
    if (state)
        memory_ = std::make_unique<schedule::RunMemory>(*state, ctx_.schedule, [this](const std::string& text) {
            ctx_.message(text, platform::Buttons::Ok, platform::Icon::Exclamation);
        });

    // The timers run from the main window's load (start-up) to the end.
    timer1_ = ctx_.platform.timers.createTimer();
    timer1_->setCallback([this] { scheduleTick(); });
    timer1_->setInterval(500);
    timer5_ = ctx_.platform.timers.createTimer();
    timer5_->setCallback([this] { titleTick(); });
    timer5_->setInterval(1000);
}

MainWindowModel::~MainWindowModel() = default;

void MainWindowModel::wireMenus() {
    auto& f = ctx_.main;
    f.mnurefresh.onClick = [this] { drives::ScantheDrives(ctx_); };
    f.mnustartbackupnow.onClick = [this] { backup::BackupLaunch(ctx_); };
    f.mnuclose.onClick = [this] { quitPrompt(); };
    f.mnumin.onClick = [this] { ctx_.main.window.setState(form::WindowState::Minimized); };
    f.mnusound.onClick = [this] { toggleSound(); };
    f.mnucleardrive.onClick = [this] { drives::clearDriveSelection(ctx_); };
    f.mnuview.onClick = [this] { logfile::viewLogFile(ctx_, logfile::From::Menu); };
    f.mnudeletelog.onClick = [this] { logfile::deleteLogFile(ctx_, logfile::From::Menu); };
    f.mnuhelp1.onClick = [this] { help(true); };
    f.mnuabout.onClick = [this] { showAbout(); };
}

void MainWindowModel::scheduleTick() {
    check_->tick();
    // A run still waiting to come up keeps the minute before it as the last
    // one seen: ended now, the program offers it at its next start.
    if (memory_ && !check_->runWaiting() && check_->minuteSeen()) memory_->remember(*check_->minuteSeen());
}

void MainWindowModel::titleTick() {
    const bool showingFirst = iconName_ == "KELVARO1.ICO";
    const std::string next = showingFirst ? "KELVARO2.ICO" : "KELVARO1.ICO";
    const std::string path = ctx_.settings.startDirectory + next;
    // A missing icon ends the tick quietly; the next tick tries the same file.
    if (!ctx_.platform.icons.load(path)) return;
    ctx_.main.window.setIconPath(path);
    iconName_ = next;
    ctx_.main.window.setCaption(showingFirst ? "Running..." : "Kelvaro Workstation...");
}

void MainWindowModel::openCountdown() {
    form::CountBoxForm box;
    schedule::Countdown countdown(ctx_, box);
    countdown.load();
    schedule::centreWindow(box.window, ctx_.platform.screen);
    if (!box.window.isOpen() || !ctx_.host) return;
    form::AppContext::NestedLoop loop(ctx_);
    ctx_.host->showModal(box);
}

void MainWindowModel::mouseOver(const std::string& controlName) {
    const auto it = hints().find(controlName);
    if (it == hints().end()) return;
    auto& bar = ctx_.main.StatusBar1;
    if (bar.panelText(2) == it->second) return;
    bar.setPanelText(2, it->second);
    ++bar.hintWrites;
}

void MainWindowModel::toolbarClick(const std::string& key) {
    if (key == "butopen")
        logfile::viewLogFile(ctx_, logfile::From::Toolbar);
    else if (key == "butdelete")
        logfile::deleteLogFile(ctx_, logfile::From::Toolbar);
    else if (key == "buthelp")
        help(false);
}

bool MainWindowModel::closeRequested() {
    return ctx_.message("Do you really want to end this session?", platform::Buttons::YesNo,
                        platform::Icon::Question, ctx_.main.window.caption()) == platform::Answer::Yes;
}

void MainWindowModel::showAbout() {
    form::AboutForm about;
    ctx_.platform.screen.setBusyPointer(false);
    about.window.setTopmost(true);
    about.lblVersion.setCaption("Version: 4.0");
    if (ctx_.settings.soundFlag == "Yes") ctx_.platform.sounds.play(kAboutSound, false);
    about.window.markOpen();
    if (!ctx_.host) return;
    form::AppContext::NestedLoop loop(ctx_);
    ctx_.host->showModal(about);
}

void MainWindowModel::quitPrompt() {
    const auto answer = ctx_.message("        Quit Kelvaro  \n\n YES to Quit  NO to Minimize ",
                                     platform::Buttons::YesNo, platform::Icon::Exclamation, "Kelvaro");
    if (answer == platform::Answer::Yes) {
        if (ctx_.host) ctx_.host->exitProcess(0);
    } else {
        ctx_.main.window.setState(form::WindowState::Minimized);
    }
}

void MainWindowModel::toggleSound() {
    auto& entry = ctx_.main.mnusound;
    entry.setChecked(!entry.checked());
    // Stored with the next full save, like every other change.
    ctx_.settings.soundFlag = entry.checked() ? "Yes" : "No";
}

void MainWindowModel::help(bool fromMenu) {
    const auto error = ctx_.platform.processes.start(kHelpCommand, platform::ShowState::NormalFocus);
    if (error && fromMenu)
        ctx_.message("Help could not be opened. " + error->description + " Error#" + std::to_string(error->number),
                     platform::Buttons::Ok, platform::Icon::Exclamation);
}

bool MainWindowModel::startUp(form::SplashForm& splash) {
    auto& s = ctx_.settings;
    auto& store = ctx_.platform.store;

    splash.Label4.setCaption("");
    splash.Label4.refresh();
    schedule::centreWindow(splash.window, ctx_.platform.screen);
    splash.window.markOpen();
    if (ctx_.host) ctx_.host->show(splash);
    splash.window.refresh();
    splash.window.setTopmost(true);
    ctx_.splashUp = true;
    ctx_.splashStatus = [&splash](const std::string& text) {
        splash.Label4.setCaption(text);
        splash.Label4.refresh();
    };
    ctx_.closeSplash = [this, &splash] {
        splash.window.setTopmost(false);
        splash.window.close();
        // A later scan has no splash to report to.
        ctx_.splashStatus = nullptr;
    };

    s.soundFlag = schedule::readSoundFlag(store);
    s.startupWindowState = schedule::readStartupWindowState(store);
    if (s.soundFlag == "Yes" || s.soundFlag == "YES" || s.soundFlag.empty() || s.soundFlag == "On")
        ctx_.platform.sounds.play(kStartSound, true);

    loadMainWindow(splash);
    if (!ntOk_) return false;
    ctx_.applyStartupWindowState();
    // With the main window shown, the next tick looks back to the minute the
    // previous run last saw.
    if (memory_)
        if (const auto seen = memory_->recall()) check_->resumeAfter(*seen);
    return true;
}

void MainWindowModel::loadMainWindow(form::SplashForm& splash) {
    auto& f = ctx_.main;
    auto& s = ctx_.settings;

    iconName_ = "KELVARO1.ICO";
    timer1_->setEnabled(true);
    // Started once and never re-armed: the title keeps its one-second step
    // whatever the clock's seconds do.
    timer5_->setEnabled(true);
    splash.window.refresh();
    f.window.refresh();
    ctx_.applyStartupWindowState();
    splash.window.refresh();

    if (!ctx_.platform.info.isWindowsNT()) {
        ntOk_ = false;
        ctx_.message("Windows NT version 3.51 or Higher is needed\nto run Kelvaro for Windows NT.",
                     platform::Buttons::Ok, platform::Icon::Critical);
        if (ctx_.host) ctx_.host->exitProcess(1);
        return;
    }

    for (auto& slot : s.drives) slot.clear();
    f.lognamebox.setText("");
    f.lblsetback.setCaption(" ");
    f.lblsetback.refresh();
    f.lblsetback2.setCaption(" ");
    f.lblsetback2.refresh();
    f.Combo1.setText("Tape Drive:" + s.tapeNumber);
    iconName_ = "KELVARO1.ICO";

    schedule::ReadAllSettings(s, ctx_.platform.store);

    schedule::centreWindow(f.window, ctx_.platform.screen);
    f.window.markOpen();
    if (ctx_.host) ctx_.host->show(f);
    splash.window.refresh();

    if (s.runDate == "DAILY") {
        s.dailyFlag = "YES";
        f.DailyCheck.setChecked(true);
    } else {
        for (auto* box : f.dayBoxes()) box->setEnabled(false);
    }
    const auto days = f.dayBoxes();
    for (int d = 0; d < form::kDays; ++d) days[d]->setChecked(isNumberNonZero(s.dayFlags[d]));

    f.mnusound.setChecked(s.soundFlag == "Yes");
    f.Combo1.setText("Tape Drive:" + s.tapeNumber);
    f.Text1.setText(s.runDate);
    f.Text1.refresh();
    f.text2.setText(s.runTime());
    f.text2.refresh();
    for (const char* item : {"Tape Drive:1", "Tape Drive:2", "Tape Drive:3", "Tape Drive:4", "Tape Drive:5",
                             "Tape Drive:6", "Tape Drive:7", "Tape Drive:8", "Tape Drive:9", "Tape Drive:0"})
        f.Combo1.addItem(item);

    backup::ReadInfo(ctx_);

    f.lognamebox.setText(s.logName);
    f.lognamebox.refresh();

    std::string dir = ctx_.platform.currentDirectory.get();
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    s.startDirectory = dir;
}

}  // namespace kelvaro::ui
