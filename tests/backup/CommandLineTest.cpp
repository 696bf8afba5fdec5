#include <gtest/gtest.h>

#include <string>

#include "backup/CommandLine.h"
#include "form/AppContext.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "schedule/SettingsModel.h"
#include "ui/Wiring.h"
#include "support/AppFixture.h"

using namespace kelvaro;

namespace {

const std::string kTapeDescription = " /D \"Kelvaro Tape\" ";

// A main window with its controls wired, on the fake platform.
struct App : ::testing::Test, kelvaro::test::App {

    App() {
        // The tape selector's ten entries, "Tape Drive:1" .. "Tape Drive:9", "Tape Drive:0".
        for (int d = 1; d <= 10; ++d) ctx.main.Combo1.addItem("Tape Drive:" + std::to_string(d % 10));
    }

    // The part of start-up that fills the controls this subsystem depends on.
    void startUp() {
        auto& m = ctx.settings;
        schedule::ReadAllSettings(m, fp.store);
        ctx.main.Combo1.setText("Tape Drive:" + m.tapeNumber);
        ctx.main.lognamebox.setText(m.logName);
        m.startDirectory = "C:\\KELVARO\\";
        backup::ReadInfo(ctx);
    }

    std::string stored(const std::string& key) { return fp.store.value("Backup Type", key); }
    std::string command() { return backup::ComposeCommandLine(ctx.settings); }
};

// A model with the drive list derived as ApplytheSettings derives it.
form::SettingsModel modelWith(std::initializer_list<std::string> drives) {
    form::SettingsModel m;
    int k = 0;
    for (const auto& d : drives) m.drives[k++] = d;
    m.driveList = backup::composeDriveList(m);
    return m;
}

}  // namespace

// ---- Composition of the command text ----------------------------------------

TEST_F(App, FirstRunCommandIsNinetyNineCharacters) {
    startUp();
    const std::string expected = "NTBackup.exe Backup " + std::string(23, ' ') +
                                 "    /D \"Kelvaro Tape\"   /HC:off /T Incremental   /tape:1";
    EXPECT_EQ(command(), expected);
    EXPECT_EQ(command().size(), 99u);
    // Start-up selected "Incremental" and "No Log File": one full save each.
    EXPECT_EQ(fp.store.commits, 2);
    EXPECT_TRUE(ctx.main.Option3.value());
    EXPECT_TRUE(ctx.main.Option8.value());
    EXPECT_EQ(ctx.settings.logSwitch, " ");
    EXPECT_EQ(ctx.main.lblsetback.caption(),
              " " + std::string(23, ' ') + " /T Incremental /HC:off" + "     /Tape:1");
    EXPECT_EQ(ctx.main.lblsetback2.caption(), " Log File:  ");
}

