#include "schedule/SettingsModel.h"

#include <cstdio>

namespace kelvaro::schedule {

using form::kAppName;
using form::kDayKeys;
using form::kDays;
using form::kDriveSlots;
using form::SettingsModel;

namespace {

constexpr const char* kDrives = "Backup Drives";
constexpr const char* kTimeDate = "Time/Date";
constexpr const char* kBackupType = "Backup Type";

std::string driveKey(int slot) {
    char key[16];
    std::snprintf(key, sizeof key, "Drive%02d", slot + 1);
    return key;
}

// A day flag must be a number; anything else is taken as a checked day.
std::string dayFlagFrom(const std::string& stored) {
    const std::string t = trimBlanks(stored);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i == t.size()) return "1";
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return "1";
    return stored;
}

}  // namespace

std::string trimBlanks(const std::string& text) {
    const auto b = text.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const auto e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string readSoundFlag(platform::SettingsStore& store) {
    return store.get(kAppName, "SYSTEM", "SOUND", "Yes");
}

std::string readStartupWindowState(platform::SettingsStore& store) {
    return store.get(kAppName, "Startup", "Window State", "0");
}

void ReadAllSettings(SettingsModel& m, platform::SettingsStore& s) {
    const std::string app = kAppName;
    m.soundFlag = readSoundFlag(s);
    for (int i = 0; i < kDriveSlots; ++i) m.drives[i] = s.get(app, kDrives, driveKey(i), "");
    m.appendSwitch = trimBlanks(s.get(app, kBackupType, "Append to Tape", ""));
    m.verifySwitch = trimBlanks(s.get(app, kBackupType, "Verify after Backup", ""));
    m.backupType = s.get(app, kBackupType, "Type of Backup", "/T Incremental");
    m.logName = s.get(app, kBackupType, "Log Name", "No Log File.");
    m.logSwitch = s.get(app, kBackupType, "Log File Name", "");
    m.setRunTime(s.get(app, kTimeDate, "Backup Time", "19:00"));
    m.runDate = s.get(app, kTimeDate, "Backup Date", "DAILY");
    for (int d = 0; d < kDays; ++d) m.dayFlags[d] = dayFlagFrom(s.get(app, kTimeDate, kDayKeys[d], "1"));
    m.compressionSwitch = trimBlanks(s.get(app, kBackupType, "HardWare Compression", "/HC:off"));
    m.restrictSwitch = trimBlanks(s.get(app, kBackupType, "Restrict Backup", ""));
    m.registrySwitch = trimBlanks(s.get(app, kBackupType, "Backup Local Registry", ""));
    m.tapeNumber = trimBlanks(s.get(app, kBackupType, "Tape Drive:", "1"));
    if (m.tapeNumber.empty()) m.tapeNumber = "1";
}

std::optional<platform::CommitError> SaveAllSettings(const SettingsModel& m, platform::SettingsStore& s,
                                                     platform::Screen& screen) {
    const std::string app = kAppName;
    screen.setBusyPointer(true);
    for (int i = 0; i < kDriveSlots; ++i) s.save(app, kDrives, driveKey(i), m.drives[i]);
    for (int d = 0; d < kDays; ++d) s.save(app, kTimeDate, kDayKeys[d], m.dayFlags[d]);
    s.save(app, kBackupType, "HardWare Compression", m.compressionSwitch);
    s.save(app, kBackupType, "Restrict Backup", m.restrictSwitch);
    s.save(app, kBackupType, "Backup Local Registry", m.registrySwitch);
    s.save(app, kBackupType, "Tape Drive:", m.tapeNumber);
    s.save(app, "Startup", "Window State", m.startupWindowState);
    s.save(app, kBackupType, "Append to Tape", m.appendSwitch);
    s.save(app, kBackupType, "Verify after Backup", m.verifySwitch);
    s.save(app, kBackupType, "Type of Backup", m.backupType);
    s.save(app, kBackupType, "Log Name", m.logName);
    s.save(app, kBackupType, "Log File Name", m.logSwitch);
    // A snooze is a one-off postponement: the store keeps the configured time.
    s.save(app, kTimeDate, "Backup Time", m.configuredRunTime());
    s.save(app, kTimeDate, "Backup Date", m.runDate);
    s.save(app, "SYSTEM", "SOUND", m.soundFlag);
    auto error = s.commit();
    screen.setBusyPointer(false);
    return error;
}

}  // namespace kelvaro::schedule
