#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "backup/CommandLine.h"
#include "form/AppContext.h"
#include "logfile/LogFile.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "schedule/SettingsModel.h"
#include "ui/Wiring.h"
#include "support/AppFixture.h"

using namespace kelvaro;
using logfile::From;

namespace {

// A main window with its controls wired, on the fake platform, started from the
// given store in the start directory "D:\TOOLS\".
struct App : ::testing::Test, kelvaro::test::App {


    void startUp() {
        schedule::ReadAllSettings(ctx.settings, fp.store);
        ctx.main.lognamebox.setText(ctx.settings.logName);
        ctx.settings.startDirectory = "D:\\TOOLS\\";
        backup::ReadInfo(ctx);
        fp.messages.shown.clear();
    }

    // The user types a name into the box and leaves it.
    void enterName(const std::string& name) {
        ctx.main.lognamebox.type(name);
        ctx.main.lognamebox.loseFocus();
    }

    std::string stored(const std::string& key) { return fp.store.value("Backup Type", key); }

    void expectMessage(std::size_t i, const std::string& text, platform::Buttons buttons, platform::Icon icon,
                       const std::string& caption) {
        ASSERT_LT(i, fp.messages.shown.size());
        const auto& m = fp.messages.shown[i];
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.buttons, buttons);
        EXPECT_EQ(m.icon, icon);
        EXPECT_EQ(m.caption, caption);
    }
};

}  // namespace

// ---- Log options -----------------------------------------------------------------