TEST_F(App, TwoDriveExampleIs126Characters) {
    fp.drives.add('c', "c: [/home/alice]");
    fp.drives.add('d', "d: [/srv/data]");
    startUp();
    auto& f = ctx.main;
    f.Outline1.doubleClick(0);
    f.Outline1.doubleClick(1);
    f.Option1.select();
    f.Check1.click();
    f.Check2.click();
    for (auto* box : {&f.Check3, &f.Check4, &f.Check5}) {
        box->click();  // on
        box->click();  // and cleared again by the user
    }
    f.Option6.select();
    f.Combo1.choose(0);  // "Tape Drive:1"

    const std::string expected = std::string("NTBackup.exe Backup ") + "c:" + " " + "d:" + std::string(22, ' ') +
                                 " " + "/A " + " " + "/V " + " " + " " + kTapeDescription + " " + " " + " " +
                                 " /HC:off" + " " + "/T Normal" + " " + "/L \"C:\\KELVARO.LOG\" " + " /tape:" + "1";
    EXPECT_EQ(command(), expected);
    EXPECT_EQ(command().size(), 126u);

    const std::string driveList = "c: d:" + std::string(22, ' ');
    EXPECT_EQ(f.lblsetback.caption(), " " + driveList + " " + "/T Normal" + " " + " /HC:off" + " " + " " + " " +
                                          " " + " " + "/A " + " " + "/V " + " /Tape:" + "1");
    EXPECT_EQ(f.lblsetback2.caption(), " Log File: /L \"C:\\KELVARO.LOG\" ");

    // What the store holds: the handler forms, blanks included.
    EXPECT_EQ(stored("Append to Tape"), "/A ");
    EXPECT_EQ(stored("Verify after Backup"), "/V ");
    EXPECT_EQ(stored("HardWare Compression"), " /HC:off");
    EXPECT_EQ(stored("Restrict Backup"), " ");
    EXPECT_EQ(stored("Backup Local Registry"), " ");
    EXPECT_EQ(stored("Type of Backup"), "/T Normal");
    EXPECT_EQ(stored("Log Name"), "C:\\KELVARO.LOG");
    EXPECT_EQ(stored("Log File Name"), "/L \"C:\\KELVARO.LOG\" ");
    EXPECT_EQ(stored("Tape Drive:"), "1");
    EXPECT_EQ(fp.store.value("Backup Drives", "Drive01"), "c: [/home/alice]");
    EXPECT_EQ(fp.store.value("Backup Drives", "Drive02"), "d: [/srv/data]");
}

TEST_F(App, SummaryOnlyKeepsItsBlanksAndIsFoundAgainAfterARestart) {
    startUp();
    ctx.main.Option7.select();
    const std::string logSwitch = "  /L \"C:\\KELVARO.LOG\" /E ";
    EXPECT_EQ(ctx.settings.logSwitch, logSwitch);
    EXPECT_EQ(command(), "NTBackup.exe Backup " + std::string(23, ' ') + "   " + kTapeDescription + "  /HC:off" +
                             " /T Incremental" + " " + logSwitch + " /tape:1");
    EXPECT_EQ(stored("Log File Name"), logSwitch);
    EXPECT_EQ(ctx.main.lblsetback2.caption(), " Log File: " + logSwitch);

    // Next start: the trimmed switch ends in " /E", so "Summary Only" is chosen again.
    fake::FakePlatform next;
    next.store.values = fp.store.values;
    form::AppContext ctx2{next.platform()};
    ui::wireControls(ctx2);
    schedule::ReadAllSettings(ctx2.settings, next.store);
    ctx2.main.lognamebox.setText(ctx2.settings.logName);
    backup::ReadInfo(ctx2);
    EXPECT_TRUE(ctx2.main.Option7.value());
    EXPECT_FALSE(ctx2.main.Option6.value());
    EXPECT_FALSE(ctx2.main.Option8.value());
    EXPECT_EQ(ctx2.settings.logSwitch, logSwitch);
    EXPECT_EQ(next.store.value("Backup Type", "Log File Name"), logSwitch);
}

TEST_F(App, TapeDriveChoice) {
    startUp();
    const int before = fp.store.commits;
    ctx.main.Combo1.choose(9);  // "Tape Drive:0"
    EXPECT_EQ(ctx.settings.tapeNumber, "0");
    EXPECT_EQ(command(), "NTBackup.exe Backup " + std::string(23, ' ') + "   " + kTapeDescription +
                             "  /HC:off /T Incremental  " + " /tape:" + "0");
    const std::string& line = ctx.main.lblsetback.caption();
    EXPECT_EQ(line.substr(line.size() - 8), " /Tape:0");
    EXPECT_EQ(stored("Tape Drive:"), "0");
    EXPECT_EQ(fp.store.commits, before + 1);

    ctx.main.Combo1.choose(4);  // "Tape Drive:5"
    EXPECT_EQ(ctx.settings.tapeNumber, "5");
    EXPECT_EQ(stored("Tape Drive:"), "5");
    // Choosing the entry that is already shown still counts as a choice.
    ctx.main.Combo1.choose(4);
    EXPECT_EQ(fp.store.commits, before + 3);
}

