#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backup/CommandLine.h"
#include "drives/DriveSelection.h"
#include "form/AppContext.h"
#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeWindowHost.h"
#include "schedule/SettingsModel.h"
#include "ui/Wiring.h"
#include "support/AppFixture.h"

using namespace kelvaro;

namespace {

using Items = std::vector<std::string>;

const std::string kC = "c: [/home/alice]";
const std::string kD = "d: [/srv/data]";
const std::string kF = "f: [/net/share]";

std::string slotKey(int k) {
    char key[16];
    std::snprintf(key, sizeof key, "Drive%02d", k);
    return key;
}

// A main window with its controls wired, on the fake platform, and a drive map
// of c:, d: and f: with a dangling e:.
struct App : ::testing::Test, kelvaro::test::App {

    App() {
        fp.drives.add('c', kC);
        fp.drives.add('d', kD);
        fp.drives.drives['e'] = {platform::kErrNoDevice, ""};
        fp.drives.add('f', kF);
    }

    void startUp() {
        schedule::ReadAllSettings(ctx.settings, fp.store);
        ctx.main.lognamebox.setText(ctx.settings.logName);
        ctx.settings.startDirectory = "C:\\KELVARO\\";
        backup::ReadInfo(ctx);
    }

    std::string storedSlot(int k) { return fp.store.value("Backup Drives", slotKey(k)); }
    // The drive part of the command line: what stands between the program and the switches.
    std::string commandDrives() {
        const std::string cmd = backup::ComposeCommandLine(ctx.settings);
        const std::string head = "NTBackup.exe Backup ";
        EXPECT_EQ(cmd.substr(0, head.size()), head);
        return cmd.substr(head.size(), ctx.settings.driveList.size());
    }
    const Items& available() { return ctx.main.Outline1.items(); }
    const Items& selected() { return ctx.main.Outline2.items(); }
};

}  // namespace

// ---- Scan -----------------------------------------------------------------------