TEST_F(App, FirstRunHasNoLogFileToViewOrDelete) {
    startUp();
    EXPECT_TRUE(ctx.main.Option8.value());
    EXPECT_EQ(ctx.main.lognamebox.text(), "No Log File.");
    logfile::viewLogFile(ctx, From::Menu);
    logfile::viewLogFile(ctx, From::Toolbar);
    logfile::deleteLogFile(ctx, From::Menu);
    logfile::deleteLogFile(ctx, From::Toolbar);
    ASSERT_EQ(fp.messages.shown.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        expectMessage(i, "No Log File Set.", platform::Buttons::Ok, platform::Icon::None, "Kelvaro Workstation");
    EXPECT_TRUE(fp.processes.attempts.empty());
    EXPECT_TRUE(fp.files.requests.empty());
}

TEST_F(App, OneBlankCountsAsNoLogFile) {
    startUp();
    ctx.settings.logName = " ";
    logfile::viewLogFile(ctx, From::Menu);
    logfile::deleteLogFile(ctx, From::Toolbar);
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_EQ(fp.messages.shown[0].text, "No Log File Set.");
    EXPECT_EQ(fp.messages.shown[1].text, "No Log File Set.");
    EXPECT_TRUE(fp.processes.attempts.empty());
    // And choosing a log from it starts from the default name.
    ctx.main.Option6.select();
    EXPECT_EQ(ctx.settings.logName, "C:\\KELVARO.LOG");
}

TEST_F(App, FullDetailFromFirstRun) {
    startUp();
    const int before = fp.store.commits;
    ctx.main.Option6.select();
    EXPECT_EQ(ctx.main.lognamebox.text(), "C:\\KELVARO.LOG");
    EXPECT_EQ(ctx.settings.logName, "C:\\KELVARO.LOG");
    EXPECT_EQ(ctx.settings.logSwitch, "/L \"C:\\KELVARO.LOG\" ");
    EXPECT_EQ(ctx.main.lblsetback2.caption(), " Log File: /L \"C:\\KELVARO.LOG\" ");
    EXPECT_EQ(stored("Log Name"), "C:\\KELVARO.LOG");
    EXPECT_EQ(stored("Log File Name"), "/L \"C:\\KELVARO.LOG\" ");
    EXPECT_EQ(fp.store.commits, before + 1);
    EXPECT_EQ(backup::ComposeCommandLine(ctx.settings),
              "NTBackup.exe Backup " + std::string(23, ' ') + "   " + " /D \"Kelvaro Tape\" " +
                  "  /HC:off /T Incremental " + "/L \"C:\\KELVARO.LOG\" " + " /tape:1");
}

TEST_F(App, NoLogFileForgetsTheNameSoSummaryStartsFromTheDefault) {
    startUp();
    ctx.main.Option6.select();
    enterName("E:\\OTHER.LOG");
    EXPECT_EQ(stored("Log Name"), "E:\\OTHER.LOG");

    ctx.main.Option8.select();
    EXPECT_EQ(ctx.main.lognamebox.text(), "No Log File.");
    EXPECT_EQ(ctx.settings.logName, "No Log File.");
    EXPECT_EQ(ctx.settings.logSwitch, " ");
    EXPECT_EQ(stored("Log Name"), "No Log File.");
    EXPECT_EQ(stored("Log File Name"), " ");
    EXPECT_EQ(ctx.main.lblsetback2.caption(), " Log File:  ");

    ctx.main.Option7.select();
    EXPECT_EQ(ctx.main.lognamebox.text(), "C:\\KELVARO.LOG");
    EXPECT_EQ(ctx.settings.logSwitch, "  /L \"C:\\KELVARO.LOG\" /E ");
    EXPECT_EQ(stored("Log Name"), "C:\\KELVARO.LOG");
    EXPECT_EQ(stored("Log File Name"), "  /L \"C:\\KELVARO.LOG\" /E ");
    EXPECT_EQ(ctx.main.lblsetback2.caption(), " Log File:   /L \"C:\\KELVARO.LOG\" /E ");
}

// ---- Settling a typed name ------------------------------------------------------------

TEST_F(App, TypingFollowsEveryKeystrokeButStoresOnlyWhenTheBoxIsLeft) {
    startUp();
    ctx.main.Option6.select();
    const int before = fp.store.commits;
    ctx.main.lognamebox.type("LOGS\\NIGHT.LOG");
    EXPECT_EQ(ctx.settings.logName, "LOGS\\NIGHT.LOG");
    EXPECT_EQ(fp.store.commits, before);
    EXPECT_EQ(stored("Log Name"), "C:\\KELVARO.LOG");

    ctx.main.lognamebox.loseFocus();
    EXPECT_EQ(ctx.settings.logName, "D:\\TOOLS\\LOGS\\NIGHT.LOG");
    EXPECT_EQ(ctx.main.lognamebox.text(), "D:\\TOOLS\\LOGS\\NIGHT.LOG");
    EXPECT_EQ(ctx.settings.logSwitch, "/L \"D:\\TOOLS\\LOGS\\NIGHT.LOG\" ");
    EXPECT_EQ(stored("Log Name"), "D:\\TOOLS\\LOGS\\NIGHT.LOG");
    EXPECT_EQ(stored("Log File Name"), "/L \"D:\\TOOLS\\LOGS\\NIGHT.LOG\" ");
    EXPECT_EQ(fp.store.commits, before + 1);
}

TEST_F(App, NamesWithoutDriveRootGetTheStartDirectoryInFront) {
    startUp();
    ctx.main.Option6.select();
    struct Case { std::string typed, settled; };
    const Case cases[] = {
        {"\\\\server\\share\\x.log", "D:\\TOOLS\\\\\\server\\share\\x.log"},
        {"", "D:\\TOOLS\\"},
        {"\\LOGS\\A.LOG", "D:\\TOOLS\\\\LOGS\\A.LOG"},
        {"C:NIGHT.LOG", "D:\\TOOLS\\C:NIGHT.LOG"},
        {"F:\\BACKUP\\A B.LOG", "F:\\BACKUP\\A B.LOG"},  // already rooted: kept
        // The third character, not byte: a two-byte letter before the colon.
        {"\xC3\x89:\\LOG.TXT", "\xC3\x89:\\LOG.TXT"},
        {"\xC3\x89\\LOG.TXT", "D:\\TOOLS\\\xC3\x89\\LOG.TXT"},
    };
    for (const auto& c : cases) {
        enterName(c.typed);
        EXPECT_EQ(ctx.settings.logName, c.settled) << c.typed;
        EXPECT_EQ(ctx.main.lognamebox.text(), c.settled) << c.typed;
        EXPECT_EQ(stored("Log Name"), c.settled) << c.typed;
        EXPECT_EQ(stored("Log File Name"), "/L \"" + c.settled + "\" ") << c.typed;
    }
}

TEST_F(App, NamesWithAQuoteOrAControlCharacterAreRefusedAndThePreviousNameStays) {
    startUp();
    ctx.main.Option7.select();
    enterName("E:\\NIGHT.LOG");
    const int before = fp.store.commits;
    fp.messages.shown.clear();
    const std::string bad[] = {"C:\\x.log\" /INJECTED:yes \"y", "C:\\a\nb.log", "C:\\tab\there.log",
                               "C:\\bell\x07.log", "C:\\del\x7F.log", "C:\\c1\xC2\x85.log", "\""};
    for (const auto& name : bad) {
        enterName(name);
        EXPECT_EQ(ctx.main.lognamebox.text(), "E:\\NIGHT.LOG");
        EXPECT_EQ(ctx.settings.logName, "E:\\NIGHT.LOG");
    }
    ASSERT_EQ(fp.messages.shown.size(), std::size(bad));
    for (std::size_t i = 0; i < std::size(bad); ++i)
        expectMessage(i, "A log file name cannot contain a double quote (\") or a control character. The previous name is kept.",
                      platform::Buttons::Ok, platform::Icon::Exclamation, "Kelvaro Workstation");
    EXPECT_EQ(fp.store.commits, before);
    EXPECT_EQ(ctx.settings.logSwitch, "  /L \"E:\\NIGHT.LOG\" /E ");
    EXPECT_EQ(stored("Log Name"), "E:\\NIGHT.LOG");
    // Other non-ASCII text is a name like any other.
    enterName("E:\\Sauvegarde \xC3\xA9t\xC3\xA9.log");
    EXPECT_EQ(stored("Log Name"), "E:\\Sauvegarde \xC3\xA9t\xC3\xA9.log");
    EXPECT_EQ(fp.messages.shown.size(), std::size(bad));
}

TEST_F(App, SettlingWithNoLogFileSelectedPutsTheMarkerBack) {
    startUp();
    const int before = fp.store.commits;
    ctx.main.lognamebox.loseFocus();
    EXPECT_EQ(ctx.main.lognamebox.text(), "No Log File.");
    EXPECT_EQ(ctx.settings.logName, "No Log File.");
    EXPECT_EQ(ctx.settings.logSwitch, " ");
    EXPECT_EQ(stored("Log Name"), "No Log File.");
    EXPECT_EQ(fp.store.commits, before + 1);
}

// ---- View ----------------------------------------------------------------------------

TEST_F(App, ViewStartsNotepadWithTheName) {
    startUp();
    ctx.main.Option6.select();
    fp.files.existing = {"C:\\KELVARO.LOG"};
    logfile::viewLogFile(ctx, From::Menu);
    logfile::viewLogFile(ctx, From::Toolbar);
    ASSERT_EQ(fp.processes.started.size(), 2u);
    for (const auto& p : fp.processes.started) {
        EXPECT_EQ(p.commandLine, "notepad.exe C:\\KELVARO.LOG");
        EXPECT_EQ(p.show, platform::ShowState::NormalFocus);
    }
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(App, ViewFailureIsShownFromTheMenuOnly) {
    startUp();
    ctx.main.Option6.select();
    fp.files.existing = {"C:\\KELVARO.LOG"};
    fp.processes.failure = platform::SystemError{53, "File not found"};
    logfile::viewLogFile(ctx, From::Toolbar);
    EXPECT_EQ(fp.processes.attempts.size(), 1u);
    EXPECT_TRUE(fp.messages.shown.empty());
    logfile::viewLogFile(ctx, From::Menu);
    EXPECT_EQ(fp.processes.attempts.size(), 2u);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    expectMessage(0, "Load Error NotePad #53", platform::Buttons::Ok, platform::Icon::Exclamation,
                  "Kelvaro Workstation");
}

TEST_F(App, AMissingLogIsNamedBothWaysFromMenuAndToolbarAndNoViewerStarts) {
    startUp();
    ctx.main.Option6.select();
    fp.fileLocator.localPaths["C:\\KELVARO.LOG"] = "/home/alice/KELVARO.LOG";
    logfile::viewLogFile(ctx, From::Menu);
    logfile::viewLogFile(ctx, From::Toolbar);
    EXPECT_TRUE(fp.processes.attempts.empty());
    for (std::size_t i : {0u, 1u})
        expectMessage(i,
                      "The log file does not exist yet:\n\nC:\\KELVARO.LOG\n/home/alice/KELVARO.LOG\n\n"
                      "The backup program writes it on its first logged run.",
                      platform::Buttons::Ok, platform::Icon::None, "Kelvaro Workstation");

    // A name no drive holds says so in place of its local name.
    enterName("Q:\\NIGHT.LOG");
    fp.messages.shown.clear();
    logfile::viewLogFile(ctx, From::Menu);
    EXPECT_EQ(fp.messages.shown.at(0).text,
              "The log file does not exist yet:\n\nQ:\\NIGHT.LOG\n(on no drive of this computer)\n\n"
              "The backup program writes it on its first logged run.");
}

// ---- Delete --------------------------------------------------------------------------

TEST_F(App, DeleteAsksWithTheCaptionOfWhereItWasGiven) {
    startUp();
    ctx.main.Option6.select();
    fp.files.existing = {"C:\\KELVARO.LOG"};
    const int commits = fp.store.commits;
    fp.messages.answers = {platform::Answer::Yes};
    logfile::deleteLogFile(ctx, From::Menu);
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    expectMessage(0, "Delete Log File : C:\\KELVARO.LOG", platform::Buttons::YesNo, platform::Icon::Exclamation,
                  "Kelvaro");
    EXPECT_EQ(fp.files.requests, std::vector<std::string>{"C:\\KELVARO.LOG"});
    EXPECT_TRUE(fp.files.existing.empty());
    // The log choice itself stays as it was.
    EXPECT_EQ(ctx.settings.logName, "C:\\KELVARO.LOG");
    EXPECT_EQ(ctx.settings.logSwitch, "/L \"C:\\KELVARO.LOG\" ");
    EXPECT_TRUE(ctx.main.Option6.value());
    EXPECT_EQ(fp.store.commits, commits);

    fp.files.existing = {"C:\\KELVARO.LOG"};
    fp.messages.answers = {platform::Answer::Yes};
    logfile::deleteLogFile(ctx, From::Toolbar);
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    expectMessage(1, "Delete Log File : C:\\KELVARO.LOG", platform::Buttons::YesNo, platform::Icon::Exclamation,
                  "Kelvaro Workstation");
    EXPECT_EQ(fp.files.requests.size(), 2u);
    EXPECT_TRUE(fp.files.existing.empty());
}

TEST_F(App, AnsweringNoKeepsTheFile) {
    startUp();
    ctx.main.Option7.select();
    fp.files.existing = {"C:\\KELVARO.LOG"};
    fp.messages.answers = {platform::Answer::No};
    logfile::deleteLogFile(ctx, From::Menu);
    fp.messages.answers = {platform::Answer::No};
    logfile::deleteLogFile(ctx, From::Toolbar);
    EXPECT_EQ(fp.messages.shown.size(), 2u);
    EXPECT_TRUE(fp.files.requests.empty());
    EXPECT_EQ(fp.files.existing, std::set<std::string>{"C:\\KELVARO.LOG"});
}

TEST_F(App, DeletingAMissingFileIsReportedFromTheMenuOnly) {
    startUp();
    ctx.main.Option6.select();
    fp.messages.answers = {platform::Answer::Yes};
    logfile::deleteLogFile(ctx, From::Menu);
    ASSERT_EQ(fp.messages.shown.size(), 2u);
    expectMessage(1, "File not found", platform::Buttons::Ok, platform::Icon::None, "Kelvaro Workstation");

    fp.messages.answers = {platform::Answer::Yes};
    logfile::deleteLogFile(ctx, From::Toolbar);
    EXPECT_EQ(fp.messages.shown.size(), 3u);  // the question only
    EXPECT_EQ(fp.messages.shown[2].text, "Delete Log File : C:\\KELVARO.LOG");
    EXPECT_EQ(fp.files.requests.size(), 2u);
}

TEST_F(App, ANameWithAStarIsTakenLiterally) {
    startUp();
    ctx.main.Option6.select();
    enterName("C:\\LOGS\\*.LOG");
    EXPECT_EQ(ctx.settings.logName, "C:\\LOGS\\*.LOG");
    fp.files.existing = {"C:\\LOGS\\*.LOG", "C:\\LOGS\\A.LOG"};
    logfile::viewLogFile(ctx, From::Menu);
    ASSERT_EQ(fp.processes.started.size(), 1u);
    EXPECT_EQ(fp.processes.started[0].commandLine, "notepad.exe C:\\LOGS\\*.LOG");
    fp.messages.answers = {platform::Answer::Yes};
    logfile::deleteLogFile(ctx, From::Menu);
    EXPECT_EQ(fp.messages.shown.at(0).text, "Delete Log File : C:\\LOGS\\*.LOG");
    EXPECT_EQ(fp.files.requests, std::vector<std::string>{"C:\\LOGS\\*.LOG"});
    EXPECT_EQ(fp.files.existing, std::set<std::string>{"C:\\LOGS\\A.LOG"});
}