TEST_F(App, HardwareCompressionOnAndOff) {
    startUp();
    const std::string head = "NTBackup.exe Backup " + std::string(23, ' ') + "   " + kTapeDescription + "  ";
    ctx.main.Check3.click();
    EXPECT_EQ(ctx.settings.compressionSwitch, "/HC:on ");
    EXPECT_EQ(command(), head + "/HC:on " + " /T Incremental" + "   /tape:1");
    EXPECT_EQ(stored("HardWare Compression"), "/HC:on ");
    ctx.main.Check3.click();
    EXPECT_EQ(ctx.settings.compressionSwitch, " /HC:off");
    EXPECT_EQ(command(), head + " /HC:off" + " /T Incremental" + "   /tape:1");
    EXPECT_EQ(stored("HardWare Compression"), " /HC:off");
}

TEST_F(App, EachSwitchBoxStoresItsOwnTexts) {
    startUp();
    struct Case { form::CheckBox* box; std::string key, on, off; };
    auto& f = ctx.main;
    const Case cases[] = {{&f.Check1, "Append to Tape", "/A ", " "},
                          {&f.Check2, "Verify after Backup", "/V ", " "},
                          {&f.Check4, "Restrict Backup", "/R ", " "},
                          {&f.Check5, "Backup Local Registry", "/B ", " "}};
    for (const auto& c : cases) {
        const int before = fp.store.commits;
        c.box->click();
        EXPECT_EQ(stored(c.key), c.on) << c.key;
        c.box->click();
        EXPECT_EQ(stored(c.key), c.off) << c.key;
        EXPECT_EQ(fp.store.commits, before + 2) << c.key;
    }
    const char* types[] = {"/T Normal", "/T Copy", "/T Incremental", "/T Differential", "/T Daily"};
    const auto buttons = f.backupTypeButtons();
    for (int i : {4, 0, 3, 1, 2}) {
        buttons[i]->select();
        EXPECT_EQ(stored("Type of Backup"), types[i]);
        EXPECT_EQ(ctx.settings.backupType, types[i]);
        for (int j = 0; j < 5; ++j) EXPECT_EQ(buttons[j]->value(), i == j);
    }
}

TEST(DriveList, SlotsShorterAndLongerThanTwoCharacters) {
    EXPECT_EQ(backup::composeDriveList(modelWith({})), std::string(23, ' '));
    EXPECT_EQ(backup::composeDriveList(modelWith({"c: [/home/alice]", "x", "", "d:"})),
              "c: x  d:" + std::string(20, ' '));
    // Characters, not bytes: a non-ASCII letter is never cut in half.
    EXPECT_EQ(backup::composeDriveList(modelWith({"\xC3\xA9:\\x", "\xC3\xA9"})),
              "\xC3\xA9: \xC3\xA9" + std::string(22, ' '));
    form::SettingsModel all;
    for (int k = 0; k < form::kDriveSlots; ++k) all.drives[k] = std::string(1, static_cast<char>('c' + k)) + ":\\";
    EXPECT_EQ(backup::composeDriveList(all),
              "c: d: e: f: g: h: i: j: k: l: m: n: o: p: q: r: s: t: u: v: w: x: y: z:");
}

