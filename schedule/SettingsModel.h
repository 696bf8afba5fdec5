#pragma once
#include <array>
#include <optional>
#include <string>

#include "platform/Screen.h"
#include "platform/SettingsStore.h"

namespace kelvaro::schedule {

inline constexpr const char* kAppName = "Kelvaro Workstation";
inline constexpr int kDriveSlots = 24;
inline constexpr int kDays = 7;

// Store keys of the day flags, Monday first.
extern const std::array<const char*, kDays> kDayKeys;

// Everything the program knows about the backup plan, all as text.
struct SettingsModel {
    std::array<std::string, kDriveSlots> drives;  // Drive01 .. Drive24
    std::array<std::string, kDays> dayFlags{"1", "1", "1", "1", "1", "1", "1"};
    std::string compressionSwitch = "/HC:off";
    std::string restrictSwitch;
    std::string registrySwitch;
    std::string tapeNumber = "1";
    std::string startupWindowState = "0";
    std::string appendSwitch;
    std::string verifySwitch;
    std::string backupType = "/T Incremental";
    std::string logName = "No Log File.";
    std::string logSwitch;
    std::string runDate = "DAILY";
    std::string soundFlag = "Yes";

    // Never stored.
    std::string dailyFlag;       // "YES", "NO" or empty (counts as "NO")
    std::string driveList;       // derived from the drive slots
    std::string startDirectory;  // current directory at start-up, trailing backslash

    // The configured run time: the committed text of the run-time box. This is
    // what the store keeps.
    const std::string& configuredRunTime() const { return runTime_; }
    // The run time in force: a snooze replaces it in memory only.
    const std::string& runTime() const { return snoozedRunTime_ ? *snoozedRunTime_ : runTime_; }
    bool snoozed() const { return snoozedRunTime_.has_value(); }
    // Sets the configured run time and ends any snooze.
    void setRunTime(const std::string& time) { runTime_ = time; snoozedRunTime_.reset(); }
    void snoozeUntil(const std::string& time) { snoozedRunTime_ = time; }

private:
    std::string runTime_ = "19:00";
    std::optional<std::string> snoozedRunTime_;
};

// Leading and trailing blanks (the space character only) removed.
std::string trimBlanks(const std::string& text);

// The sound flag, read from "SYSTEM"/"SOUND" (default "Yes").
std::string readSoundFlag(platform::SettingsStore& store);
// "Startup"/"Window State" (default "0"), read at start-up only.
std::string readStartupWindowState(platform::SettingsStore& store);

// Fills the model from the store (all but the start-up window state).
void ReadAllSettings(SettingsModel& model, platform::SettingsStore& store);
// Writes all 44 stored values in their fixed order, then commits them.
void SaveAllSettings(const SettingsModel& model, platform::SettingsStore& store, platform::Screen& screen);

}  // namespace kelvaro::schedule