TEST_F(App, ScanListsExistingDrivesInLetterOrderAndARescanShowsEachOnce) {
    startUp();
    EXPECT_EQ(available(), (Items{kC, kD, kF}));
    std::vector<char> letters;
    for (char l = 'c'; l <= 'z'; ++l) letters.push_back(l);
    EXPECT_EQ(fp.drives.probed, letters);
    EXPECT_TRUE(fp.messages.shown.empty());

    drives::ScantheDrives(ctx);
    EXPECT_EQ(available(), (Items{kC, kD, kF}));
    EXPECT_EQ(fp.drives.probed.size(), 48u);
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(App, ProbeErrorsFiftyThreeCarriesOnOthersAreReportedAndSkipped) {
    fp.drives.drives['d'] = {platform::kErrFileNotFound, ""};
    fp.drives.drives['g'] = {71, ""};
    fp.drives.add('h', "h: [/media/usb]");
    fp.drives.drives['k'] = {20, "k: [/mnt/k]"};
    startUp();
    // Error 53 adds the probe's text as it stands (still the last drive found);
    // error 20 is no error either: the text as it stands is listed.
    EXPECT_EQ(available(), (Items{kC, kC, kF, "h: [/media/usb]", "h: [/media/usb]"}));
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    const auto& msg = fp.messages.shown[0];
    EXPECT_EQ(msg.text, "Error #71 on Drive: " + kF);
    EXPECT_EQ(msg.buttons, platform::Buttons::Ok);
    EXPECT_EQ(msg.icon, platform::Icon::None);
    EXPECT_EQ(msg.caption, "Kelvaro Workstation");
    // The scan went on to the end of the alphabet.
    EXPECT_EQ(fp.drives.probed.back(), 'z');
    EXPECT_EQ(fp.drives.probed.size(), 24u);
}

TEST_F(App, SplashClosesOnTheFirstScanOnlyAndShowsEachDrive) {
    Items statuses;
    int closes = 0;
    ctx.splashUp = true;
    ctx.splashStatus = [&](const std::string& text) { statuses.push_back(text); };
    ctx.closeSplash = [&] {
        ++closes;
        EXPECT_EQ(statuses.size(), 3u);  // closed after the last drive was shown
    };
    startUp();
    EXPECT_EQ(statuses, (Items{kC, kD, kF}));
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(ctx.splashUp);
    EXPECT_FALSE(fp.screen.busy);

    // A later scan neither reopens nor writes into the splash; it shows the busy pointer.
    fp.screen.busyCalls.clear();
    drives::ScantheDrives(ctx);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(statuses.size(), 3u);
    EXPECT_FALSE(ctx.splashUp);
    EXPECT_EQ(fp.screen.busyCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(host.modalShown.empty());
}

// ---- Adding and removing ----------------------------------------------------------

TEST_F(App, SelectingTheSameDriveTwice) {
    startUp();
    const int before = fp.store.commits;
    ctx.main.Outline1.doubleClick(0);
    ctx.main.Outline1.doubleClick(0);
    EXPECT_EQ(selected(), (Items{kC, kC}));
    EXPECT_EQ(ctx.settings.drives[0], kC);
    EXPECT_EQ(ctx.settings.drives[1], kC);
    EXPECT_EQ(storedSlot(1), kC);
    EXPECT_EQ(storedSlot(2), kC);
    EXPECT_EQ(storedSlot(3), "");
    // Each addition applies twice: once through the slot update, once more after it.
    EXPECT_EQ(fp.store.commits, before + 4);
    EXPECT_EQ(commandDrives(), "c: c:" + std::string(22, ' '));
    EXPECT_EQ(ctx.main.lblsetback.caption().substr(0, 28), " c: c:" + std::string(22, ' '));
}

TEST_F(App, RemovingTheFirstOfThreeMovesTheOthersUp) {
    startUp();
    for (int i : {0, 1, 2}) ctx.main.Outline1.doubleClick(i);
    EXPECT_EQ(selected(), (Items{kC, kD, kF}));
    const int before = fp.store.commits;
    ctx.main.Outline2.doubleClick(0);
    EXPECT_EQ(selected(), (Items{kD, kF}));
    EXPECT_EQ(storedSlot(1), kD);
    EXPECT_EQ(storedSlot(2), kF);
    EXPECT_EQ(storedSlot(3), "");
    EXPECT_EQ(fp.store.commits, before + 2);
    EXPECT_EQ(commandDrives(), "d: f:" + std::string(22, ' '));
}

TEST_F(App, DoubleClickOnNoEntryChangesNothing) {
    startUp();
    ctx.main.Outline1.doubleClick(1);
    const int before = fp.store.commits;
    const auto saves = fp.store.saves.size();
    ctx.main.Outline2.doubleClick(-1);
    ctx.main.Outline1.doubleClick(-1);
    EXPECT_EQ(selected(), (Items{kD}));
    EXPECT_EQ(storedSlot(1), kD);
    EXPECT_EQ(fp.store.commits, before);
    EXPECT_EQ(fp.store.saves.size(), saves);
    EXPECT_TRUE(fp.messages.shown.empty());
}

TEST_F(App, NoMoreThanTwentyFourSelectedDrives) {
    for (char l = 'c'; l <= 'z'; ++l) fp.drives.add(l, std::string(1, l) + ": [/mnt/" + l + "]");
    startUp();
    ASSERT_EQ(available().size(), 24u);
    for (int i = 0; i < 24; ++i) ctx.main.Outline1.doubleClick(i);
    EXPECT_EQ(selected().size(), 24u);
    EXPECT_TRUE(fp.messages.shown.empty());
    const int before = fp.store.commits;

    ctx.main.Outline1.doubleClick(0);  // a 25th
    ASSERT_EQ(fp.messages.shown.size(), 1u);
    const auto& msg = fp.messages.shown[0];
    EXPECT_EQ(msg.text,
              "No more than 24 drives can be selected for backup. Remove a drive from the selected list "
              "before adding another.");
    EXPECT_EQ(msg.buttons, platform::Buttons::Ok);
    EXPECT_EQ(msg.icon, platform::Icon::Exclamation);
    EXPECT_EQ(msg.caption, "Kelvaro Workstation");
    EXPECT_EQ(selected().size(), 24u);
    EXPECT_EQ(selected().back(), "z: [/mnt/z]");
    EXPECT_EQ(fp.store.commits, before);
    EXPECT_EQ(storedSlot(24), "z: [/mnt/z]");
    EXPECT_EQ(commandDrives(), "c: d: e: f: g: h: i: j: k: l: m: n: o: p: q: r: s: t: u: v: w: x: y: z:");

    // After a removal there is room again.
    ctx.main.Outline2.doubleClick(0);
    ctx.main.Outline1.doubleClick(0);
    EXPECT_EQ(selected().size(), 24u);
    EXPECT_EQ(storedSlot(1), "d: [/mnt/d]");
    EXPECT_EQ(storedSlot(24), "c: [/mnt/c]");
    EXPECT_EQ(fp.messages.shown.size(), 1u);
}

// ---- Clearing and refilling from the slots ----------------------------------------

TEST_F(App, ClearCurrentDriveSelection) {
    fp.store.put("Backup Type", "Append to Tape", "/A ");
    startUp();
    ctx.main.Outline1.doubleClick(0);
    ctx.main.Outline1.doubleClick(2);
    ASSERT_EQ(storedSlot(2), kF);
    const int before = fp.store.commits;
    const auto probes = fp.drives.probed.size();

    drives::clearDriveSelection(ctx);
    EXPECT_TRUE(selected().empty());
    for (int k = 1; k <= 24; ++k) EXPECT_EQ(storedSlot(k), "") << k;
    EXPECT_EQ(ctx.settings.driveList, std::string(23, ' '));
    EXPECT_EQ(commandDrives(), std::string(23, ' '));
    EXPECT_EQ(ctx.main.lblsetback.caption().substr(0, 25), " " + std::string(23, ' ') + " ");
    // The clear applies once; ReadInfo finds every control already set and stores nothing.
    EXPECT_EQ(fp.store.commits, before + 1);
    // ReadInfo rescanned and took the switch values back in their read-back forms.
    EXPECT_EQ(fp.drives.probed.size(), probes + 24);
    EXPECT_EQ(available(), (Items{kC, kD, kF}));
    EXPECT_TRUE(ctx.main.Check1.checked());
    EXPECT_TRUE(ctx.main.Option3.value());
    EXPECT_TRUE(ctx.main.Option8.value());
    EXPECT_EQ(ctx.settings.appendSwitch, "/A");
    EXPECT_EQ(ctx.settings.logSwitch, "");
    EXPECT_EQ(backup::ComposeCommandLine(ctx.settings),
              "NTBackup.exe Backup " + std::string(23, ' ') + " /A  " + " /D \"Kelvaro Tape\" " +
                  "  /HC:off /T Incremental  /tape:1");
}

TEST_F(App, OneBlankSlotIsDroppedOnlyInTheFirstEight) {
    fp.store.put("Backup Drives", "Drive01", kC);
    fp.store.put("Backup Drives", "Drive05", " ");
    fp.store.put("Backup Drives", "Drive12", " ");
    startUp();
    EXPECT_EQ(selected(), (Items{kC, " "}));
    EXPECT_EQ(ctx.settings.drives[4], "");
    EXPECT_EQ(ctx.settings.drives[11], " ");
    // Start-up's own saves wrote the slots back.
    EXPECT_EQ(storedSlot(5), "");
    EXPECT_EQ(storedSlot(12), " ");
    EXPECT_EQ(commandDrives(), "c:" + std::string(24, ' '));
    // The next change to the selection moves the blank entry up to the second slot.
    ctx.main.Outline1.doubleClick(1);
    EXPECT_EQ(selected(), (Items{kC, " ", kD}));
    EXPECT_EQ(storedSlot(2), " ");
    EXPECT_EQ(storedSlot(3), kD);
    EXPECT_EQ(storedSlot(12), "");
    EXPECT_EQ(commandDrives(), "c:   d:" + std::string(21, ' '));
}

TEST_F(App, StoredSlotsAreListedInSlotOrder) {
    fp.store.put("Backup Drives", "Drive01", kF);
    fp.store.put("Backup Drives", "Drive03", kC);
    fp.store.put("Backup Drives", "Drive24", kD);
    startUp();
    EXPECT_EQ(selected(), (Items{kF, kC, kD}));
    // The list keeps the slots as they were until the selection changes.
    EXPECT_EQ(commandDrives(), "f:  c:" + std::string(20, ' ') + " d:");
    ctx.main.Outline2.doubleClick(1);
    EXPECT_EQ(storedSlot(1), kF);
    EXPECT_EQ(storedSlot(2), kD);
    EXPECT_EQ(storedSlot(3), "");
    EXPECT_EQ(storedSlot(24), "");
}