TEST(Compose, ReadBackFormsBesideHandlerForms) {
    auto m = modelWith({"c:"});
    m.backupType = "/T Daily";
    m.appendSwitch = "/A";  // as read back from the store
    m.verifySwitch = "/V ";  // as set by its box
    m.restrictSwitch = "/R";
    m.registrySwitch = "/B ";
    m.compressionSwitch = "/HC:on";
    m.logSwitch = "/L \"C:\\A B.LOG\" /E";  // trimmed by ReadInfo
    m.tapeNumber = "3";
    const std::string drives = "c:" + std::string(23, ' ');
    EXPECT_EQ(backup::ComposeCommandLine(m), "NTBackup.exe Backup " + drives + " /A /V  /R" + kTapeDescription +
                                                 " /B  /HC:on /T Daily /L \"C:\\A B.LOG\" /E /tape:3");
    EXPECT_EQ(backup::settingsLine(m), " " + drives + " /T Daily /HC:on /R /B  /A /V  /Tape:3");

    m.appendSwitch = "/A ";
    m.restrictSwitch = "/R ";
    m.compressionSwitch = "/HC:on ";
    m.logSwitch = "  /L \"C:\\A B.LOG\" /E ";
    m.appendSwitch = "";  // an off switch read back empty
    m.verifySwitch = " ";  // an off switch cleared by its box
    EXPECT_EQ(backup::ComposeCommandLine(m), "NTBackup.exe Backup " + drives + "    /R " + kTapeDescription +
                                                 " /B  /HC:on  /T Daily   /L \"C:\\A B.LOG\" /E  /tape:3");
    EXPECT_EQ(backup::settingsLine(m), " " + drives + " /T Daily /HC:on  /R  /B     /Tape:3");
}

TEST(Compose, ValuesArePassedOnUnchecked) {
    auto m = modelWith({});
    m.logSwitch = "/L \"C:\\a\"b.log\" ";  // a quote inside the name is copied as it is
    m.tapeNumber = "";
    m.backupType = "/T Normal ";
    EXPECT_EQ(backup::ComposeCommandLine(m), "NTBackup.exe Backup " + std::string(23, ' ') + "   " +
                                                 kTapeDescription + "  /HC:off /T Normal  /L \"C:\\a\"b.log\"  /tape:");
}

// ---- ReadInfo: stored values back to the controls ------------------------------

TEST_F(App, ReadInfoSetsControlsAndStoresTheHandlerForms) {
    fp.store.put("Backup Type", "Append to Tape", "/A");
    fp.store.put("Backup Type", "Verify after Backup", "/V");
    fp.store.put("Backup Type", "Type of Backup", "/T Normal");
    fp.store.put("Backup Type", "Log File Name", "  /L \"x\" /E ");
    startUp();
    auto& f = ctx.main;
    EXPECT_TRUE(f.Option1.value());
    for (auto* b : {&f.Option2, &f.Option3, &f.Option4, &f.Option5}) EXPECT_FALSE(b->value()) << b->name();
    EXPECT_TRUE(f.Option7.value());
    EXPECT_FALSE(f.Option6.value());
    EXPECT_FALSE(f.Option8.value());
    EXPECT_TRUE(f.Check1.checked());
    EXPECT_TRUE(f.Check2.checked());
    EXPECT_FALSE(f.Check3.checked());
    EXPECT_FALSE(f.Check4.checked());
    EXPECT_FALSE(f.Check5.checked());
    EXPECT_FALSE(f.Check6.checked());
    // One full save for each control that changed: Normal, Summary Only, Append, Verify.
    EXPECT_EQ(fp.store.commits, 4);
    EXPECT_EQ(stored("Append to Tape"), "/A ");
    EXPECT_EQ(stored("Verify after Backup"), "/V ");
    EXPECT_EQ(stored("Type of Backup"), "/T Normal");
    // No name was stored with the switch, so the summary log starts from the default name.
    EXPECT_EQ(stored("Log Name"), "C:\\KELVARO.LOG");
    EXPECT_EQ(stored("Log File Name"), "  /L \"C:\\KELVARO.LOG\" /E ");
    EXPECT_EQ(stored("HardWare Compression"), "/HC:off");
    EXPECT_EQ(stored("Restrict Backup"), "");
    EXPECT_EQ(stored("Backup Local Registry"), "");
    EXPECT_EQ(f.lognamebox.text(), "C:\\KELVARO.LOG");

    // Run again: every control is already in its state, so nothing runs or is stored
    // and the values keep the forms just read back.
    const auto savesBefore = fp.store.saves.size();
    backup::ReadInfo(ctx);
    EXPECT_EQ(fp.store.commits, 4);
    EXPECT_EQ(fp.store.saves.size(), savesBefore);
    EXPECT_EQ(ctx.settings.appendSwitch, "/A");
    EXPECT_EQ(ctx.settings.verifySwitch, "/V");
    EXPECT_EQ(ctx.settings.logSwitch, "/L \"C:\\KELVARO.LOG\" /E");
    EXPECT_EQ(ctx.settings.compressionSwitch, "/HC:off");
    EXPECT_EQ(stored("Append to Tape"), "/A ");
    EXPECT_EQ(command(), "NTBackup.exe Backup " + std::string(23, ' ') + " /A /V " + kTapeDescription +
                             "  /HC:off /T Normal /L \"C:\\KELVARO.LOG\" /E /tape:1");
}

