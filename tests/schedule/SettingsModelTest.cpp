#include <gtest/gtest.h>

#include "platform/fake/FakePlatform.h"
#include "schedule/SettingsModel.h"

using namespace kelvaro;

namespace {

struct Fixture : ::testing::Test {
    fake::FakePlatform fp;
    form::SettingsModel m;
};

}  // namespace

TEST_F(Fixture, EmptyStoreGivesTheFirstRunState) {
    schedule::ReadAllSettings(m, fp.store);
    for (const auto& d : m.drives) EXPECT_EQ(d, "");
    for (const auto& f : m.dayFlags) EXPECT_EQ(f, "1");
    EXPECT_EQ(m.compressionSwitch, "/HC:off");
    EXPECT_EQ(m.restrictSwitch, "");
    EXPECT_EQ(m.registrySwitch, "");
    EXPECT_EQ(m.appendSwitch, "");
    EXPECT_EQ(m.verifySwitch, "");
    EXPECT_EQ(m.logSwitch, "");
    EXPECT_EQ(m.tapeNumber, "1");
    EXPECT_EQ(m.backupType, "/T Incremental");
    EXPECT_EQ(m.logName, "No Log File.");
    EXPECT_EQ(m.runTime(), "19:00");
    EXPECT_EQ(m.runDate, "DAILY");
    EXPECT_EQ(m.soundFlag, "Yes");
    EXPECT_EQ(m.dailyFlag, "");
    EXPECT_EQ(schedule::readStartupWindowState(fp.store), "0");
    EXPECT_TRUE(fp.store.saves.empty());
}

TEST_F(Fixture, TrimmingRulesOnRead) {
    fp.store.put("Backup Type", "Tape Drive:", " ");
    fp.store.put("Backup Type", "Append to Tape", "/A ");
    fp.store.put("Backup Type", "Verify after Backup", " ");
    fp.store.put("Backup Type", "Type of Backup", "/T Normal ");
    fp.store.put("Backup Type", "HardWare Compression", "/HC:on ");
    fp.store.put("Backup Type", "Restrict Backup", " /R");
    fp.store.put("Backup Type", "Log File Name", "  /L \"x\" /E ");
    fp.store.put("Backup Drives", "Drive03", " ");
    schedule::ReadAllSettings(m, fp.store);
    EXPECT_EQ(m.tapeNumber, "1");
    EXPECT_EQ(m.appendSwitch, "/A");
    EXPECT_EQ(m.verifySwitch, "");
    EXPECT_EQ(m.backupType, "/T Normal ");  // kept as stored
    EXPECT_EQ(m.compressionSwitch, "/HC:on");
    EXPECT_EQ(m.restrictSwitch, "/R");
    EXPECT_EQ(m.logSwitch, "  /L \"x\" /E ");
    EXPECT_EQ(m.drives[2], " ");
}

TEST_F(Fixture, DayFlagThatIsNotANumberReadsAsOne) {
    fp.store.put("Time/Date", "Monday", "0");
    fp.store.put("Time/Date", "Tuesday", "yes");
    fp.store.put("Time/Date", "Wednesday", "");
    fp.store.put("Time/Date", "Thursday", "0");
    schedule::ReadAllSettings(m, fp.store);
    EXPECT_EQ(m.dayFlags[0], "0");
    EXPECT_EQ(m.dayFlags[1], "1");
    EXPECT_EQ(m.dayFlags[2], "1");
    EXPECT_EQ(m.dayFlags[3], "0");
}

TEST_F(Fixture, SoundFlagLivesUnderSystemSoundOnly) {
    fp.store.put("Sound", "On or Off", "Off");
    fp.store.put("Sound", "Yes or No", "No");
    schedule::ReadAllSettings(m, fp.store);
    EXPECT_EQ(m.soundFlag, "Yes");  // the other keys are not read
    fp.store.put("SYSTEM", "SOUND", "No");
    schedule::ReadAllSettings(m, fp.store);
    EXPECT_EQ(m.soundFlag, "No");
    EXPECT_EQ(schedule::readSoundFlag(fp.store), "No");
}

TEST_F(Fixture, SaveWritesAll44ValuesInTheirOrderAndCommitsOnce) {
    m.drives[0] = "c: [/home/alice]";
    m.dayFlags[6] = "0";
    m.appendSwitch = "/A ";
    schedule::SaveAllSettings(m, fp.store, fp.screen);
    ASSERT_EQ(fp.store.saves.size(), 44u);
    std::vector<std::string> order;
    for (const auto& k : fp.store.saves) order.push_back(std::get<1>(k) + "/" + std::get<2>(k));
    std::vector<std::string> expected;
    for (int i = 1; i <= 24; ++i) expected.push_back("Backup Drives/Drive" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    for (const char* d : {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"})
        expected.push_back(std::string("Time/Date/") + d);
    for (const char* k : {"Backup Type/HardWare Compression", "Backup Type/Restrict Backup",
                          "Backup Type/Backup Local Registry", "Backup Type/Tape Drive:", "Startup/Window State",
                          "Backup Type/Append to Tape", "Backup Type/Verify after Backup",
                          "Backup Type/Type of Backup", "Backup Type/Log Name", "Backup Type/Log File Name",
                          "Time/Date/Backup Time", "Time/Date/Backup Date", "SYSTEM/SOUND"})
        expected.push_back(k);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(fp.store.commits, 1);
    EXPECT_EQ(fp.store.value("Backup Drives", "Drive01"), "c: [/home/alice]");
    EXPECT_EQ(fp.store.value("Backup Drives", "Drive02"), "");
    EXPECT_EQ(fp.store.value("Time/Date", "Sunday"), "0");
    EXPECT_EQ(fp.store.value("Backup Type", "Append to Tape"), "/A ");
    EXPECT_EQ(fp.store.value("SYSTEM", "SOUND"), "Yes");
    EXPECT_EQ(fp.screen.busyCalls, (std::vector<bool>{true, false}));
}

TEST_F(Fixture, SaveDuringSnoozeKeepsTheConfiguredTime) {
    m.setRunTime("10:00");
    m.snoozeUntil("10:15");
    EXPECT_EQ(m.runTime(), "10:15");
    schedule::SaveAllSettings(m, fp.store, fp.screen);
    EXPECT_EQ(fp.store.value("Time/Date", "Backup Time"), "10:00");
    m.setRunTime("11:00");
    EXPECT_FALSE(m.snoozed());
    EXPECT_EQ(m.runTime(), "11:00");
}