TEST_F(App, ReadInfoKeepsAStoredLogName) {
    fp.store.put("Backup Type", "Log Name", "D:\\LOGS\\x.log");
    fp.store.put("Backup Type", "Log File Name", "/L \"D:\\LOGS\\x.log\"");
    fp.store.put("Backup Type", "HardWare Compression", "/HC:on ");
    fp.store.put("Backup Type", "Restrict Backup", "/R ");
    fp.store.put("Backup Type", "Backup Local Registry", " /B ");
    ctx.settings.startupWindowState = "1";
    startUp();
    auto& f = ctx.main;
    EXPECT_TRUE(f.Option6.value());
    EXPECT_TRUE(f.Check3.checked());
    EXPECT_TRUE(f.Check4.checked());
    EXPECT_TRUE(f.Check5.checked());
    EXPECT_TRUE(f.Check6.checked());
    // Incremental, Full Detail, three switch boxes and the window-state box.
    EXPECT_EQ(fp.store.commits, 6);
    EXPECT_EQ(stored("Log Name"), "D:\\LOGS\\x.log");
    EXPECT_EQ(stored("Log File Name"), "/L \"D:\\LOGS\\x.log\" ");
    EXPECT_EQ(stored("HardWare Compression"), "/HC:on ");
    EXPECT_EQ(stored("Restrict Backup"), "/R ");
    EXPECT_EQ(stored("Backup Local Registry"), "/B ");
    EXPECT_EQ(fp.store.value("Startup", "Window State"), "1");
}

TEST_F(App, TypeOfBackupWithATrailingBlankSelectsNoOption) {
    fp.store.put("Backup Type", "Type of Backup", "/T Normal ");
    startUp();
    for (auto* b : ctx.main.backupTypeButtons()) EXPECT_FALSE(b->value()) << b->name();
    EXPECT_EQ(ctx.settings.backupType, "/T Normal ");
    EXPECT_EQ(stored("Type of Backup"), "/T Normal ");
    EXPECT_EQ(fp.store.commits, 1);  // "No Log File" only
    EXPECT_EQ(command(), "NTBackup.exe Backup " + std::string(23, ' ') + "   " + kTapeDescription + "  /HC:off" +
                             " /T Normal " + "   /tape:1");
}

TEST_F(App, ReadInfoRescansAndKeepsASnoozeInForce) {
    fp.drives.add('c', "c: [/home/alice]");
    startUp();
    ctx.settings.snoozeUntil("10:15");
    const auto probes = fp.drives.probed.size();
    backup::ReadInfo(ctx);
    EXPECT_EQ(fp.drives.probed.size(), probes + 24);
    EXPECT_EQ(ctx.main.Outline1.items(), std::vector<std::string>{"c: [/home/alice]"});
    EXPECT_TRUE(ctx.settings.snoozed());
    EXPECT_EQ(ctx.settings.runTime(), "10:15");
    EXPECT_EQ(ctx.settings.configuredRunTime(), "19:00");
    EXPECT_FALSE(fp.screen.busy);
}
